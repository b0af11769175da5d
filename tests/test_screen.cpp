// The screen image on plain buffers: sampling per zoom factor, the screen
// step's rectangles and backdrop, partial against full redraws, the zoom
// arithmetic and thumbnails.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "core/pixels/canvas.h"
#include "core/pixels/screen.h"

namespace {

const float kFactors[10] = {2.0f, 1.5f, 1.0f, 0.7f, 0.5f, 0.35f, 0.25f, 0.15f, 0.1f, 0.05f};

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};

std::ostream& operator<<(std::ostream& os, const Rgb& c) {
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

struct Image {
    int width, height, bpp;
    std::vector<unsigned char> px;

    Image(int w, int h, int b) : width(w), height(h), bpp(b), px(static_cast<size_t>(w) * h * b, 0) {}
    canvas::PixelSpan span() { return {px.data(), width, height, bpp}; }
    // A view the kernels only read (they take one span type for both).
    canvas::PixelSpan cspan() const { return {const_cast<unsigned char*>(px.data()), width, height, bpp}; }
    unsigned char* at(int x, int y) { return &px[(static_cast<size_t>(y) * width + x) * bpp]; }
    Rgb rgb(int x, int y) const {
        const unsigned char* p = &px[(static_cast<size_t>(y) * width + x) * bpp];
        return {p[0], p[1], p[2]};
    }
    void set(int x, int y, Rgb c) {
        unsigned char* p = at(x, y);
        p[0] = static_cast<unsigned char>(c.r);
        p[1] = static_cast<unsigned char>(c.g);
        p[2] = static_cast<unsigned char>(c.b);
    }
};

// R = 10 x, G = 10 y, B = 100.
Image gradientCanvas(int w, int h, int bpp) {
    Image img(w, h, bpp);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.set(x, y, {(10 * x) % 256, (10 * y) % 256, 100});
    return img;
}

// Pseudo-random but fixed pixels, so any mapping slip shows.
Image noiseCanvas(int w, int h, int bpp) {
    Image img(w, h, bpp);
    unsigned v = 12345;
    for (auto& b : img.px) {
        v = v * 1103515245u + 12345u;
        b = static_cast<unsigned char>(v >> 16);
    }
    return img;
}

ScreenMapping mappingFor(float scalez, float screenOffsetX, float screenOffsetY) {
    return {1.0f / scalez, scalez, screenOffsetX, screenOffsetY};
}

DirtyRect whole(const Image& screen) { return {0, screen.width, 0, screen.height}; }

}  // namespace

TEST(ScreenSampling, EachZoomFactorHasItsFilter) {
    const ScreenSampling expect[10] = {
        ScreenSampling::Nearest,   ScreenSampling::Nearest,   ScreenSampling::Nearest, ScreenSampling::Box,
        ScreenSampling::Box,       ScreenSampling::Box,       ScreenSampling::SpreadBox, ScreenSampling::SpreadBox,
        ScreenSampling::SpreadBox, ScreenSampling::SpreadBox,
    };
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(screenSamplingFor(1.0f / kFactors[i], false), expect[i]) << "factor " << kFactors[i];
        EXPECT_EQ(screenSamplingFor(1.0f / kFactors[i], true), ScreenSampling::Nearest) << "factor " << kFactors[i];
    }
}

TEST(ScreenRedraw, SamplesTheDisplayPerZoom) {
    const Image display = gradientCanvas(16, 16, 4);
    struct Case {
        float scalez;
        int x, y;
        Rgb expect;
    };
    const Case cases[] = {
        {1.0f, 3, 5, {30, 50, 100}},    // the pixel under it
        {2.0f, 3, 5, {10, 20, 100}},    // zoomed in: (1.5, 2.5) -> (1, 2)
        {0.5f, 1, 1, {15, 15, 100}},    // 2 x 2 box at (2, 2)
        {0.5f, 1, 0, {7, 0, 50}},       // first row: two pixels, still / 4
        {0.5f, 0, 0, {0, 0, 25}},       // the corner: one pixel / 4
        {0.25f, 1, 1, {30, 30, 100}},   // spread box at (4, 4) with (2, 4), (4, 2), (2, 2)
        {0.25f, 0, 2, {0, 35, 50}},     // first column: (0, 8) and (0, 6)
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "scalez " << c.scalez << " at " << c.x << ", " << c.y);
        Image screen(16, 16, 3);
        redrawScreen(display.cspan(), screen.span(), whole(screen), mappingFor(c.scalez, 0, 0), false);
        EXPECT_EQ(screen.rgb(c.x, c.y), c.expect);
    }
    // Nearest sampling (panning) ignores the box even when zoomed out.
    Image screen(16, 16, 3);
    redrawScreen(display.cspan(), screen.span(), whole(screen), mappingFor(0.5f, 0, 0), true);
    EXPECT_EQ(screen.rgb(1, 1), (Rgb{20, 20, 100}));
}

