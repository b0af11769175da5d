// Stroke painting on plain buffers: worked splats and ribbons, the composite
// rules, opacity, fading, palette stepping, which particles paint, the dirty
// rectangle, the touched-list cap and hostile inputs.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "core/WyrleGlobals.h"
#include "core/pixels/particles.h"
#include "core/pixels/stroke.h"

namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

std::ostream& operator<<(std::ostream& os, const Rgb& c) {
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

// A canvas with its three layers, the accumulator and a chain; the window
// maps 1:1 onto the canvas unless a test changes `mapping`.
class StrokeCanvas : public testing::Test {
protected:
    void makeCanvas(int w, int h, int bpp) {
        width = w;
        height = h;
        this->bpp = bpp;
        front.assign(static_cast<size_t>(w) * h * bpp, 0);
        back.assign(static_cast<size_t>(w) * h * bpp, 0);
        display.assign(static_cast<size_t>(w) * h * bpp, 0);
        ASSERT_TRUE(accum->allocateMap(w, h));
    }

    void SetUp() override {
        accum = std::make_unique<PaintAccumulator>();
        chain = std::make_unique<ParticleChain>();
        makeCanvas(40, 30, 3);
        params.partNum = 2;
        params.fillz = false;
        params.fadez = 0.0f;
        settings.perpixelz = 0;
        settings.showBcg = false;
        colours.paletteBasicR = 244;
        colours.paletteBasicG = 78;
        colours.paletteBasicB = 21;
        palR.assign(kPaletteLast + 1, 0);
        palG.assign(kPaletteLast + 1, 0);
        palB.assign(kPaletteLast + 1, 0);
        colours.paletteR = palR.data();
        colours.paletteG = palG.data();
        colours.paletteB = palB.data();
    }

    CanvasLayers layers() {
        return {{front.data(), width, height, bpp}, {back.data(), width, height, bpp}, {display.data(), width, height, bpp}};
    }

    // Every trail point of particle i at window (x, y).
    void place(int i, float x, float y) {
        chain->nowX[i] = chain->lastX[i] = chain->last2X[i] = chain->last3X[i] = x;
        chain->nowY[i] = chain->lastY[i] = chain->last2Y[i] = chain->last3Y[i] = y;
    }

    void placeAll(float x, float y) {
        for (int i = 0; i < kParticleCount; ++i) place(i, x, y);
    }

    // One painting frame of a running stroke.
    BrushStepResult frame() {
        int state = strokeState;
        beginStrokeFrame(state, progress, params);
        strokeState = state;
        dirty = DirtyRect::emptyFor(width, height);
        redrawMode = 0;
        return brushStep(*chain, params, settings, colours, mapping, layers(), progress, *accum, dirty, redrawMode);
    }

    Rgb frontAt(int x, int y) const {
        const unsigned char* p = &front[(static_cast<size_t>(y) * width + x) * bpp];
        return {p[0], p[1], p[2]};
    }
    Rgb displayAt(int x, int y) const {
        const unsigned char* p = &display[(static_cast<size_t>(y) * width + x) * bpp];
        return {p[0], p[1], p[2]};
    }
    int litCount() const {
        int n = 0;
        for (size_t i = 0; i < front.size(); i += bpp) n += (front[i] | front[i + 1] | front[i + 2]) != 0;
        return n;
    }
    bool mapAndSumsClear() const {
        for (int v : accum->pixelMap)
            if (v != 0) return false;
        for (int e = 0; e < kTouchedCapacity; ++e)
            if (accum->accumR[e] || accum->accumG[e] || accum->accumB[e]) return false;
        return true;
    }

    int width = 0, height = 0, bpp = 3;
    std::vector<unsigned char> front, back, display;
    std::vector<int> palR, palG, palB;
    std::unique_ptr<PaintAccumulator> accum;
    std::unique_ptr<ParticleChain> chain;
    BrushParams params;
    PaintSettings settings;
    PaintColours colours;
    CanvasMapping mapping;
    StrokeProgress progress;
    DirtyRect dirty;
    int redrawMode = 0;
    int strokeState = 1;
};

}  // namespace

TEST_F(StrokeCanvas, StillLineParticleGivesTheWorkedSplat) {
    place(1, 10.0f, 10.0f);
    for (bool spline : {false, true}) {
        SCOPED_TRACE(spline);
        params.spline = spline;
        std::fill(front.begin(), front.end(), 0);
        strokeState = 1;
        frame();
        // 14823 * 101 twice = 2,994,246 >> 12 = 731 -> 255; 957,076 -> 233; 257,550 -> 62.
        EXPECT_EQ(frontAt(10, 10), (Rgb{255, 233, 62}));
        EXPECT_EQ(litCount(), 1);  // d^2 = 256 at the neighbours: no weight
        EXPECT_EQ(displayAt(10, 10), (Rgb{255, 233, 62}));
        EXPECT_TRUE(mapAndSumsClear());
    }
}

