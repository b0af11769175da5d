#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <mutex>
#include <vector>

#include "core/EngineGlobals.h"
#include "core/WyrleGlobals.h"
#include "core/pixels/palette.h"
#include "core/wyrleApp.h"

using palette::Rgb;

namespace {

struct Arrays {
    std::vector<int> set = std::vector<int>(kPaletteSize, 0);
    std::vector<int> r = std::vector<int>(kPaletteSize, 0);
    std::vector<int> g = std::vector<int>(kPaletteSize, 0);
    std::vector<int> b = std::vector<int>(kPaletteSize, 0);

    void stop(int index, Rgb c) {
        set[index] = 1;
        r[index] = c.r;
        g[index] = c.g;
        b[index] = c.b;
    }
    palette::Gradient gradient() { return palette::Gradient{r.data(), g.data(), b.data()}; }
    Rgb at(int k) const { return Rgb{r[k], g[k], b[k]}; }
};

void expectRgb(Rgb got, Rgb want, const char* what, int k) {
    EXPECT_EQ(got.r, want.r) << what << " at " << k;
    EXPECT_EQ(got.g, want.g) << what << " at " << k;
    EXPECT_EQ(got.b, want.b) << what << " at " << k;
}

}  // namespace

TEST(Gradient, DefaultStopsInterpolateInIntegers) {
    Arrays a;
    a.stop(0, {213, 25, 32});
    a.stop(1600, {4, 167, 225});
    a.stop(3200, {213, 25, 32});
    ASSERT_TRUE(palette::buildGradient(a.set.data(), a.gradient(), kPaletteSize));
    const struct { int k; Rgb c; } cases[] = {
        {0, {213, 25, 32}},    {800, {109, 96, 128}},  {1599, {5, 166, 224}},   {1600, {4, 167, 225}},
        {2400, {108, 96, 129}}, {3199, {212, 26, 33}}, {3200, {213, 25, 32}},
    };
    for (const auto& c : cases) expectRgb(a.at(c.k), c.c, "default", c.k);
}

TEST(Gradient, EndsTakeTheOuterStopsAndOneStopFillsAll) {
    Arrays a;
    a.stop(400, {10, 20, 30});
    a.stop(800, {250, 240, 230});
    ASSERT_TRUE(palette::buildGradient(a.set.data(), a.gradient(), kPaletteSize));
    for (int k : {0, 200, 400}) expectRgb(a.at(k), {10, 20, 30}, "before", k);
    expectRgb(a.at(600), {130, 130, 130}, "middle", 600);
    for (int k : {800, 2000, 3200}) expectRgb(a.at(k), {250, 240, 230}, "after", k);

    Arrays one;
    one.stop(1200, {7, 8, 9});
    ASSERT_TRUE(palette::buildGradient(one.set.data(), one.gradient(), kPaletteSize));
    for (int k = 0; k < kPaletteSize; ++k) expectRgb(one.at(k), {7, 8, 9}, "one stop", k);
}

TEST(Gradient, NoStopLeavesEverythingAndRebuildingIsStable) {
    Arrays none;
    none.r[5] = 99;
    EXPECT_FALSE(palette::buildGradient(none.set.data(), none.gradient(), kPaletteSize));
    EXPECT_EQ(none.r[5], 99);
    EXPECT_EQ(none.r[6], 0);

    // The build rewrites the array it reads; the stops keep their colours, so
    // a second build over its own output gives the same gradient.
    Arrays a;
    a.stop(0, {0, 255, 10});
    a.stop(1333, {200, 3, 77});
    a.stop(2900, {31, 190, 250});
    ASSERT_TRUE(palette::buildGradient(a.set.data(), a.gradient(), kPaletteSize));
    const std::vector<int> first = a.r;
    ASSERT_TRUE(palette::buildGradient(a.set.data(), a.gradient(), kPaletteSize));
    EXPECT_EQ(a.r, first);
    expectRgb(a.at(1333), {200, 3, 77}, "stop", 1333);
}

TEST(ColourModels, WorkedConversions) {
    const struct { Rgb c; float h, s, l; } cases[] = {
        {{255, 0, 0}, 0.0f, 1.0f, 0.5f},
        {{0, 255, 0}, 1.0f / 3, 1.0f, 0.5f},
        {{0, 0, 255}, 2.0f / 3, 1.0f, 0.5f},
        {{255, 255, 255}, 0.0f, 0.0f, 1.0f},
        {{0, 0, 0}, 0.0f, 0.0f, 0.0f},
        {{244, 78, 21}, 0.0426f, 0.9102f, 0.5196f},
    };
    for (const auto& c : cases) {
        float h, s, l;
        palette::RGB_2_HSL(c.c.r, c.c.g, c.c.b, h, s, l);
        EXPECT_NEAR(h, c.h, 1e-4) << c.c.r << "," << c.c.g << "," << c.c.b;
        EXPECT_NEAR(s, c.s, 1e-4) << c.c.r << "," << c.c.g << "," << c.c.b;
        EXPECT_NEAR(l, c.l, 1e-4) << c.c.r << "," << c.c.g << "," << c.c.b;
    }
}