TEST(ScreenRedraw, PixelsOffTheCanvasAreLeftAlone) {
    const Image display = gradientCanvas(10, 10, 3);
    Image screen(32, 32, 3);
    std::fill(screen.px.begin(), screen.px.end(), 7);
    redrawScreen(display.cspan(), screen.span(), whole(screen), mappingFor(1.0f, 5.0f, 6.0f), false);
    EXPECT_EQ(screen.rgb(4, 10), (Rgb{7, 7, 7}));
    EXPECT_EQ(screen.rgb(15, 10), (Rgb{7, 7, 7}));
    EXPECT_EQ(screen.rgb(10, 5), (Rgb{7, 7, 7}));
    EXPECT_EQ(screen.rgb(5, 6), (Rgb{0, 0, 100}));
    EXPECT_EQ(screen.rgb(14, 15), (Rgb{90, 90, 100}));
}

TEST(ScreenRedraw, PartialRedrawsMatchTheFullRedrawAtEveryZoom) {
    for (int bpp : {3, 4}) {
        const Image display = noiseCanvas(700, 500, bpp);
        for (float scalez : kFactors) {
            for (float offset : {-7.3f, 0.0f, 12.6f}) {
                SCOPED_TRACE(testing::Message() << "bpp " << bpp << " scalez " << scalez << " offset " << offset);
                const ScreenMapping m = mappingFor(scalez, offset, offset * 0.7f);
                Image full(160, 120, 3);
                redrawScreen(display.cspan(), full.span(), whole(full), m, false);
                Image part = full;
                const DirtyRect rects[] = {{13, 91, 7, 55}, {0, 1, 0, 120}, {101, 160, 60, 61}};
                for (const DirtyRect& r : rects) {
                    for (int y = r.dirtyMinY; y < r.dirtyMaxY; ++y)
                        for (int x = r.dirtyMinX; x < r.dirtyMaxX; ++x) part.set(x, y, {1, 2, 3});
                    redrawScreen(display.cspan(), part.span(), r, m, false);
                }
                // Off-canvas pixels stay as painted above, so compare only where the full redraw wrote.
                Image blank(160, 120, 3);
                std::fill(blank.px.begin(), blank.px.end(), 1);
                redrawScreen(display.cspan(), blank.span(), whole(blank), m, false);
                Image blank2(160, 120, 3);
                std::fill(blank2.px.begin(), blank2.px.end(), 2);
                redrawScreen(display.cspan(), blank2.span(), whole(blank2), m, false);
                int compared = 0;
                for (int y = 0; y < 120; ++y)
                    for (int x = 0; x < 160; ++x) {
                        if (blank.rgb(x, y) == Rgb{1, 1, 1} && blank2.rgb(x, y) == Rgb{2, 2, 2}) continue;
                        ++compared;
                        ASSERT_EQ(part.rgb(x, y), full.rgb(x, y)) << x << ", " << y;
                    }
                EXPECT_GT(compared, 0);
            }
        }
    }
}

