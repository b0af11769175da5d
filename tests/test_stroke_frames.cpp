// Whole strokes through brushStep, frame after frame, with the real particle
// chain: every brush style, width, detail, line and ribbon mode, colour
// source, composite mode and zoom that changes what is painted. The canvas
// after each stroke must stay byte for byte what it was when these
// checksums were taken, however the painting is split up.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/pixels/particles.h"
#include "core/pixels/stroke.h"
#include "framework/ofMath.h"

namespace {

struct StrokeCase {
    const char* name;
    int style;
    float width;      // spring length unit
    bool fill;
    int detail;
    bool spline;
    int partNum;
    int partStep;
    float opacity;
    float fadez;
    float speed;      // pointer, window pixels per frame
    int frames;
    int releaseAt;    // frame of the release (fading strokes fade out), -1 none
    int perpixelz;
    float time;       // palette cycling; 0 spreads the palette along the chain
    bool additive;
    bool showBcg;
    int bpp;
    float zoom;       // zoomRatio: canvas pixels per window pixel
    float offsetX;    // canvas x = window x * zoom - offsetX
    float offsetY;
    uint64_t checksum;
};

void PrintTo(const StrokeCase& c, std::ostream* os) { *os << c.name; }

constexpr int kW = 480;
constexpr int kH = 320;

// FNV-1a, 64 bits.
struct Hash {
    uint64_t h = 1469598103934665603ull;
    void bytes(const void* p, size_t n) {
        const unsigned char* c = static_cast<const unsigned char*>(p);
        for (size_t i = 0; i < n; ++i) {
            h ^= c[i];
            h *= 1099511628211ull;
        }
    }
    template <class T>
    void value(const T& v) {
        bytes(&v, sizeof v);
    }
};

class StrokeRun {
public:
    StrokeRun(const StrokeCase& c, int bands)
        : c_(c),
          front_(static_cast<size_t>(kW) * kH * c.bpp),
          back_(front_.size()),
          display_(front_.size()) {
        // A faint picture behind, and paint already on the front in darken mode.
        for (size_t i = 0; i < back_.size(); ++i) back_[i] = static_cast<unsigned char>((i * 2654435761u) >> 27);
        for (size_t i = 0; i < front_.size(); ++i)
            front_[i] = c.additive ? static_cast<unsigned char>(i % 7) : static_cast<unsigned char>(180 + i % 61);
        std::memcpy(display_.data(), front_.data(), front_.size());
        for (int i = 0; i <= kPaletteLast; ++i) {
            palR_[i] = 255 - (i * 120) / kPaletteLast;
            palG_[i] = 40 + (i * 200) / kPaletteLast;
            palB_[i] = (i * 90) / kPaletteLast;
        }
        accum_ = std::make_unique<PaintAccumulator>();
        accum_->bands = bands;
        chain_ = std::make_unique<ParticleChain>();
    }

    // Paints the stroke; the hash covers every frame's result and the final pictures.
    uint64_t paint() {
        if (!accum_->allocateMap(kW, kH)) return 0;
        BrushParams params;
        params.modes = c_.style;
        params.normLen = c_.width;
        params.fillz = c_.fill;
        params.paintDetail = c_.detail;
        params.spline = c_.spline;
        params.partNum = c_.partNum;
        params.partStep = c_.partStep;
        params.opacityz = c_.opacity;
        params.fadez = c_.fadez;
        PaintSettings settings;
        settings.perpixelz = c_.perpixelz;
        settings.perpixelzTime = c_.time;
        settings.additive = c_.additive;
        settings.showBcg = c_.showBcg;
        settings.bcgR = 30;
        settings.bcgG = 20;
        settings.bcgB = 10;
        const PaintColours colours{palR_, palG_, palB_, 244, 78, 21};
        const CanvasMapping mapping{c_.zoom, c_.offsetX, c_.offsetY};
        const CanvasLayers layers{{front_.data(), kW, kH, c_.bpp},
                                  {back_.data(), kW, kH, c_.bpp},
                                  {display_.data(), kW, kH, c_.bpp}};
        ofSeedRandom(7);
        float px, py;
        pointer(0, px, py);
        setupStrings(*chain_, params, px, py);
        StrokeProgress progress;
        int strokeState = 1;
        Hash hash;
        touched = 0;
        for (int f = 1; f <= c_.frames && strokeState != 0; ++f) {
            pointer(f, px, py);
            particleStep(*chain_, params, px, py);
            if (f == c_.releaseAt) progress.strokeEndPending = true;
            beginStrokeFrame(strokeState, progress, params);
            DirtyRect dirty = DirtyRect::emptyFor(kW, kH);
            int redrawMode = 0;
            const BrushStepResult r = brushStep(*chain_, params, settings, colours, mapping, layers, progress,
                                                *accum_, dirty, redrawMode);
            if (r.strokeEnded) strokeState = 0;
            shiftTrail(*chain_);
            touched += r.touchedEntries;
            hash.value(r.touchedEntries);
            hash.value(r.strokeEnded);
            hash.value(dirty);
            hash.value(redrawMode);
            hash.value(progress.fadeFactor);
            hash.value(progress.paletteCounter);
            hash.value(progress.paletteIndex);
        }
        hash.bytes(front_.data(), front_.size());
        hash.bytes(display_.data(), display_.size());
        return hash.h;
    }