TEST_F(StrokeCanvas, SplatWeightsFollowTheSubPixelPosition) {
    struct Case {
        int x16, y16;
        std::vector<std::pair<int, int>> expect;  // (pixel index, sum) in entry order
    };
    const int w = width;
    const std::vector<Case> cases = {
        {160, 160, {{10 + 10 * w, 1000}}},
        {168, 168, {{10 + 10 * w, 500}, {11 + 10 * w, 500}, {10 + 11 * w, 500}, {11 + 11 * w, 500}}},
        {164, 160, {{10 + 10 * w, 937}, {11 + 10 * w, 437}}},
        {8, 8, {{1 + 1 * w, 500}}},       // row and column 0 take nothing
        {-8, 40, {}},
        {39 * 16 + 8, 160, {{39 + 10 * w, 750}}},  // column 40 is off the canvas
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x16 << ", " << c.y16);
        accum = std::make_unique<PaintAccumulator>();
        ASSERT_TRUE(accum->allocateMap(width, height));
        drawPoint3(*accum, c.x16, c.y16, 1000, 0, 0);
        std::vector<std::pair<int, int>> got;
        for (int e = 1; e < accum->touchedCount; ++e) got.emplace_back(accum->touchedPixels[e], accum->accumR[e]);
        EXPECT_EQ(got, c.expect);
    }
}

TEST_F(StrokeCanvas, RibbonSpansHitEveryPointOnTheCanvasOnce) {
    // Against the plain per-point walk: same pixels, same entry order, same
    // sums, for short, long, steep, off-canvas and degenerate spans.
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> anywhere(-8.0f, 48.0f);
    std::uniform_real_distribution<float> nearby(-2.5f, 2.5f);
    const int w = width, h = height;
    for (int trial = 0; trial < 4000; ++trial) {
        const int sub = 10 * (1 + trial % 4);
        float ax = anywhere(rng), ay = anywhere(rng);
        float bx, by;
        switch (trial % 5) {
            case 0: bx = ax + nearby(rng) * 0.2f; by = ay + nearby(rng) * 0.2f; break;  // within a pixel or two
            case 1: bx = ax + nearby(rng); by = ay + nearby(rng); break;
            case 2: bx = ax; by = ay + nearby(rng) * 4.0f; break;                        // straight down or up
            case 3: bx = ax; by = ay; break;                                             // a point
            default: bx = anywhere(rng); by = anywhere(rng); break;                      // across the canvas
        }
        // Back to an empty frame: no entries, map and sums at 0.
        for (int e = 1; e < accum->touchedCount; ++e) {
            accum->pixelMap[accum->touchedPixels[e]] = 0;
            accum->accumR[e] = accum->accumG[e] = accum->accumB[e] = 0;
        }
        accum->touchedCount = 1;
        drawRibbonSpan(*accum, ax, ay, bx, by, sub, 3, 5, 7);

        std::vector<int> order;
        std::vector<int> hits(static_cast<size_t>(w) * h, 0);
        const float sx = (bx - ax) / static_cast<float>(sub);
        const float sy = (by - ay) / static_cast<float>(sub);
        for (int k = 1; k <= sub; ++k) {
            const float qx = ax + sx * static_cast<float>(k);
            const float qy = ay + sy * static_cast<float>(k);
            if (!(qx > 0.0f && qx < w && qy > 0.0f && qy < h)) continue;
            const int idx = static_cast<int>(qx) + static_cast<int>(qy) * w;
            if (hits[idx]++ == 0) order.push_back(idx);
        }
        ASSERT_EQ(accum->touchedCount - 1, static_cast<int>(order.size())) << "trial " << trial;
        for (size_t e = 0; e < order.size(); ++e) {
            const int idx = accum->touchedPixels[e + 1];
            ASSERT_EQ(idx, order[e]) << "trial " << trial;
            ASSERT_EQ(accum->accumR[e + 1], 3 * hits[idx]) << "trial " << trial;
            ASSERT_EQ(accum->accumB[e + 1], 7 * hits[idx]) << "trial " << trial;
        }
    }
}

