// Engine benchmark: painting frames and screen redraws on a 1920 x 1080 RGBA
// canvas shown at 100 % in a 1728 x 1056 view (the view of a 1920 x 1080
// screen), without a window. One iteration is one frame; the frame budget is
// 25 ms. The chain follows a fixed pointer path from a fixed seed, so runs
// compare.
//
//   BM_StrokeFrame/ribbon4  ribbons, detail 4, 300 particles, spline
//   BM_StrokeFrame/ribbon1  the same at detail 1
//   BM_StrokeFrame/line     lines, step 1, 300 particles, a fast stroke
//   BM_StrokeFrame/worst    the Ribbon style at the largest Width (2.5),
//                           ribbons, detail 4, 300 particles, spline, a fast
//                           pointer (40): the chain spreads wide, tens of
//                           thousands of pixels are painted and half a
//                           million redrawn a frame
//   BM_FullRedraw           the whole visible canvas into the screen image
//   BM_MemcpyView           a memcpy of the screen image's bytes (baseline)
//   BM_ZoomedRedraw/50, /35, /25
//                           a 4000 x 3000 RGBA canvas, centred, redrawn whole
//                           at 50 %, 35 % and 25 % (the box filters)
//   BM_ReadVisibleCanvas/50, /35, /25
//                           one pass reading the canvas bytes the view covers
//                           at that zoom (baseline)
//
// A stroke frame is what render does while painting: the particle step,
// the brush step with its composite, the trail shift and the screen image's
// dirty rectangle.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "core/pixels/canvas.h"
#include "core/pixels/particles.h"
#include "core/pixels/screen.h"
#include "core/pixels/stroke.h"
#include "framework/ofMath.h"

namespace {

constexpr int kCanvasW = 1920;
constexpr int kCanvasH = 1080;
constexpr int kViewW = 1728;
constexpr int kViewH = 1056;
constexpr int kWarmupFrames = 80;

struct BrushCase {
    bool fill;
    int detail;
    float speed;  // pointer speed in window pixels per frame
    int style = kStyleWyrle;
    float width = 1.0f;  // f_NormLen
};

class Rig {
public:
    Rig() : front(bytes(4)), back(bytes(4)), display(bytes(4)), screen(kViewW * kViewH * 3), backdrop(screen.size()) {
        accum = std::make_unique<PaintAccumulator>();
        accum->allocateMap(kCanvasW, kCanvasH);
        chain = std::make_unique<ParticleChain>();
        fillRgb({backdrop.data(), kViewW, kViewH, 3}, 114, 110, 106);
        // A dark background with a faint picture in the back layer.
        for (size_t i = 0; i < back.size(); i += 4) {
            back[i] = static_cast<unsigned char>(i * 7 >> 10);
            back[i + 1] = static_cast<unsigned char>(i * 3 >> 12);
            back[i + 2] = 40;
            back[i + 3] = 255;
        }
        for (size_t i = 0; i < front.size(); i += 4) front[i] = front[i + 1] = front[i + 2] = front[i + 3] = 0;
        canvas::recompose({front.data(), kCanvasW, kCanvasH, 4}, {back.data(), kCanvasW, kCanvasH, 4},
                          {display.data(), kCanvasW, kCanvasH, 4}, palette::Rgb{0, 0, 0}, true);
        // A warm gradient, cycling.
        for (int i = 0; i <= kPaletteLast; ++i) {
            palR[i] = 255;
            palG[i] = 40 + (i * 200) / kPaletteLast;
            palB[i] = (i * 90) / kPaletteLast;
        }
        colours = {palR, palG, palB, 244, 78, 21};
        settings.perpixelz = 1;
        settings.perpixelzTime = 3.0f;
        settings.additive = true;
        settings.showBcg = true;
        // 100 %: the canvas centred in the view.
        mapping = {1.0f, (kViewW / 1.0f - kCanvasW) * 0.5f, (kViewH / 1.0f - kCanvasH) * 0.5f};
        screenMap = {1.0f, 1.0f, mapping.canvasOffsetX, mapping.canvasOffsetY};
    }

    void startStroke(const BrushCase& c) {
        params = BrushParams{};
        params.partNum = 300;
        params.fillz = c.fill;
        params.paintDetail = c.detail;
        params.partStep = 1;
        params.spline = true;
        params.modes = c.style;
        params.normLen = c.width;
        speed = c.speed;
        frameIndex = 0;
        ofSeedRandom(42);
        const Point p = pointer(0);
        setupStrings(*chain, params, p.x, p.y);
        progress = StrokeProgress{};
        strokeState = 1;
        for (int f = 0; f < kWarmupFrames; ++f) frame();
        touchedTotal = 0;
        dirtyArea = 0;
    }

