// The eraser on plain buffers: the mask, the stamps along the pointer path,
// the idle rule of the frame step, alpha and the display under it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "core/pixels/eraser.h"

namespace {

using palette::Rgb;

struct Canvas {
    Canvas(int w, int h, int bpp) : w(w), h(h), bpp(bpp), front(size()), back(size()), display(size()) {}
    size_t size() const { return static_cast<size_t>(w) * h * bpp; }
    canvas::PixelSpan frontSpan() { return {front.data(), w, h, bpp}; }
    canvas::PixelSpan backSpan() { return {back.data(), w, h, bpp}; }
    canvas::PixelSpan displaySpan() { return {display.data(), w, h, bpp}; }
    unsigned char* at(int x, int y) { return front.data() + (static_cast<size_t>(y) * w + x) * bpp; }

    int w, h, bpp;
    std::vector<unsigned char> front, back, display;
};

// Engine members owned by the test (the mask is large: keep it off the stack).
struct MaskBox {
    eraser::Mask weights;
};

struct EraserMembers {
    std::unique_ptr<MaskBox> box{new MaskBox};
    eraser::Mask* mask = &box->weights;
    bool idle = false;
    float lastX = 0, lastY = 0;
    int centerX = 0, centerY = 0;
    eraser::Members members() { return {*mask, idle, lastX, lastY, centerX, centerY}; }
};

float weight(const eraser::Mask& m, int a, int b) { return m[b + eraser::kMaxRadius][a + eraser::kMaxRadius]; }

TEST(EraserMask, CentreRimAndOpacity) {
    EraserMembers e;
    eraser::buildMask(*e.mask, 20, 1);
    EXPECT_NEAR(weight(*e.mask, 0, 0), 0.01f, 1e-6);
    EXPECT_FLOAT_EQ(weight(*e.mask, 20, 0), 1.0f);  // d == size is outside
    EXPECT_FLOAT_EQ(weight(*e.mask, 15, 15), 1.0f);  // the square's corner
    EXPECT_LT(weight(*e.mask, 5, 0), weight(*e.mask, 10, 0));
    EXPECT_LT(weight(*e.mask, 18, 0), 1.0f);

    eraser::buildMask(*e.mask, 20, 0.5f);
    EXPECT_NEAR(weight(*e.mask, 0, 0), 0.51f, 1e-6);

    eraser::buildMask(*e.mask, 20, 0);
    for (int b = -20; b <= 20; ++b)
        for (int a = -20; a <= 20; ++a) ASSERT_GE(weight(*e.mask, a, b), 1.0f);
}

TEST(EraserStamps, SpacingFollowsRadiusAndZoom) {
    struct Case {
        float zoomRatio, size, move;
        int stamps;
    };
    for (const Case& c : {Case{1, 20, 100, 10}, Case{2, 20, 100, 20}, Case{1, 35, 10, 1}, Case{1, 20, 0, 1}}) {
        Canvas cv(400, 300, 3);
        EraserMembers e;
        eraser::buildMask(*e.mask, c.size, 1);
        const eraser::View view{c.zoomRatio, 0, 0};
        const eraser::Settings s{c.size, 1, Rgb{0, 0, 0}, false};
        DirtyRect dirty = DirtyRect::emptyFor(cv.w, cv.h);
        int cx = -1, cy = -1;
        const int n = eraser::layStamps(*e.mask, 50, 60, 50 + c.move, 60, view, s, cv.frontSpan(), cv.backSpan(),
                                        cv.displaySpan(), cx, cy, dirty);
        EXPECT_EQ(n, c.stamps) << "zoomRatio " << c.zoomRatio << " move " << c.move;
        // The last stamp sits on the pointer.
        EXPECT_EQ(cx, static_cast<int>((50 + c.move) * c.zoomRatio));
        EXPECT_EQ(cy, static_cast<int>(60 * c.zoomRatio));
    }
}

// A fast flick in one frame still erases every pixel along its path, also
// zoomed out with a radius smaller than a window pixel's reach.
TEST(EraserStamps, FastStrokesLeaveNoGaps) {
    struct Case {
        float zoomRatio, size, kept;  // the most of a pixel's colour a stroke may leave
    };
    for (const Case& c : {Case{1, 6, 0.2f}, Case{4, 2, 0.6f}}) {
        const float zoomRatio = c.zoomRatio, size = c.size;
        Canvas cv(1200, 60, 3);
        std::fill(cv.front.begin(), cv.front.end(), 200);
        EraserMembers e;
        eraser::buildMask(*e.mask, size, 1);
        const eraser::View view{zoomRatio, 0, 0};
        const eraser::Settings s{size, 1, Rgb{0, 0, 0}, false};
        DirtyRect dirty = DirtyRect::emptyFor(cv.w, cv.h);
        int cx, cy;
        const float fromX = 10 / zoomRatio, toX = 1150 / zoomRatio, y = 30 / zoomRatio;
        eraser::layStamps(*e.mask, fromX, y, toX, y, view, s, cv.frontSpan(), cv.backSpan(), cv.displaySpan(), cx, cy,
                          dirty);
        // The start point itself was stamped in the frame before.
        for (int x = 10 + static_cast<int>(size / 2); x <= 1150; ++x)
            ASSERT_LT(cv.at(x, 30)[0], 200 * c.kept) << "gap at x " << x << ", zoomRatio " << zoomRatio;
    }
}

TEST(EraserStamps, AlphaNeverRisesAndColoursMoveTowardsTheBackground) {
    Canvas cv(64, 64, 4);
    std::srand(7);
    for (size_t i = 0; i < cv.front.size(); ++i) cv.front[i] = static_cast<unsigned char>(std::rand() & 255);
    const std::vector<unsigned char> before = cv.front;
    const Rgb bg{40, 80, 120};
    for (float opacity : {1.0f, 0.3f}) {
        EraserMembers e;
        eraser::buildMask(*e.mask, 25, opacity);
        DirtyRect dirty = DirtyRect::emptyFor(cv.w, cv.h);
        int cx, cy;
        eraser::layStamps(*e.mask, 5, 5, 60, 58, {1, 0, 0}, {25, opacity, bg, false}, cv.frontSpan(), cv.backSpan(),
                          cv.displaySpan(), cx, cy, dirty);
    }
    const int bgc[3] = {bg.r, bg.g, bg.b};
    int changed = 0;
    for (size_t p = 0; p < cv.front.size(); p += 4) {
        ASSERT_LE(cv.front[p + 3], before[p + 3]);
        for (int k = 0; k < 3; ++k)
            ASSERT_LE(std::abs(cv.front[p + k] - bgc[k]), std::abs(before[p + k] - bgc[k]));
        changed += cv.front[p] != before[p];
    }
    EXPECT_GT(changed, 500);
}

TEST(EraserStamps, ZeroOpacityAndOffCanvasStampsTouchNothing) {
    Canvas cv(50, 40, 4);
    for (size_t i = 0; i < cv.front.size(); ++i) cv.front[i] = static_cast<unsigned char>(i * 7);
    const std::vector<unsigned char> before = cv.front;
    struct Case {
        float opacity, fromX, toX;
    };
    for (const Case& c : {Case{0, 5, 45}, Case{1, -300, -100}, Case{1, 500, 900}}) {
        EraserMembers e;
        eraser::buildMask(*e.mask, 20, c.opacity);
        DirtyRect dirty = DirtyRect::emptyFor(cv.w, cv.h);
        int cx, cy;
        eraser::layStamps(*e.mask, c.fromX, 20, c.toX, 20, {1, 0, 0}, {20, c.opacity, Rgb{0, 0, 0}, false},
                          cv.frontSpan(), cv.backSpan(), cv.displaySpan(), cx, cy, dirty);
        EXPECT_EQ(cv.front, before);
        EXPECT_TRUE(dirty.empty());
    }
}

TEST(EraserStamps, DisplayShowsTheBackLayerAndDirtyCoversEveryChange) {
    Canvas cv(80, 60, 3);
    const Rgb bg{50, 50, 50};
    for (size_t i = 0; i < cv.front.size(); ++i) {
        cv.front[i] = 200;
        cv.back[i] = static_cast<unsigned char>(i % 251);
    }
    EraserMembers e;
    eraser::buildMask(*e.mask, 10, 0.8f);
    DirtyRect dirty = DirtyRect::emptyFor(cv.w, cv.h);
    int cx, cy;
    // Window to canvas with an offset: canvas = window x 2 - 20.
    eraser::layStamps(*e.mask, 20, 20, 40, 30, {2, 20, 20}, {10, 0.8f, bg, true}, cv.frontSpan(), cv.backSpan(),
                      cv.displaySpan(), cx, cy, dirty);
    int minX = cv.w, maxX = -1, minY = cv.h, maxY = -1;
    for (int y = 0; y < cv.h; ++y)
        for (int x = 0; x < cv.w; ++x) {
            const size_t i = (static_cast<size_t>(y) * cv.w + x) * 3;
            if (cv.front[i] == 200) continue;
            minX = std::min(minX, x), maxX = std::max(maxX, x);
            minY = std::min(minY, y), maxY = std::max(maxY, y);
            for (int k = 0; k < 3; ++k)
                ASSERT_EQ(cv.display[i + k], std::min(255, std::max(0, cv.back[i + k] + cv.front[i + k] - 50)));
        }
    ASSERT_GE(maxX, 0);
    EXPECT_EQ(dirty.dirtyMinX, minX);
    EXPECT_EQ(dirty.dirtyMaxX, maxX + 1);  // maxima exclusive
    EXPECT_EQ(dirty.dirtyMinY, minY);
    EXPECT_EQ(dirty.dirtyMaxY, maxY + 1);
}

// The frame step: stamps while the pointer moves, once more where it comes
// to rest, then nothing while it is held still.
TEST(EraserStep, HoldingStillErasesNothingAfterTheRestFrame) {
    Canvas cv(300, 200, 3);
    std::fill(cv.front.begin(), cv.front.end(), 180);
    EraserMembers e;
    eraser::Members m = e.members();
    const eraser::View view{1.5f, 3.3f, 1.7f};  // a view whose stamps never land exactly on the pointer
    const eraser::Settings s{12, 1, Rgb{0, 0, 0}, false};
    auto frame = [&](float prevX, float prevY, float x, float y) {
        DirtyRect dirty = DirtyRect::emptyFor(cv.w, cv.h);
        return eraser::step(m, {x, y, prevX, prevY}, view, s, cv.frontSpan(), cv.backSpan(), cv.displaySpan(), dirty);
    };
    eraser::followPointer(m, {100, 80, 90, 70});
    e.idle = false;  // the press
    EXPECT_GT(frame(90, 70, 100, 80), 0);
    EXPECT_GT(frame(100, 80, 130, 90), 0);
    EXPECT_EQ(frame(130, 90, 130, 90), 1);  // the pointer came to rest
    for (int i = 0; i < 3; ++i) EXPECT_EQ(frame(130, 90, 130, 90), 0);
    EXPECT_GT(frame(130, 90, 140, 90), 0);  // moving again
}

TEST(EraserStep, NonFiniteInputLaysNoStamp) {
    Canvas cv(20, 20, 3);
    EraserMembers e;
    eraser::buildMask(*e.mask, 5, 1);
    DirtyRect dirty = DirtyRect::emptyFor(cv.w, cv.h);
    int cx = 0, cy = 0;
    EXPECT_EQ(eraser::layStamps(*e.mask, NAN, 0, 10, 10, {1, 0, 0}, {5, 1, Rgb{0, 0, 0}, false}, cv.frontSpan(),
                                cv.backSpan(), cv.displaySpan(), cx, cy, dirty),
              0);
    EXPECT_TRUE(dirty.empty());
}

}  // namespace