    int64_t touched = 0;  // pixels painted over the whole stroke

    bool accumulatorClear() const {
        for (int v : accum_->pixelMap)
            if (v != 0) return false;
        for (int e = 0; e < kTouchedCapacity; ++e)
            if (accum_->accumR[e] || accum_->accumG[e] || accum_->accumB[e]) return false;
        return true;
    }

private:
    // A figure of eight around the canvas centre, in window pixels.
    void pointer(int f, float& x, float& y) const {
        const float a = static_cast<float>(f) * c_.speed / 400.0f;
        const float cx = (kW * 0.5f + c_.offsetX) / c_.zoom;
        const float cy = (kH * 0.5f + c_.offsetY) / c_.zoom;
        x = cx + 170.0f / c_.zoom * std::sin(a);
        y = cy + 110.0f / c_.zoom * std::sin(2.0f * a);
    }

    StrokeCase c_;
    std::vector<unsigned char> front_, back_, display_;
    int palR_[kPaletteLast + 1] = {};
    int palG_[kPaletteLast + 1] = {};
    int palB_[kPaletteLast + 1] = {};
    std::unique_ptr<PaintAccumulator> accum_;
    std::unique_ptr<ParticleChain> chain_;
};

// name, style, width, fill, detail, spline, partNum, partStep, opacity, fadez, speed, frames, releaseAt,
// perpixelz, time, additive, showBcg, bpp, zoom, offsetX, offsetY, checksum
const StrokeCase kCases[] = {
    {"ribbon_detail4_spline", kStyleWyrle, 1.0f, true, 4, true, 300, 1, 40, 10, 12, 14, -1, 1, 3, true, true, 4, 1, 0, 0, 0xc47c6e4cc14a2ed9},
    {"ribbon_wide_fast", kStyleRibbon, 2.5f, true, 4, true, 300, 1, 40, 10, 40, 12, -1, 1, 3, true, true, 4, 1, 0, 0, 0xa08930ad3abaf9da},
    {"follow_detail2_straight_darken", kStyleFollow, 1.7f, true, 2, false, 180, 1, 70, 0, 25, 12, -1, 1, 5, false, false, 3, 1, 0, 0, 0x812613f0a42d2ee1},
    {"ribbon_detail1_basic_fade_out", kStyleRibbon, 1.2f, true, 1, true, 120, 1, 55, 10, 20, 30, 12, 0, 3, true, true, 4, 1, 0, 0, 0xdca13e827a01a80b},
    {"ribbon_detail3_spread_palette_zoomed_out", kStyleWyrle, 2.0f, true, 3, true, 220, 1, 90, 4, 30, 12, -1, 1, 0, true, true, 4, 2, 100, 60, 0x2ce83452919ccfa0},
    {"ribbon_zoomed_in_darken_alpha", kStyleFollow, 0.6f, true, 4, true, 260, 1, 100, 0, 15, 10, -1, 0, 3, false, true, 4, 0.5f, -20, -10, 0x9070cd9bdfd6dc80},
    {"ribbon_leaving_the_canvas", kStyleRibbon, 2.5f, true, 2, true, 300, 1, 65, 0, 35, 12, -1, 1, 8, true, true, 3, 1, 230, 150, 0xd6d1c94c12628129},
    {"ribbon_still_saturating", kStyleWyrle, 0.0f, true, 4, true, 300, 1, 100, 0, 0, 4, -1, 0, 3, true, false, 4, 20, 0, 0, 0xc2deb50bca070b5e},
    {"line_step1_spline_fast", kStyleWyrle, 1.0f, false, 1, true, 300, 1, 40, 10, 80, 12, -1, 1, 3, true, true, 4, 1, 0, 0, 0xd23dbdbbfa4d90df},
    {"line_step3_straight_darken_basic", kStyleRibbon, 2.5f, false, 4, false, 250, 3, 80, 10, 30, 25, 9, 0, 3, false, true, 4, 1, 0, 0, 0xf1873cadc5b16669},
    {"line_spread_palette_zoomed", kStyleFollow, 1.5f, false, 2, true, 200, 2, 60, 0, 50, 12, -1, 1, 0, true, false, 3, 1.5f, 40, 30, 0xd4bcb891ae036c1f},
};

class StrokeFrames : public testing::TestWithParam<StrokeCase> {};

}  // namespace