    void frame() {
        const Point p = pointer(++frameIndex);
        particleStep(*chain, params, p.x, p.y);
        beginStrokeFrame(strokeState, progress, params);
        DirtyRect dirty = DirtyRect::emptyFor(kCanvasW, kCanvasH);
        const BrushStepResult r = brushStep(*chain, params, settings, colours, mapping, layers(), progress, *accum,
                                            dirty, redrawMode);
        shiftTrail(*chain);
        const ScreenStepResult s = screenImageStep(displayView(), screenView(), backdropView(), screenInput(dirty),
                                                   redrawMode);
        touchedTotal += r.touchedEntries;
        if (!s.dirty.empty())
            dirtyArea += static_cast<double>(s.dirty.dirtyMaxX - s.dirty.dirtyMinX) *
                         (s.dirty.dirtyMaxY - s.dirty.dirtyMinY);
    }

    void fullRedraw() {
        redrawMode = 2;
        const ScreenStepInput in = screenInput(DirtyRect::emptyFor(kCanvasW, kCanvasH));
        screenImageStep(displayView(), screenView(), backdropView(), in, redrawMode);
    }

    std::vector<unsigned char> front, back, display, screen, backdrop;
    double touchedTotal = 0;
    double dirtyArea = 0;

private:
    struct Point {
        float x, y;
    };

    static size_t bytes(int bpp) { return static_cast<size_t>(kCanvasW) * kCanvasH * bpp; }

    // The whole view over the canvas, with the canvas rectangle painted this frame.
    ScreenStepInput screenInput(const DirtyRect& canvasDirty) const {
        ScreenStepInput in;
        in.windowWidth = kViewW;
        in.windowHeight = kViewH;
        in.canvasWidth = kCanvasW;
        in.canvasHeight = kCanvasH;
        in.mapping = screenMap;
        in.canvasDirty = canvasDirty;
        return in;
    }

    // A figure of eight over most of the view, at `speed` pixels per frame.
    Point pointer(int f) const {
        const float a = static_cast<float>(f) * speed / 500.0f;
        return {kViewW * 0.5f + 650.0f * std::sin(a), kViewH * 0.5f + 380.0f * std::sin(2.0f * a)};
    }

    canvas::PixelSpan frontView() { return {front.data(), kCanvasW, kCanvasH, 4}; }
    canvas::PixelSpan backView() { return {back.data(), kCanvasW, kCanvasH, 4}; }
    canvas::PixelSpan displayView() { return {display.data(), kCanvasW, kCanvasH, 4}; }
    canvas::PixelSpan screenView() { return {screen.data(), kViewW, kViewH, 3}; }
    canvas::PixelSpan backdropView() { return {backdrop.data(), kViewW, kViewH, 3}; }
    CanvasLayers layers() { return {frontView(), backView(), displayView()}; }

    std::unique_ptr<PaintAccumulator> accum;
    std::unique_ptr<ParticleChain> chain;
    int palR[kPaletteLast + 1] = {};
    int palG[kPaletteLast + 1] = {};
    int palB[kPaletteLast + 1] = {};
    BrushParams params;
    PaintSettings settings;
    PaintColours colours;
    CanvasMapping mapping;
    ScreenMapping screenMap;
    StrokeProgress progress;
    int strokeState = 0;
    int redrawMode = 0;
    int frameIndex = 0;
    float speed = 10.0f;
};

Rig& rig() {
    static Rig* r = new Rig();
    return *r;
}

void BM_StrokeFrame(benchmark::State& state, BrushCase c) {
    Rig& r = rig();
    r.startStroke(c);
    for (auto _ : state) {
        r.frame();
        benchmark::ClobberMemory();
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["touched"] = r.touchedTotal / frames;
    state.counters["redraw_px"] = r.dirtyArea / frames;
}
BENCHMARK_CAPTURE(BM_StrokeFrame, ribbon4, BrushCase{true, 4, 12.0f})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StrokeFrame, ribbon1, BrushCase{true, 1, 12.0f})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StrokeFrame, line, BrushCase{false, 1, 80.0f})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StrokeFrame, worst, BrushCase{true, 4, 40.0f, kStyleRibbon, 2.5f})
    ->Unit(benchmark::kMillisecond);

void BM_FullRedraw(benchmark::State& state) {
    Rig& r = rig();
    for (auto _ : state) {
        r.fullRedraw();
        benchmark::DoNotOptimize(r.screen.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(r.screen.size()));
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMillisecond);

void BM_MemcpyView(benchmark::State& state) {
    std::vector<unsigned char> src(static_cast<size_t>(kViewW) * kViewH * 3, 7);
    std::vector<unsigned char> dst(src.size(), 0);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size());
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(src.size()));
}
BENCHMARK(BM_MemcpyView)->Unit(benchmark::kMillisecond);