namespace {

// The plain walk of one frame in a constant colour (fade 1, the basic
// colour): every sample of every painted particle, in order, straight into
// a per-pixel sum. The painter must give the same entries in the same order.
struct NaiveFrame {
    std::vector<int> order;
    std::vector<int64_t> sumR;
};

void naivePoint(const ParticleChain& c, int i, bool spline, float t, float& x, float& y) {
    if (spline) {
        x = curvePoint(c.last3X[i], c.last2X[i], c.lastX[i], c.nowX[i], t);
        y = curvePoint(c.last3Y[i], c.last2Y[i], c.lastY[i], c.nowY[i], t);
    } else {
        x = c.last2X[i] + (c.lastX[i] - c.last2X[i]) * t;
        y = c.last2Y[i] + (c.lastY[i] - c.last2Y[i]) * t;
    }
}

NaiveFrame naiveFrame(const ParticleChain& c, const BrushParams& p, int w, int h, int basicR) {
    NaiveFrame f;
    f.sumR.assign(static_cast<size_t>(w) * h, 0);
    std::vector<bool> seen(static_cast<size_t>(w) * h, false);
    const auto add = [&](int idx, int64_t v) {
        if (!seen[idx]) {
            seen[idx] = true;
            f.order.push_back(idx);
        }
        f.sumR[idx] += v;
    };
    const BrushSetup su = brushSetupFor(p, 0.0f, 1.0f);
    const int perHit = std::max(1, static_cast<int>(static_cast<float>(basicR) * (su.opacity * 1.0f)));
    if (p.fillz) {
        for (int k = 2; k < p.partNum; ++k) {
            for (int s = 0; s < su.steps; ++s) {
                const float t = static_cast<float>(s) / static_cast<float>(su.steps);
                float ax, ay, bx, by;
                naivePoint(c, k, p.spline, t, ax, ay);
                naivePoint(c, k - 1, p.spline, t, bx, by);
                const float sx = (bx - ax) / static_cast<float>(su.subSteps);
                const float sy = (by - ay) / static_cast<float>(su.subSteps);
                for (int q = 1; q <= su.subSteps; ++q) {
                    const float qx = ax + sx * static_cast<float>(q);
                    const float qy = ay + sy * static_cast<float>(q);
                    if (qx > 0.0f && qx < w && qy > 0.0f && qy < h)
                        add(static_cast<int>(qx) + static_cast<int>(qy) * w, perHit);
                }
            }
        }
        return f;
    }
    const auto dist = [](float ax, float ay, float bx, float by) {
        return std::sqrt((ax - bx) * (ax - bx) + (ay - by) * (ay - by));
    };
    for (int k = 1; k < p.partNum; k += p.partStep) {
        float len = p.spline ? (dist(c.last3X[k], c.last3Y[k], c.last2X[k], c.last2Y[k]) +
                                dist(c.last2X[k], c.last2Y[k], c.lastX[k], c.lastY[k]) +
                                dist(c.lastX[k], c.lastY[k], c.nowX[k], c.nowY[k])) / 3.0f
                             : dist(c.lastX[k], c.lastY[k], c.last2X[k], c.last2Y[k]);
        if (len < 1.0f) len = 1.0f;
        const float intensity = 100.0f / len + 1.0f;
        const int n = static_cast<int>(std::floor(2.0f * len));
        const float dt = 1.0f / static_cast<float>(n);
        const int r = std::max(1, static_cast<int>(static_cast<float>(perHit) * intensity));
        for (int j = 0; j < n; ++j) {
            float x, y;
            naivePoint(c, k, p.spline, dt * static_cast<float>(j), x, y);
            if (!(x > -100.0f && x < w + 100.0f && y > -100.0f && y < h + 100.0f)) continue;
            const int x16 = static_cast<int>(16.0f * x), y16 = static_cast<int>(16.0f * y);
            const int px = x16 >> 4, py = y16 >> 4;
            for (int jj = 0; jj < 2; ++jj)
                for (int ii = 0; ii < 2; ++ii) {
                    const int d2 = (16 * ii + 16 * px - x16) * (16 * ii + 16 * px - x16) +
                                   (16 * jj + 16 * py - y16) * (16 * jj + 16 * py - y16);
                    const int xx = px + ii, yy = py + jj;
                    if (d2 < 256 && xx > 0 && yy > 0 && xx < w && yy < h)
                        add(xx + yy * w, (static_cast<int64_t>(r) * (256 - d2)) >> 8);
                }
        }
    }
    return f;
}

}  // namespace