namespace {

// The redraw walked the plain way, one window pixel at a time: the box
// filters add the neighbours that exist and divide by 4 regardless.
void referenceRedraw(const Image& display, Image& screen, const DirtyRect& r, const ScreenMapping& m, bool nearest) {
    const float zr = m.zoomRatio;
    const int off = nearest || zr <= 1.05f ? 0 : zr <= 3.95f ? 1 : 2;
    for (int y = std::max(r.dirtyMinY, 0); y < std::min(r.dirtyMaxY, screen.height); ++y) {
        const float cy = (static_cast<float>(y) - m.screenOffsetY) * zr;
        if (!(cy >= 0.0f && cy < static_cast<float>(display.height))) continue;
        const int iy = static_cast<int>(cy);
        for (int x = std::max(r.dirtyMinX, 0); x < std::min(r.dirtyMaxX, screen.width); ++x) {
            const float cx = (static_cast<float>(x) - m.screenOffsetX) * zr;
            if (!(cx >= 0.0f && cx < static_cast<float>(display.width))) continue;
            const int ix = static_cast<int>(cx);
            Rgb sum = display.rgb(ix, iy);
            if (off > 0) {
                const auto add = [&](int px, int py) {
                    const Rgb c = display.rgb(px, py);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                };
                const bool left = ix - off > 0;
                const bool up = iy - off > 0;
                if (left) add(ix - off, iy);
                if (up) add(ix, iy - off);
                if (left && up) add(ix - off, iy - off);
                sum = {sum.r >> 2, sum.g >> 2, sum.b >> 2};
            }
            screen.set(x, y, sum);
        }
    }
}

// Empty when both pictures are the same byte for byte, else where they first differ.
std::string firstDifference(const Image& got, const Image& expect) {
    const auto diff = std::mismatch(got.px.begin(), got.px.end(), expect.px.begin());
    if (diff.first == got.px.end()) return "";
    const int at = static_cast<int>(diff.first - got.px.begin()) / 3;
    const int x = at % got.width;
    const int y = at / got.width;
    std::ostringstream os;
    os << "window pixel " << x << ", " << y << ": " << got.rgb(x, y) << " instead of " << expect.rgb(x, y);
    return os.str();
}

}  // namespace

TEST(ScreenRedraw, EveryZoomMatchesThePlainWalkByteForByte) {
    struct Canvas {
        int w, h;
    };
    // Sizes that are no multiple of any factor, thin ones for the edges; the
    // large one fills the view at every box filter, so its redraw is shared
    // out over threads.
    const Canvas canvases[] = {{1601, 1103}, {203, 7}, {9, 263}};
    const DirtyRect rects[] = {{0, 400, 0, 300}, {37, 361, 11, 290}, {101, 102, 0, 300}};
    for (int bpp : {3, 4}) {
        for (const Canvas& c : canvases) {
            const Image display = noiseCanvas(c.w, c.h, bpp);
            for (float scalez : kFactors) {
                // Canvas off the top-left, at the corner, and inside the view with backdrop around.
                for (float offset : {-41.37f, 0.0f, 3.61f, 57.9f}) {
                    for (bool nearest : {false, true}) {
                        for (const DirtyRect& r : rects) {
                            SCOPED_TRACE(testing::Message()
                                         << "bpp " << bpp << " canvas " << c.w << "x" << c.h << " scalez " << scalez
                                         << " offset " << offset << " nearest " << nearest << " rect "
                                         << r.dirtyMinX << ".." << r.dirtyMaxX << " x " << r.dirtyMinY << ".."
                                         << r.dirtyMaxY);
                            const ScreenMapping m = mappingFor(scalez, offset, offset * 0.83f - 5.2f);
                            Image expect = noiseCanvas(400, 300, 3);
                            Image got = expect;
                            referenceRedraw(display, expect, r, m, nearest);
                            redrawScreen(display.cspan(), got.span(), r, m, nearest);
                            ASSERT_EQ(firstDifference(got, expect), "");
                        }
                    }
                }
            }
        }
    }
}