TEST_P(StrokeFrames, PaintStaysByteForByteTheSame) {
    // In one pass, and split into bands of rows painted side by side.
    const StrokeCase& c = GetParam();
    for (int bands : {1, 3, kMaxPaintBands}) {
        StrokeRun run(c, bands);
        const uint64_t got = run.paint();
        EXPECT_EQ(got, c.checksum) << c.name << " in " << bands << " bands: 0x" << std::hex << got;
        EXPECT_GT(run.touched, 0) << c.name;
        EXPECT_TRUE(run.accumulatorClear());
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, StrokeFrames, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<StrokeCase>& info) { return std::string(info.param.name); });

TEST(StrokeBands, ABandOutOfEntriesPaintsTheFrameAsOnePassWould) {
    // Wide ribbons over the top half, narrow ones below: the bands split the
    // work evenly, so the top bands get far more pixels than their share of
    // the touched list, while the whole frame fits the list.
    constexpr int w = 3200, h = 400;
    ParticleChain chain;
    for (int k = 0; k < kParticleCount; ++k) {
        const bool top = k < 150;
        const float x = top ? 20.0f * k + 0.5f : 3000.0f + (k - 150) + 0.5f;
        chain.last2X[k] = chain.lastX[k] = x;
        chain.last2Y[k] = top ? 0.5f : 200.5f;
        chain.lastY[k] = top ? 199.5f : 399.5f;
        chain.last3X[k] = chain.nowX[k] = x;
        chain.last3Y[k] = chain.last2Y[k];
        chain.nowY[k] = chain.lastY[k];
    }
    BrushParams params;
    params.partNum = kParticleCount;
    params.fillz = true;
    params.spline = false;
    params.paintDetail = 2;
    params.fadez = 0.0f;
    params.opacityz = 100.0f;
    PaintSettings settings;
    settings.perpixelz = 0;
    const PaintColours colours{nullptr, nullptr, nullptr, 200, 120, 60};
    std::vector<unsigned char> want;
    int wantTouched = 0;
    for (int bands : {1, 4}) {
        std::vector<unsigned char> front(static_cast<size_t>(w) * h * 3, 0), back(front.size(), 0),
            display(front.size(), 0);
        PaintAccumulator accum;
        accum.bands = bands;
        ASSERT_TRUE(accum.allocateMap(w, h));
        // Twice: bands are taken after a frame that painted much.
        BrushStepResult r;
        for (int frame = 0; frame < 2; ++frame) {
            StrokeProgress progress;
            progress.fadeFactor = progress.fadeFactorSaved = 1.0f;
            DirtyRect dirty = DirtyRect::emptyFor(w, h);
            int redrawMode = 0;
            r = brushStep(chain, params, settings, colours, CanvasMapping{},
                          {{front.data(), w, h, 3}, {back.data(), w, h, 3}, {display.data(), w, h, 3}}, progress,
                          accum, dirty, redrawMode);
        }
        if (bands == 1) {
            // More than a quarter of the list in the top half; all of it fits.
            ASSERT_GT(r.touchedEntries, kTouchedLimit / 2 + 1000);
            ASSERT_LT(r.touchedEntries, kTouchedLimit - 1);
            int lit = 0;
            for (size_t i = 0; i < front.size(); i += 3) lit += front[i] != 0;
            ASSERT_EQ(lit, r.touchedEntries);
            want = front;
            wantTouched = r.touchedEntries;
            continue;
        }
        EXPECT_EQ(r.touchedEntries, wantTouched);
        EXPECT_TRUE(front == want);
        for (size_t i = 0; i < accum.pixelMap.size(); ++i) ASSERT_EQ(accum.pixelMap[i], 0) << i;
    }
}