// A large canvas shown zoomed out: every pan and zoom redraws all of it.
constexpr int kLargeW = 4000;
constexpr int kLargeH = 3000;

class ZoomRig {
public:
    ZoomRig()
        : display(static_cast<size_t>(kLargeW) * kLargeH * 4),
          screen(static_cast<size_t>(kViewW) * kViewH * 3),
          backdrop(screen.size()) {
        fillRgb(backdropView(), 114, 110, 106);
        for (size_t i = 0; i < display.size(); ++i) display[i] = static_cast<unsigned char>((i * 2654435761u) >> 24);
    }

    // The canvas centred in the view at zoom factor `percent` / 100.
    static ScreenMapping mapping(int percent) {
        const float s = static_cast<float>(percent) / 100.0f;
        const float zr = 1.0f / s;
        const float ox = (kViewW / s - kLargeW) * 0.5f;
        const float oy = (kViewH / s - kLargeH) * 0.5f;
        return {zr, s, ox / zr, oy / zr};
    }

    void redraw(int percent) {
        ScreenStepInput in;
        in.windowWidth = kViewW;
        in.windowHeight = kViewH;
        in.canvasWidth = kLargeW;
        in.canvasHeight = kLargeH;
        in.mapping = mapping(percent);
        in.canvasDirty = DirtyRect::emptyFor(kLargeW, kLargeH);
        int mode = 2;
        screenImageStep({display.data(), kLargeW, kLargeH, 4}, {screen.data(), kViewW, kViewH, 3}, backdropView(),
                        in, mode);
    }

    // The canvas rectangle under the view, in canvas pixels: [x0, x1) x [y0, y1).
    static void covered(int percent, int& x0, int& x1, int& y0, int& y1) {
        const ScreenMapping m = mapping(percent);
        const auto clampTo = [](float v, int hi) { return std::max(0, std::min(hi, static_cast<int>(v))); };
        x0 = clampTo((0.0f - m.screenOffsetX) * m.zoomRatio, kLargeW);
        x1 = clampTo((kViewW - m.screenOffsetX) * m.zoomRatio + 1.0f, kLargeW);
        y0 = clampTo((0.0f - m.screenOffsetY) * m.zoomRatio, kLargeH);
        y1 = clampTo((kViewH - m.screenOffsetY) * m.zoomRatio + 1.0f, kLargeH);
    }

    std::vector<unsigned char> display, screen, backdrop;

private:
    canvas::PixelSpan backdropView() { return {backdrop.data(), kViewW, kViewH, 3}; }
};

ZoomRig& zoomRig() {
    static ZoomRig* r = new ZoomRig();
    return *r;
}

void BM_ZoomedRedraw(benchmark::State& state, int percent) {
    ZoomRig& r = zoomRig();
    for (auto _ : state) {
        r.redraw(percent);
        benchmark::DoNotOptimize(r.screen.data());
        benchmark::ClobberMemory();
    }
    int x0, x1, y0, y1;
    ZoomRig::covered(percent, x0, x1, y0, y1);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(x1 - x0) * (y1 - y0) * 4);
}
BENCHMARK_CAPTURE(BM_ZoomedRedraw, 50, 50)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ZoomedRedraw, 35, 35)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ZoomedRedraw, 25, 25)->Unit(benchmark::kMillisecond);

void BM_ReadVisibleCanvas(benchmark::State& state, int percent) {
    ZoomRig& r = zoomRig();
    int x0, x1, y0, y1;
    ZoomRig::covered(percent, x0, x1, y0, y1);
    const size_t rowBytes = static_cast<size_t>(kLargeW) * 4;
    const size_t words = static_cast<size_t>(x1 - x0) * 4 / sizeof(uint64_t);
    for (auto _ : state) {
        uint64_t acc = 0;
        for (int y = y0; y < y1; ++y) {
            const unsigned char* row = r.display.data() + static_cast<size_t>(y) * rowBytes + static_cast<size_t>(x0) * 4;
            for (size_t i = 0; i < words; ++i) {
                uint64_t v;
                std::memcpy(&v, row + i * sizeof v, sizeof v);
                acc ^= v;
            }
        }
        benchmark::DoNotOptimize(acc);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(x1 - x0) * (y1 - y0) * 4);
}
BENCHMARK_CAPTURE(BM_ReadVisibleCanvas, 50, 50)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadVisibleCanvas, 35, 35)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadVisibleCanvas, 25, 25)->Unit(benchmark::kMillisecond);

}  // namespace