TEST(ScreenStep, WholeRedrawsMatchTheBackdropAndThePlainWalkByteForByte) {
    struct Window {
        int w, h;
    };
    // The whole screen image, and a window smaller than it.
    const Window windows[] = {{400, 300}, {353, 261}};
    const Image backdrop = noiseCanvas(400, 300, 3);
    for (int bpp : {3, 4}) {
        const Image display = noiseCanvas(1601, 1103, bpp);
        for (float scalez : kFactors) {
            // Off the top-left, centred-ish with backdrop around, off the bottom-right.
            for (float offset : {-41.37f, 23.61f, 310.2f}) {
                for (int mode : {2, 3}) {
                    for (const Window& win : windows) {
                        SCOPED_TRACE(testing::Message() << "bpp " << bpp << " scalez " << scalez << " offset "
                                                        << offset << " mode " << mode << " window " << win.w);
                        ScreenStepInput in;
                        in.windowWidth = win.w;
                        in.windowHeight = win.h;
                        in.canvasWidth = display.width;
                        in.canvasHeight = display.height;
                        in.mapping = mappingFor(scalez, offset, offset * 0.83f - 5.2f);
                        in.canvasDirty = DirtyRect::emptyFor(display.width, display.height);
                        Image got = noiseCanvas(400, 300, 3);
                        std::reverse(got.px.begin(), got.px.end());
                        Image expect = got;
                        int redrawMode = mode;
                        screenImageStep(display.cspan(), got.span(), backdrop.cspan(), in, redrawMode);

                        const VisibleRect v = visibleRect(win.w, win.h, display.width, display.height, in.mapping);
                        if (v.visibleMinX > 0 || v.visibleMaxX < win.w || v.visibleMinY > 0 || v.visibleMaxY < win.h)
                            expect.px = backdrop.px;
                        referenceRedraw(display, expect, {v.visibleMinX, v.visibleMaxX, v.visibleMinY, v.visibleMaxY},
                                        in.mapping, mode == 3);
                        ASSERT_EQ(firstDifference(got, expect), "");
                    }
                }
            }
        }
    }
}

TEST(ScreenStep, FullRedrawLeavesTheBackdropAroundASmallCanvas) {
    const Image display = gradientCanvas(20, 10, 4);
    Image screen(64, 48, 3);
    Image backdrop(64, 48, 3);
    fillRgb(backdrop.span(), 114, 110, 106);
    std::fill(screen.px.begin(), screen.px.end(), 0);
    ScreenStepInput in;
    in.windowWidth = 60;
    in.windowHeight = 100;  // taller than the screen image: the view stops at 48
    in.canvasWidth = 20;
    in.canvasHeight = 10;
    in.mapping = mappingFor(1.0f, 20.0f, 19.0f);
    in.canvasDirty = DirtyRect::emptyFor(20, 10);
    int redrawMode = 2;
    const ScreenStepResult r = screenImageStep(display.cspan(), screen.span(), backdrop.cspan(), in, redrawMode);
    EXPECT_EQ(redrawMode, 0);
    EXPECT_TRUE(r.updated);
    EXPECT_EQ(r.viewWidth, 60);
    EXPECT_EQ(r.viewHeight, 48);
    EXPECT_EQ(r.visible.visibleMinX, 20);
    EXPECT_EQ(r.visible.visibleMaxX, 40);
    EXPECT_EQ(r.visible.visibleMinY, 19);
    EXPECT_EQ(r.visible.visibleMaxY, 29);
    EXPECT_EQ(screen.rgb(0, 0), (Rgb{114, 110, 106}));
    EXPECT_EQ(screen.rgb(19, 19), (Rgb{114, 110, 106}));
    EXPECT_EQ(screen.rgb(40, 28), (Rgb{114, 110, 106}));
    EXPECT_EQ(screen.rgb(20, 19), (Rgb{0, 0, 100}));
    EXPECT_EQ(screen.rgb(39, 28), (Rgb{190, 90, 100}));
}