TEST_F(StrokeCanvas, FramesMatchThePlainWalkOfEverySample) {
    makeCanvas(300, 200, 4);
    std::mt19937 rng(5);
    for (int trial = 0; trial < 64; ++trial) {
        params.fillz = trial % 2 == 0;
        params.spline = trial % 4 < 2;
        params.paintDetail = 1 + (trial / 4) % 4;
        params.partStep = 1 + trial % 3;
        params.partNum = 3 + (trial * 37) % 120;
        params.opacityz = 20.0f;
        // Chains of every kind: huddled, strung out, leaving the canvas.
        const float spread = trial % 3 == 0 ? 2.0f : (trial % 3 == 1 ? 30.0f : 400.0f);
        std::uniform_real_distribution<float> start(-40.0f, 340.0f);
        std::uniform_real_distribution<float> step(-spread, spread);
        float x = start(rng), y = start(rng) * 0.7f;
        for (int i = 0; i < kParticleCount; ++i) {
            x += step(rng);
            y += step(rng);
            chain->last3X[i] = x + step(rng);
            chain->last3Y[i] = y + step(rng);
            chain->last2X[i] = x + step(rng);
            chain->last2Y[i] = y + step(rng);
            chain->lastX[i] = x;
            chain->lastY[i] = y;
            chain->nowX[i] = x + step(rng);
            chain->nowY[i] = y + step(rng);
        }
        if (trial >= 48) {
            // Trails that cross the canvas's edges, from just outside to just inside.
            std::uniform_real_distribution<float> along(0.0f, 300.0f), off(-60.0f, -0.5f), in(0.5f, 30.0f);
            for (int i = 0; i < kParticleCount; ++i) {
                const bool vertical = i % 2 == 0;
                const float a = along(rng), o = off(rng), n = in(rng);
                chain->last2X[i] = vertical ? o : a;
                chain->last2Y[i] = vertical ? a * 0.6f : o;
                chain->lastX[i] = vertical ? n : a + step(rng) * 0.1f;
                chain->lastY[i] = vertical ? a * 0.6f + step(rng) * 0.1f : n;
                chain->last3X[i] = chain->last2X[i] - 10.0f;
                chain->last3Y[i] = chain->last2Y[i] - 7.0f;
                chain->nowX[i] = chain->lastX[i] + 10.0f;
                chain->nowY[i] = chain->lastY[i] + 5.0f;
            }
        }
        strokeState = 1;
        beginStrokeFrame(strokeState, progress, params);
        dirty = DirtyRect::emptyFor(width, height);
        paintTrails(*chain, params, settings, colours, mapping, progress, *accum, dirty, redrawMode);
        const NaiveFrame want = naiveFrame(*chain, params, width, height, colours.paletteBasicR);
        ASSERT_EQ(accum->touchedCount - 1, static_cast<int>(want.order.size())) << "trial " << trial;
        for (size_t e = 0; e < want.order.size(); ++e) {
            ASSERT_EQ(accum->touchedPixels[e + 1], want.order[e]) << "trial " << trial << " entry " << e;
            ASSERT_EQ(accum->accumR[e + 1], want.sumR[want.order[e]]) << "trial " << trial << " entry " << e;
        }
        compositeTouched(*accum, layers(), settings, 12);
    }
}

TEST_F(StrokeCanvas, StillRibbonGivesTheWorkedPixel) {
    params.fillz = true;
    params.partNum = 3;
    params.paintDetail = 1;
    place(1, 10.5f, 10.5f);
    place(2, 10.5f, 10.5f);
    frame();
    // 1000 hits of (14823, 4738, 1275) >> 13.
    EXPECT_EQ(frontAt(10, 10), (Rgb{255, 255, 155}));
    EXPECT_EQ(litCount(), 1);
    EXPECT_TRUE(mapAndSumsClear());
}

TEST_F(StrokeCanvas, OpacityAndZoomScaleTheColour) {
    struct Case {
        float opacity;
        float zoomRatio;
        Rgb expect;
    };
    const Case cases[] = {
        {1.0f, 1.0f, {32, 10, 2}},     // 1.08 per unit: 263/84/22 per hit
        {10.0f, 1.0f, {201, 64, 17}},  // 6.75: 1647/526/141
        {40.0f, 1.0f, {255, 255, 155}},
        {10.0f, 2.0f, {255, 154, 41}},  // 6.75 * 2 * 1.2 = 16.2: 3952/1263/340
    };
    params.fillz = true;
    params.partNum = 3;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "opacity " << c.opacity << " zoomRatio " << c.zoomRatio);
        std::fill(front.begin(), front.end(), 0);
        params.opacityz = c.opacity;
        mapping.zoomRatio = c.zoomRatio;
        // The particles sit on canvas (10.5, 10.5) whatever the zoom.
        place(1, 10.5f / c.zoomRatio, 10.5f / c.zoomRatio);
        place(2, 10.5f / c.zoomRatio, 10.5f / c.zoomRatio);
        frame();
        EXPECT_EQ(frontAt(10, 10), c.expect);
    }
}

