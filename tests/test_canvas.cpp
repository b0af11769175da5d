#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/pixels/canvas.h"

using canvas::PixelSpan;
using palette::Rgb;

namespace {

const int64_t MiB = int64_t(1) << 20;
const int64_t GiB = int64_t(1) << 30;

struct Buffer {
    std::vector<uint8_t> bytes;
    PixelSpan span;
    Buffer(int w, int h, int bpp, uint8_t fill = 0) : bytes(static_cast<size_t>(w) * h * bpp, fill) {
        span = PixelSpan{bytes.data(), w, h, bpp};
    }
    const uint8_t* at(int x, int y) const { return bytes.data() + (static_cast<size_t>(y) * span.w + x) * span.bpp; }
    uint8_t* at(int x, int y) { return bytes.data() + (static_cast<size_t>(y) * span.w + x) * span.bpp; }
};

}  // namespace

TEST(UndoSizing, DepthFromFreeMemoryCanvasAndShare) {
    const struct {
        int64_t avail;
        int percent, w, h, bpp;
        int undoMax;
        bool fits;
    } cases[] = {
        {512 * MiB, 30, 800, 600, 3, 93, true},
        {512 * MiB, 10, 800, 600, 3, 17, true},
        {512 * MiB, 90, 800, 600, 3, 201, true},
        {512 * MiB, 5, 800, 600, 3, 17, true},     // used as 10
        {512 * MiB, 95, 800, 600, 3, 201, true},   // used as 90
        {256 * MiB, 30, 1920, 1080, 4, 3, true},   // q is 1: the ring is forced to 3
        {1 * GiB, 30, 1920, 1080, 4, 29, true},
        {8 * GiB, 30, 4000, 3000, 4, 47, true},
        {16 * GiB, 30, 8000, 8000, 4, 13, true},
        // Figures past 2^31 bytes are taken whole, not by their low 32 bits.
        {2 * GiB, 30, 800, 600, 3, 201, true},
        {3 * GiB, 30, 800, 600, 3, 201, true},
        {5 * GiB, 30, 800, 600, 3, 201, true},
        // Even the smallest ring and the pixel map do not fit at all.
        {1 * GiB, 30, 8000, 8000, 4, 3, false},
        // Unknown memory: a modest stand-in figure still sizes a small ring.
        {0, 30, 800, 600, 3, 3, true},
        {-1, 30, 800, 600, 3, 3, true},
        // Beyond the largest canvas, and sizes whose products overflow 32 bits.
        {64 * GiB, 30, 50000, 50000, 4, 3, false},
        {64 * GiB, 30, 65536, 65536, 3, 3, false},
        {64 * GiB, 30, 0, 600, 3, 3, false},
    };
    for (const auto& c : cases) {
        const canvas::UndoSizing s = canvas::undoSizingFor(c.avail, c.percent, c.w, c.h, c.bpp);
        EXPECT_EQ(s.undoMax, c.undoMax) << c.avail << " " << c.percent << "% " << c.w << "x" << c.h << "x" << c.bpp;
        EXPECT_EQ(s.fits, c.fits) << c.avail << " " << c.percent << "% " << c.w << "x" << c.h << "x" << c.bpp;
        EXPECT_EQ(s.undoMax % 2, 1);
    }
    const canvas::UndoSizing s = canvas::undoSizingFor(512 * MiB, 30, 800, 600, 3);
    EXPECT_EQ(s.use, 161061273);
    EXPECT_EQ(s.avail, 512 * MiB);
    EXPECT_EQ(canvas::undoSizingFor(512 * MiB, 5, 800, 600, 3).percent, 10);
    EXPECT_EQ(canvas::undoSizingFor(512 * MiB, 95, 800, 600, 3).percent, 90);
    EXPECT_EQ(canvas::undoSizingFor(0, 30, 800, 600, 3).avail, 104857600);
}

TEST(ViewClamp, NearEdgeWithinThreeQuartersFarEdgeBeyondOneQuarter) {
    const struct { float o, s; int V, W; float want; } cases[] = {
        {0, 1, 960, 800, 0},         {720, 1, 960, 800, 720},     {800, 1, 960, 800, 720},
        {-560, 1, 960, 800, -560},   {-600, 1, 960, 800, -560},   {1500, 0.5f, 960, 800, 1440},
        {-400, 0.5f, 960, 800, -320}, {-100, 2, 960, 800, -100},  {-700, 2, 960, 800, -680},
    };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(canvas::viewClamp(c.o, c.s, c.V, c.W), c.want) << c.o << " at " << c.s;
    EXPECT_FLOAT_EQ(canvas::centredOffset(1, 960, 800), 80);
    EXPECT_FLOAT_EQ(canvas::centredOffset(1, 961, 800), 80);  // the view is halved in integers
    EXPECT_FLOAT_EQ(canvas::centredOffset(0.5f, 960, 800), 560);
}