TEST(ScreenStep, PaintedRectangleIsMappedToTheWindowAndClipped) {
    const Image display = gradientCanvas(100, 100, 3);
    Image screen(64, 64, 3);
    Image backdrop(64, 64, 3);
    std::fill(screen.px.begin(), screen.px.end(), 9);
    ScreenStepInput in;
    in.windowWidth = 64;
    in.windowHeight = 64;
    in.canvasWidth = 100;
    in.canvasHeight = 100;
    in.mapping = mappingFor(0.5f, 4.0f, -10.0f);  // canvas (x, y) at window (x / 2 + 4, y / 2 - 10)
    in.canvasDirty = {10, 31, 0, 41};
    int redrawMode = 1;
    const ScreenStepResult r = screenImageStep(display.cspan(), screen.span(), backdrop.cspan(), in, redrawMode);
    EXPECT_EQ(r.dirty.dirtyMinX, 9);
    EXPECT_EQ(r.dirty.dirtyMaxX, 19);
    EXPECT_EQ(r.dirty.dirtyMinY, 0);  // -10 clipped to the visible canvas
    EXPECT_EQ(r.dirty.dirtyMaxY, 10);
    EXPECT_NE(screen.rgb(9, 0), (Rgb{9, 9, 9}));
    EXPECT_NE(screen.rgb(18, 9), (Rgb{9, 9, 9}));
    EXPECT_EQ(screen.rgb(19, 5), (Rgb{9, 9, 9}));
    EXPECT_EQ(screen.rgb(12, 10), (Rgb{9, 9, 9}));

    // Nothing painted and nothing requested: the screen stays as it is.
    redrawMode = 0;
    in.canvasDirty = DirtyRect::emptyFor(100, 100);
    const ScreenStepResult idle = screenImageStep(display.cspan(), screen.span(), backdrop.cspan(), in, redrawMode);
    EXPECT_FALSE(idle.updated);
}

TEST(ScreenStep, BrushCaptureRedrawsOnlyTheBoxOverTheBackdrop) {
    const Image display = gradientCanvas(600, 400, 3);
    Image screen(400, 300, 3);
    Image backdrop(400, 300, 3);
    fillRgb(backdrop.span(), 114, 110, 106);
    ScreenStepInput in;
    in.windowWidth = 400;
    in.windowHeight = 300;
    in.canvasWidth = 600;
    in.canvasHeight = 400;
    in.mapping = mappingFor(1.0f, captureViewOffset(600, 400), captureViewOffset(400, 300));
    in.newBrushPreset = 1;
    int redrawMode = 2;
    const ScreenStepResult r = screenImageStep(display.cspan(), screen.span(), backdrop.cspan(), in, redrawMode);
    EXPECT_EQ(r.dirty.dirtyMinX, 72);
    EXPECT_EQ(r.dirty.dirtyMaxX, 328);
    EXPECT_EQ(r.dirty.dirtyMinY, 22);
    EXPECT_EQ(r.dirty.dirtyMaxY, 278);
    EXPECT_EQ(screen.rgb(71, 150), (Rgb{114, 110, 106}));
    EXPECT_EQ(screen.rgb(200, 10), (Rgb{114, 110, 106}));
    // Window (72, 22) shows canvas (172, 72).
    EXPECT_EQ(screen.rgb(72, 22), display.rgb(172, 72));
    EXPECT_EQ(redrawMode, 0);
}

TEST(ScreenView, CenterTextureKeepsTheCentrePointOrCentresASmallCanvas) {
    // 1920 x 1080 in a 960 x 682 view, zoom 1 -> 2: the canvas point under
    // the view's centre stays there.
    const float s0 = 1.0f, s = 2.0f;
    float ox = -300.0f, oy = -100.0f;
    const float centreX = 480.0f / s0 - ox, centreY = 341.0f / s0 - oy;
    ASSERT_FALSE(centerTextureFitsSmall(960, 682, 1920, 1080, s));
    ox = centerTextureOffset(ox, 1920, 960, s0, s, false);
    oy = centerTextureOffset(oy, 1080, 682, s0, s, false);
    EXPECT_FLOAT_EQ(480.0f / s - ox, centreX);
    EXPECT_FLOAT_EQ(341.0f / s - oy, centreY);

    // 300 x 200 at 1.0 fits in 40 % of the view: centred.
    ASSERT_TRUE(centerTextureFitsSmall(960, 682, 300, 200, 1.0f));
    EXPECT_FLOAT_EQ(centerTextureOffset(-500.0f, 300, 960, 0.5f, 1.0f, true), 330.0f);
    EXPECT_FLOAT_EQ(centerTextureOffset(-500.0f, 200, 682, 0.5f, 1.0f, true), 241.0f);
    EXPECT_FALSE(centerTextureFitsSmall(960, 682, 385, 200, 1.0f));

    // Zooming in on a view whose centre lies past the canvas's right end
    // would leave the canvas short of the first quarter: the clamp pulls it back.
    float o = centerTextureOffset(-900.0f, 1920, 960, 0.25f, 1.0f, false);
    EXPECT_FLOAT_EQ(o, -2340.0f);
    o = canvas::viewClamp(o, 1.0f, 960, 1920);
    EXPECT_FLOAT_EQ(1920.0f + o, 0.25f * 960);
}