TEST_F(StrokeCanvas, CompositeRules) {
    struct Case {
        const char* what;
        int bpp;
        bool additive;
        bool showBcg;
        Rgb frontBefore;
        Rgb add;  // summed light after the shift
        Rgb expectFront;
        int expectAlpha;  // -1 without alpha
        Rgb expectDisplay;
    };
    // Background (10, 20, 30); back layer (100, 100, 100).
    const Case cases[] = {
        {"lighten clamps at 255", 3, true, false, {200, 10, 0}, {100, 5, 0}, {255, 15, 0}, -1, {255, 15, 0}},
        {"darken clamps at 0", 3, false, false, {50, 200, 7}, {100, 5, 7}, {0, 195, 0}, -1, {0, 195, 0}},
        {"alpha from the colour distance", 4, true, false, {200, 100, 30}, {100, 20, 0}, {255, 120, 30}, 113,
         {255, 120, 30}},
        {"darkened alpha follows the distance too", 4, false, false, {10, 20, 130}, {0, 0, 100}, {10, 20, 30}, 0,
         {10, 20, 30}},
        {"display over the back layer", 4, true, true, {200, 100, 30}, {100, 20, 0}, {255, 120, 30}, 113,
         {255, 200, 100}},
        {"display over the back layer clamps at 0", 3, false, true, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, -1,
         {90, 80, 70}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        makeCanvas(8, 8, c.bpp);
        std::fill(back.begin(), back.end(), 100);
        settings.bcgR = 10;
        settings.bcgG = 20;
        settings.bcgB = 30;
        settings.additive = c.additive;
        settings.showBcg = c.showBcg;
        unsigned char* f = &front[(3 * 8 + 2) * c.bpp];
        f[0] = static_cast<unsigned char>(c.frontBefore.r);
        f[1] = static_cast<unsigned char>(c.frontBefore.g);
        f[2] = static_cast<unsigned char>(c.frontBefore.b);
        // Weight 1 at pixel (2, 3): the sums are exactly the values given.
        drawPoint3(*accum, 2 * 16, 3 * 16, c.add.r << 12, c.add.g << 12, c.add.b << 12);
        EXPECT_EQ(compositeTouched(*accum, layers(), settings, 12), 1);
        EXPECT_EQ(frontAt(2, 3), c.expectFront);
        if (c.expectAlpha >= 0) {
            EXPECT_EQ(f[3], c.expectAlpha);
        }
        EXPECT_EQ(displayAt(2, 3), c.expectDisplay);
        EXPECT_EQ(litCount(), c.expectFront == (Rgb{0, 0, 0}) ? 0 : 1);
        EXPECT_TRUE(mapAndSumsClear());
    }
}

TEST_F(StrokeCanvas, FadeInOverFiveFramesAndOutAfterTheRelease) {
    params.fadez = 10.0f;
    place(1, 10.0f, 10.0f);
    frame();
    EXPECT_NEAR(progress.fadeFactor, 0.2f, 1e-4f);
    for (int f = 0; f < 4; ++f) frame();
    EXPECT_NEAR(progress.fadeFactor, 1.0f, 1e-4f);
    frame();
    EXPECT_EQ(progress.fadeFactor, 1.0f);

    progress.strokeEndPending = true;
    int frames = 0;
    BrushStepResult r;
    while (frames < 10) {
        r = frame();
        ++frames;
        if (r.strokeEnded) break;
    }
    EXPECT_TRUE(r.strokeEnded);
    EXPECT_GE(frames, 5);
    EXPECT_LE(frames, 6);
    EXPECT_EQ(progress.fadeFactor, 0.0f);
    EXPECT_EQ(progress.fadeFactorSaved, 0.0f);
    EXPECT_EQ(redrawMode, 2);

    // The next stroke starts from the carried fade of 0 and fades in again.
    strokeState = 1;
    frame();
    EXPECT_NEAR(progress.fadeFactor, 0.2f, 1e-4f);
}

TEST_F(StrokeCanvas, WithoutFadingTheStrokeStaysAtFullStrength) {
    params.fadez = 0.0f;
    place(1, 10.0f, 10.0f);
    for (int f = 0; f < 3; ++f) EXPECT_FALSE(frame().strokeEnded);
    EXPECT_EQ(progress.fadeFactor, 1.0f);
    EXPECT_EQ(progress.fadeFactorSaved, 1.0f);
    // A release normally ends such a stroke at once; one that reaches the
    // painting anyway ends there instead of fading forever.
    progress.strokeEndPending = true;
    EXPECT_TRUE(frame().strokeEnded);
    EXPECT_EQ(progress.fadeFactor, 1.0f);
}

TEST_F(StrokeCanvas, ReleaseEndsAFadingStrokeEvenWhenNoParticlePaints) {
    // A two-particle ribbon has no span to paint, but its clock still runs.
    params.fillz = true;
    params.partNum = 2;
    params.fadez = 10.0f;
    place(1, 10.0f, 10.0f);
    for (int f = 0; f < 6; ++f) frame();
    EXPECT_EQ(progress.fadeFactor, 1.0f);
    progress.strokeEndPending = true;
    bool ended = false;
    for (int f = 0; f < 8 && !ended; ++f) ended = frame().strokeEnded;
    EXPECT_TRUE(ended);
}

TEST_F(StrokeCanvas, GradientClockAdvancesFiveTimesTheCyclingSpeedPerFrame) {
    settings.perpixelz = 1;
    settings.perpixelzTime = 3.0f;
    params.fillz = true;
    params.partNum = 3;
    place(1, 10.5f, 10.5f);
    place(2, 10.5f, 10.5f);
    frame();
    // Samples 0..99 at palette step 3/20: the last one at trunc(99 * 0.15).
    EXPECT_EQ(progress.paletteIndex, 14);
    EXPECT_EQ(progress.paletteCounter, 100.0f);
    frame();
    EXPECT_EQ(progress.paletteIndex, 29);
    EXPECT_EQ(progress.paletteCounter, 200.0f);

    // Line mode runs the same clock: 1000 shares of one particle per frame.
    params.fillz = false;
    params.partNum = 2;
    strokeState = 1;
    frame();
    // Two samples of share 500: indices trunc(0 * 3/200) and trunc(500 * 3/200).
    EXPECT_EQ(progress.paletteCounter, 1000.0f);
    EXPECT_EQ(progress.paletteIndex, 7);
}

TEST_F(StrokeCanvas, PaletteColoursComeFromTheClockPosition) {
    // Only palette entry 15 is red: the second frame's first samples use it.
    settings.perpixelz = 1;
    settings.perpixelzTime = 3.0f;
    params.fillz = true;
    params.partNum = 3;
    palR[15] = 255;
    place(1, 10.5f, 10.5f);
    place(2, 10.5f, 10.5f);
    frame();
    EXPECT_EQ(frontAt(10, 10), (Rgb{0, 0, 0}));  // indices 0..14: channel minimum 1 only
    frame();
    // Samples at counter 100..106 map to index 15: 7 samples * 10 hits of trunc(255 * 60.75).
    EXPECT_EQ(frontAt(10, 10).r, std::min(255, (7 * 10 * 15491 + 93 * 10) >> 13));
}

TEST_F(StrokeCanvas, ASpreadPaletteGivesEachParticleItsOwnPosition) {
    makeCanvas(120, 30, 3);
    settings.perpixelz = 1;
    settings.perpixelzTime = 0.0f;
    params.partNum = 100;
    palR[41 * 32] = 255;  // particle 42
    for (int k = 0; k < 100; ++k) place(k, 5.0f + static_cast<float>(k), 5.0f + static_cast<float>(k % 4) * 5.0f);
    frame();
    EXPECT_GT(frontAt(5 + 42, 5 + (42 % 4) * 5).r, 0);
    EXPECT_EQ(frontAt(5 + 43, 5 + (43 % 4) * 5).r, 0);
    EXPECT_EQ(frontAt(5 + 41, 5 + (41 % 4) * 5).r, 0);
}

TEST_F(StrokeCanvas, WhichParticlesPaint) {
    // Line mode with step 3 and ten particles: 1, 4 and 7.
    params.partNum = 10;
    params.partStep = 3;
    for (int k = 0; k < 10; ++k) place(k, 3.0f + 3.0f * k, 10.0f);
    frame();
    for (int k = 0; k < 10; ++k) {
        const bool lit = frontAt(3 + 3 * k, 10).r > 0;
        EXPECT_EQ(lit, k == 1 || k == 4 || k == 7) << "particle " << k;
    }
}

TEST_F(StrokeCanvas, RibbonsRunBetweenNeighboursFromTheSecondPairOn) {
    params.fillz = true;
    params.partNum = 3;
    params.opacityz = 100.0f;
    place(0, 5.5f, 5.5f);
    place(1, 15.5f, 5.5f);
    place(2, 25.5f, 5.5f);
    frame();
    EXPECT_EQ(frontAt(10, 5), (Rgb{0, 0, 0}));  // no span between 0 and 1
    EXPECT_GT(frontAt(20, 5).r, 0);
}

TEST_F(StrokeCanvas, FirstRowAndColumnTakeRibbonsButNoLines) {
    place(1, 0.0f, 10.0f);
    frame();
    EXPECT_EQ(litCount(), 0);
    params.fillz = true;
    params.partNum = 3;
    place(1, 0.5f, 10.5f);
    place(2, 0.5f, 10.5f);
    strokeState = 1;
    frame();
    EXPECT_GT(frontAt(0, 10).r, 0);
}

TEST_F(StrokeCanvas, DirtyRectangleCoversEveryTouchedPixelOfFastStrokes) {
    makeCanvas(400, 300, 4);
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> pos(-60.0f, 460.0f);
    for (int trial = 0; trial < 40; ++trial) {
        params.fillz = trial % 2 == 0;
        params.spline = trial % 4 < 2;
        params.partNum = 3 + trial * 7;
        params.paintDetail = 1 + trial % 4;
        mapping.zoomRatio = trial % 3 == 0 ? 2.0f : 1.0f;
        mapping.canvasOffsetX = trial % 5 == 0 ? 37.5f : 0.0f;
        for (int i = 0; i < kParticleCount; ++i) {
            chain->nowX[i] = pos(rng);
            chain->nowY[i] = pos(rng);
            chain->lastX[i] = pos(rng);
            chain->lastY[i] = pos(rng);
            chain->last2X[i] = pos(rng);
            chain->last2Y[i] = pos(rng);
            chain->last3X[i] = pos(rng);
            chain->last3Y[i] = pos(rng);
        }
        frame();
        ASSERT_GT(accum->touchedCount, 1) << trial;
        for (int e = 1; e < accum->touchedCount; ++e) {
            const int x = accum->touchedPixels[e] % width;
            const int y = accum->touchedPixels[e] / width;
            ASSERT_TRUE(x >= dirty.dirtyMinX && x < dirty.dirtyMaxX && y >= dirty.dirtyMinY && y < dirty.dirtyMaxY)
                << "trial " << trial << " pixel (" << x << ", " << y << ") outside [" << dirty.dirtyMinX << ", "
                << dirty.dirtyMaxX << ") x [" << dirty.dirtyMinY << ", " << dirty.dirtyMaxY << ")";
        }
        EXPECT_EQ(redrawMode, 1);
    }
}

TEST_F(StrokeCanvas, TouchedListKeepsTheFirstPixelsOfAnOverfullFrame) {
    // 300 ribbons 40 px apart, each swept over 400 rows: far more than a
    // million distinct pixels.
    makeCanvas(12000, 400, 4);
    params.fillz = true;
    params.spline = false;
    params.paintDetail = 4;
    params.partNum = 300;
    params.opacityz = 100.0f;
    for (int k = 0; k < 300; ++k) {
        place(k, 40.0f * k + 0.5f, 0.5f);
        chain->lastY[k] = chain->nowY[k] = 399.5f;
    }
    const BrushStepResult r = frame();
    EXPECT_GT(accum->touchedCount, kTouchedLimit);
    EXPECT_LE(accum->touchedCount, kTouchedLimit + 1 + 40);
    EXPECT_EQ(r.touchedEntries, accum->touchedCount - 1);
    EXPECT_EQ(litCount(), r.touchedEntries);
    // The first ribbons made it, the last ones did not.
    EXPECT_GT(frontAt(60, 200).r, 0);
    EXPECT_EQ(frontAt(11900, 200).r, 0);
    EXPECT_TRUE(mapAndSumsClear());
}

TEST_F(StrokeCanvas, SumsSaturateInsteadOfWrapping) {
    // A collapsed 300-particle ribbon at the smallest zoom piles up far more
    // than 2^31 per channel on a few pixels.
    params.fillz = true;
    params.partNum = 300;
    params.opacityz = 100.0f;
    mapping.zoomRatio = 20.0f;
    placeAll(10.5f / 20.0f, 10.5f / 20.0f);
    frame();
    EXPECT_EQ(frontAt(10, 10), (Rgb{255, 255, 255}));
    std::fill(front.begin(), front.end(), 255);
    settings.additive = false;
    frame();
    EXPECT_EQ(frontAt(10, 10), (Rgb{0, 0, 0}));
}

TEST_F(StrokeCanvas, NonFiniteAndRunawayPointsAreSkippedWhileTheClockRuns) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    params.fadez = 10.0f;
    params.partNum = 6;
    for (bool fill : {false, true}) {
        for (bool spline : {false, true}) {
            SCOPED_TRACE(testing::Message() << "fill " << fill << " spline " << spline);
            params.fillz = fill;
            params.spline = spline;
            progress = StrokeProgress{};
            std::fill(front.begin(), front.end(), 0);
            place(1, nan, 10.0f);
            place(2, 10.0f, inf);
            place(3, 1e30f, -1e30f);
            place(4, -inf, nan);
            chain->lastX[3] = -1e30f;
            // A runaway chain straight across the canvas.
            place(5, 0.0f, 12.0f);
            chain->last2X[5] = chain->last3X[5] = -1e18f;
            chain->lastX[5] = chain->nowX[5] = 1e18f;
            strokeState = 1;
            frame();
            EXPECT_EQ(litCount(), 0);
            EXPECT_NEAR(progress.fadeFactor, 0.2f, 1e-3f);
        }
    }
}