TEST(ColourModels, ComplementsTruncate) {
    const struct { Rgb in, out; } cases[] = {
        {{0, 0, 0}, {255, 255, 255}},
        {{255, 255, 255}, {0, 0, 0}},
        {{128, 128, 128}, {126, 126, 126}},  // L x 255 lands just below 127
        {{255, 0, 0}, {0, 255, 254}},        // blue lands at 254.99...
    };
    for (const auto& c : cases) expectRgb(palette::complementOf(c.in), c.out, "complement", c.in.r);
}

TEST(ColourModels, RoundTripOverTheWholeCubeIsWithinOneLevel) {
    int worst = 0;
    for (int r = 0; r < 256; ++r)
        for (int g = 0; g < 256; ++g)
            for (int b = 0; b < 256; ++b) {
                float h, s, l, R, G, B;
                palette::RGB_2_HSL(r, g, b, h, s, l);
                palette::HSL_2_RGB(h, s, l, R, G, B);
                const int dr = std::abs(static_cast<int>(R) - r);
                const int dg = std::abs(static_cast<int>(G) - g);
                const int db = std::abs(static_cast<int>(B) - b);
                worst = std::max(worst, std::max(dr, std::max(dg, db)));
                if (worst > 1) FAIL() << r << "," << g << "," << b << " came back as " << R << "," << G << "," << B;
            }
    EXPECT_LE(worst, 1);
}

namespace {

class EnginePalette : public ::testing::Test {
protected:
    void SetUp() override {
        engine = std::make_unique<wyrleApp>();
        {
            std::lock_guard<std::mutex> lock(gPaletteMutex);
            for (int k = 0; k < kPaletteSize; ++k) paletteSet[k] = paletteRadd[k] = paletteGadd[k] = paletteBadd[k] = 0;
        }
        wyrleApp::setDefaultArtworkPalette();
    }
    std::unique_ptr<wyrleApp> engine;
};

}  // namespace

TEST_F(EnginePalette, LightenAndDarkenSwitchOnlyTheActiveColours) {
    f_additive = true;
    engine->paletka();
    const std::vector<int> add(paletteRadd, paletteRadd + kPaletteSize);
    const std::vector<int> sub(paletteRsub, paletteRsub + kPaletteSize);
    EXPECT_EQ(std::vector<int>(paletteR, paletteR + kPaletteSize), add);
    EXPECT_EQ(paletteRadd[800], 109);
    EXPECT_EQ(paletteBasicR, 244);
    EXPECT_EQ(paletteBasicG, 78);
    EXPECT_EQ(paletteBasicB, 21);

    f_additive = false;
    engine->paletka();
    EXPECT_EQ(std::vector<int>(paletteRadd, paletteRadd + kPaletteSize), add);
    EXPECT_EQ(std::vector<int>(paletteRsub, paletteRsub + kPaletteSize), sub);
    EXPECT_EQ(std::vector<int>(paletteR, paletteR + kPaletteSize), sub);
    EXPECT_EQ(paletteBasicR, paletteBasicRsub);
    EXPECT_EQ(paletteBasicG, paletteBasicGsub);
    EXPECT_EQ(paletteBasicB, paletteBasicBsub);
    // The basic colour's HSL comes from its RGB, not from the stored defaults.
    EXPECT_NEAR(paletteBasicH.load(), 0.0426f, 1e-4);
    f_additive = true;
}

TEST_F(EnginePalette, AllStopsOffKeepsTheLastGradient) {
    f_additive = true;
    engine->paletka();
    const std::vector<int> before(paletteR, paletteR + kPaletteSize);
    {
        std::lock_guard<std::mutex> lock(gPaletteMutex);
        for (int k = 0; k < kPaletteSize; ++k) paletteSet[k] = 0;
    }
    f_additive = false;
    engine->paletka();
    EXPECT_EQ(std::vector<int>(paletteR, paletteR + kPaletteSize), before);
    // The basic colour still follows the lighten/darken switch.
    EXPECT_EQ(paletteBasicR, paletteBasicRsub);
    f_additive = true;
}

TEST_F(EnginePalette, BasicColourFromTheSliders) {
    f_additive = true;
    const struct { float h, s, l; Rgb c; } cases[] = {
        {0.0f, 1.0f, 0.5f, {255, 0, 0}},
        {0.0f, 1.0f, 0.25f, {127, 0, 0}},
        {0.0f, 0.0f, 1.0f, {255, 255, 255}},
        {0.25f, 0.0f, 0.5f, {127, 127, 127}},
    };
    for (const auto& c : cases) {
        paletteBasicH = c.h;
        paletteBasicS = c.s;
        paletteBasicL = c.l;
        engine->paletkaBasicHSV();
        expectRgb(Rgb{paletteBasicRadd.load(), paletteBasicGadd.load(), paletteBasicBadd.load()}, c.c, "basic", 0);
        expectRgb(Rgb{paletteBasicR, paletteBasicG, paletteBasicB}, c.c, "active", 0);
        // The sliders' values stay as they were.
        EXPECT_EQ(paletteBasicH.load(), c.h);
    }
}