TEST(ScreenView, RectanglesToWindowAndVisiblePart) {
    const ScreenMapping m = mappingFor(0.5f, -20.5f, 10.0f);
    const DirtyRect w = dirtyToWindow({-10, 101, 4, 9}, m);
    EXPECT_EQ(w.dirtyMinX, -25);  // trunc(-5 - 20.5)
    EXPECT_EQ(w.dirtyMaxX, 30);   // trunc(50.5 - 20.5)
    EXPECT_EQ(w.dirtyMinY, 12);
    EXPECT_EQ(w.dirtyMaxY, 14);
    const VisibleRect v = visibleRect(100, 50, 300, 20, m);
    EXPECT_EQ(v.visibleMinX, 0);
    EXPECT_EQ(v.visibleMaxX, 100);  // -20.5 + 150, clipped to the view
    EXPECT_EQ(v.visibleMinY, 10);
    EXPECT_EQ(v.visibleMaxY, 20);
    // A canvas panned out of the view leaves nothing visible.
    const VisibleRect gone = visibleRect(100, 50, 30, 20, mappingFor(1.0f, 140.0f, 0.0f));
    EXPECT_EQ(gone.visibleMinX, 100);
    EXPECT_EQ(gone.visibleMaxX, 100);
}

TEST(Thumbnails, SampleEveryNthPixelAndRepeatOnNarrowCanvases) {
    const Image wide = gradientCanvas(120, 100, 4);
    std::vector<unsigned char> thumb(kThumbnailSize * kThumbnailSize * 3, 0);
    sampleThumbnail(wide.cspan(), thumb.data());
    // Steps 120 / 50 = 2 and 100 / 50 = 2: thumbnail (7, 3) is canvas (14, 6).
    const unsigned char* t = &thumb[(3 * kThumbnailSize + 7) * 3];
    EXPECT_EQ((Rgb{t[0], t[1], t[2]}), wide.rgb(14, 6));

    const Image narrow = gradientCanvas(30, 100, 3);
    sampleThumbnail(narrow.cspan(), thumb.data());
    for (int u = 0; u < kThumbnailSize; ++u) {
        const unsigned char* p = &thumb[(10 * kThumbnailSize + u) * 3];
        EXPECT_EQ((Rgb{p[0], p[1], p[2]}), narrow.rgb(0, 20)) << u;
    }
}

TEST(Cursor, BlackOverLightPixelsWhiteElsewhere) {
    Image display(2, 1, 4);
    display.set(0, 0, {200, 200, 101});
    display.set(1, 0, {200, 200, 100});
    EXPECT_TRUE(cursorBlackAt(display.cspan(), 0, 0));
    EXPECT_FALSE(cursorBlackAt(display.cspan(), 1, 0));
    EXPECT_FALSE(cursorBlackAt(display.cspan(), -1, 0));
    EXPECT_FALSE(cursorBlackAt(display.cspan(), 2, 0));
}

TEST(CaptureIcon, BackdropColourBecomesTheBackground) {
    Image icon(2, 1, 3);
    icon.set(0, 0, {114, 110, 106});
    icon.set(1, 0, {114, 110, 107});
    replaceRgb(icon.span(), 114, 110, 106, 1, 2, 3);
    EXPECT_EQ(icon.rgb(0, 0), (Rgb{1, 2, 3}));
    EXPECT_EQ(icon.rgb(1, 0), (Rgb{114, 110, 107}));
}