TEST_F(StrokeCanvas, HugeSegmentsPaintOnlyTheirPartOnTheCanvas) {
    // Flicks far across the canvas: the samples off it are skipped, the ones
    // on it still paint the row.
    params.partNum = 2;
    params.opacityz = 100.0f;
    for (float extent : {1e5f, 1e7f}) {
        for (bool spline : {false, true}) {
            SCOPED_TRACE(testing::Message() << "extent " << extent << " spline " << spline);
            params.spline = spline;
            place(1, 0.0f, 15.0f);
            chain->last3X[1] = -3.0f * extent;
            chain->last2X[1] = -extent;
            chain->lastX[1] = extent;
            chain->nowX[1] = 3.0f * extent;
            std::fill(front.begin(), front.end(), 0);
            strokeState = 1;
            frame();
            if (extent < 1e6f) {
                for (int x = 1; x < width; ++x) EXPECT_GT(frontAt(x, 15).r, 0) << x;
            } else {
                // Float t no longer resolves half a pixel out here; most columns still get paint.
                EXPECT_GT(litCount(), width / 2);
            }
            EXPECT_EQ(frontAt(0, 15).r, 0);
            EXPECT_LT(dirty.dirtyMinX, 0);
            EXPECT_GT(dirty.dirtyMaxX, width);
        }
    }
}