TEST(ViewSizes, LargestViewZoomFitAndLabel) {
    EXPECT_EQ(canvas::maxCanvasSize(1920, 200, 16384), 1728);
    EXPECT_EQ(canvas::maxCanvasSize(1080, 30, 16384), 1056);
    EXPECT_EQ(canvas::maxCanvasSize(1280, 200, 16384), 1088);
    EXPECT_EQ(canvas::maxCanvasSize(1024, 30, 16384), 1008);
    EXPECT_EQ(canvas::maxCanvasSize(1920, 200, 1024), 1024);
    EXPECT_EQ(canvas::maxCanvasSize(1920, 200, 0), 1728);  // limit unknown
    EXPECT_EQ(canvas::maxCanvasSize(0, 200, 0), 16);

    const struct { int w, h, index; const char* label; } fits[] = {
        {200, 100, 0, "200 %"},  {480, 300, 1, "150 %"},  // at 2 the width equals the view: no fit
        {800, 600, 2, "100 %"},  {1300, 900, 3, "70 %"},  {1900, 1300, 4, "50 %"},
        {2700, 1900, 5, "35 %"}, {3800, 2700, 6, "25 %"}, {6000, 4000, 7, "15 %"},
        {9000, 6000, 8, "10 %"}, {19000, 13000, 9, "5 %"}, {100000, 10, 9, "5 %"},
    };
    for (const auto& f : fits) {
        const int index = canvas::zoomFitIndex(960, 682, f.w, f.h);
        EXPECT_EQ(index, f.index) << f.w << "x" << f.h;
        EXPECT_EQ(canvas::zoomLabel(canvas::kZoomFactors[index]), f.label) << f.w << "x" << f.h;
    }
}

TEST(Docking, SnapsOnlyInTheBandBesideTheToolWindow) {
    const struct { int baseX, baseY, bw, bh; bool snaps; int x, y; } cases[] = {
        {300, 80, 0, 0, true, 298, 81},  {281, 61, 0, 0, true, 298, 81},  {319, 99, 0, 0, true, 298, 81},
        {280, 80, 0, 0, false, 0, 0},    {320, 80, 0, 0, false, 0, 0},    {300, 100, 0, 0, false, 0, 0},
        {300, 60, 0, 0, false, 0, 0},    {300, 80, 4, 1, true, 307, 80},
    };
    for (const auto& c : cases) {
        int x = 0, y = 0;
        EXPECT_EQ(canvas::dockTarget(c.baseX, c.baseY, 100, 100, c.bw, c.bh, x, y), c.snaps) << c.baseX << "," << c.baseY;
        if (c.snaps) {
            EXPECT_EQ(x, c.x);
            EXPECT_EQ(y, c.y);
        }
    }
}

TEST(Layers, FillWithTheBackgroundAndClearAlpha) {
    Buffer rgba(5, 3, 4, 77), rgb(5, 3, 3, 77);
    canvas::fillLayer(rgba.span, Rgb{10, 20, 30});
    canvas::fillLayer(rgb.span, Rgb{10, 20, 30});
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(std::vector<uint8_t>(rgba.at(x, y), rgba.at(x, y) + 4), (std::vector<uint8_t>{10, 20, 30, 0}));
            EXPECT_EQ(std::vector<uint8_t>(rgb.at(x, y), rgb.at(x, y) + 3), (std::vector<uint8_t>{10, 20, 30}));
        }
    EXPECT_EQ(canvas::canvasAlpha(255, 255, 255, Rgb{0, 0, 0}), 252);
    EXPECT_EQ(canvas::canvasAlpha(100, 0, 0, Rgb{0, 0, 0}), 33);
    EXPECT_EQ(canvas::canvasAlpha(10, 20, 30, Rgb{10, 20, 30}), 0);
}

TEST(Layers, RecomposeClampsAndKeepsDisplayAlpha) {
    Buffer front(3, 1, 4), back(3, 1, 4), display(3, 1, 4, 9);
    const uint8_t f[3][4] = {{100, 200, 10, 40}, {0, 0, 0, 0}, {255, 255, 255, 255}};
    const uint8_t b[3][4] = {{200, 200, 0, 99}, {0, 0, 0, 0}, {50, 50, 50, 50}};
    for (int x = 0; x < 3; ++x)
        for (int c = 0; c < 4; ++c) {
            front.at(x, 0)[c] = f[x][c];
            back.at(x, 0)[c] = b[x][c];
        }
    canvas::recompose(front.span, back.span, display.span, Rgb{50, 50, 50}, true);
    EXPECT_EQ(std::vector<uint8_t>(display.at(0, 0), display.at(0, 0) + 4), (std::vector<uint8_t>{250, 255, 0, 9}));
    EXPECT_EQ(std::vector<uint8_t>(display.at(1, 0), display.at(1, 0) + 4), (std::vector<uint8_t>{0, 0, 0, 9}));
    EXPECT_EQ(std::vector<uint8_t>(display.at(2, 0), display.at(2, 0) + 4), (std::vector<uint8_t>{255, 255, 255, 9}));

    canvas::recompose(front.span, back.span, display.span, Rgb{50, 50, 50}, false);
    EXPECT_EQ(display.bytes, front.bytes);

    // Depths differ (a back layer without alpha): each buffer keeps its own stride.
    Buffer rgbBack(3, 1, 3, 60);
    canvas::recompose(front.span, rgbBack.span, display.span, Rgb{50, 50, 50}, true);
    EXPECT_EQ(std::vector<uint8_t>(display.at(2, 0), display.at(2, 0) + 3), (std::vector<uint8_t>{255, 255, 255}));
    EXPECT_EQ(display.at(0, 0)[0], 110);

    // Mismatched sizes: nothing is written.
    Buffer small(2, 1, 4, 1);
    const std::vector<uint8_t> before = display.bytes;
    canvas::recompose(front.span, small.span, display.span, Rgb{0, 0, 0}, true);
    EXPECT_EQ(display.bytes, before);
}