TEST_F(StrokeCanvas, MismatchedLayersPaintNothing) {
    place(1, 10.0f, 10.0f);
    std::vector<unsigned char> small(10 * 10 * 3, 0);
    const CanvasLayers bad{{small.data(), 10, 10, 3}, {back.data(), width, height, 3}, {display.data(), width, height, 3}};
    int state = 1;
    beginStrokeFrame(state, progress, params);
    dirty = DirtyRect::emptyFor(width, height);
    const BrushStepResult r = brushStep(*chain, params, settings, colours, mapping, bad, progress, *accum, dirty, redrawMode);
    EXPECT_EQ(r.touchedEntries, 0);
    EXPECT_TRUE(dirty.empty());
    for (unsigned char v : small) EXPECT_EQ(v, 0);
}

TEST(StrokeSetup, BeginStrokeFrameStartsPressedStrokesOnly) {
    BrushParams p;
    StrokeProgress progress;
    progress.fadeFactor = progress.fadeFactorSaved = 0.4f;
    progress.paletteCounter = 77.0f;
    progress.strokeEndPending = true;
    int state = 2;
    EXPECT_FALSE(beginStrokeFrame(state, progress, p));
    EXPECT_EQ(progress.paletteCounter, 77.0f);
    state = 1;
    p.fadez = 10.0f;
    EXPECT_TRUE(beginStrokeFrame(state, progress, p));
    EXPECT_EQ(state, 2);
    EXPECT_EQ(progress.paletteCounter, 0.0f);
    EXPECT_FALSE(progress.strokeEndPending);
    EXPECT_EQ(progress.fadeFactor, 0.4f);  // a fading stroke carries the fade on
    state = 1;
    p.fadez = 0.0f;
    EXPECT_TRUE(beginStrokeFrame(state, progress, p));
    EXPECT_EQ(progress.fadeFactor, 1.0f);
    EXPECT_EQ(progress.fadeFactorSaved, 1.0f);
}

TEST(StrokeSetup, TableOfModesAndDetail) {
    BrushParams p;
    p.fadez = 10.0f;
    p.opacityz = 40.0f;
    p.partStep = 4;
    p.fillz = false;
    BrushSetup s = brushSetupFor(p, 3.0f, 2.0f);
    EXPECT_EQ(s.shift, 12);
    EXPECT_EQ(s.steps, 1000);
    EXPECT_FLOAT_EQ(s.fadeStep, 10.0f / 50000.0f);
    EXPECT_FLOAT_EQ(s.paletteStep, 3.0f / 200.0f);
    EXPECT_FLOAT_EQ(s.opacity, 121.5f);
    EXPECT_EQ(s.firstParticle, 1);
    EXPECT_EQ(s.particleStep, 4);
    p.fillz = true;
    for (int d = 1; d <= 4; ++d) {
        SCOPED_TRACE(d);
        p.paintDetail = d;
        s = brushSetupFor(p, 3.0f, 2.0f);
        EXPECT_EQ(s.shift, 12 + d);
        EXPECT_EQ(s.steps, 100 * d);
        EXPECT_EQ(s.subSteps, 10 * d);
        EXPECT_FLOAT_EQ(s.fadeStep, 10.0f / (5000.0f * d));
        EXPECT_FLOAT_EQ(s.paletteStep, 3.0f / (20.0f * d));
        EXPECT_FLOAT_EQ(s.opacity, 121.5f * 1.2f);
        EXPECT_EQ(s.firstParticle, 2);
        EXPECT_EQ(s.particleStep, 1);
    }
}

TEST(StrokeSetup, SnapshotClampsColourSettings) {
    f_perpixelz = 7;
    f_perpixelzTime = std::numeric_limits<float>::quiet_NaN();
    f_bcgR = 300;
    f_bcgG = -5;
    f_bcgB = 128;
    const PaintSettings s = snapshotPaintSettings();
    EXPECT_EQ(s.perpixelz, 0);
    EXPECT_EQ(s.perpixelzTime, 0.0f);
    EXPECT_EQ(s.bcgR, 255);
    EXPECT_EQ(s.bcgG, 0);
    EXPECT_EQ(s.bcgB, 128);
}
