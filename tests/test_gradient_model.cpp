// The gradient tool's model without a window: the fill plan of a gradient
// picture, the last-stop rule, the palette and timing hand-over.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/model/GradientModel.h"

using gradient::Fill;
using gradient::Rgb;

namespace {

const Rgb A{10, 20, 30}, B{40, 50, 60}, C{70, 80, 90};
const Rgb kRed{255, 0, 0}, kBlue{0, 0, 255};

std::string show(const std::vector<Fill>& plan) {
    std::string s;
    for (const Fill& f : plan)
        s += "[" + std::to_string(f.x) + "+" + std::to_string(f.width) + " " + std::to_string(f.from.r) + "->" +
             std::to_string(f.to.r) + "]";
    return s;
}

}  // namespace

TEST(GradientFillPlan, MatchesTheWorkedSpans) {
    struct Case {
        const char* name;
        std::vector<int> index;
        std::vector<Rgb> colour;
        int w;
        std::vector<Fill> plan;
    };
    // Ramps between stops with s = w / 8; two stops sit o = w / 16 further
    // right; spans may run past the right edge and are clipped when drawn.
    const Case cases[] = {
        {"no stop: red to blue", {}, {}, 273, {{0, 273, kRed, kBlue}}},
        {"one stop: solid", {3}, {A}, 160, {{0, 160, A, A}}},
        {"default at 273", {0, 4, 8}, {A, B, C}, 273, {{0, 137, A, B}, {137, 137, B, C}}},
        {"default at 49", {0, 4, 8}, {A, B, C}, 49, {{0, 25, A, B}, {25, 25, B, C}}},
        {"default at 160", {0, 4, 8}, {A, B, C}, 160, {{0, 80, A, B}, {80, 80, B, C}}},
        {"1, 4, 7 at 273",
         {1, 4, 7},
         {A, B, C},
         273,
         {{0, 51, A, A}, {35, 103, A, B}, {137, 103, B, C}, {238, 35, C, C}}},
        {"2 and 5 at 273", {2, 5}, {A, B}, 273, {{0, 85, A, A}, {0, 17, A, A}, {85, 102, A, B}, {187, 86, B, B}}},
        {"2 and 5 at 160", {2, 5}, {A, B}, 160, {{0, 50, A, A}, {0, 10, A, A}, {50, 60, A, B}, {110, 50, B, B}}},
        {"0 and 8 at 273: the ramp runs past the edge", {0, 8}, {A, B}, 273, {{0, 17, A, A}, {17, 273, A, B}}},
        {"0 and 8 at 49", {0, 8}, {A, B}, 49, {{0, 3, A, A}, {3, 49, A, B}}},
        {"default below 9 pixels", {0, 4, 8}, {A, B, C}, 5, {{0, 3, A, B}, {3, 3, B, C}}},
        {"2 and 5 below 9 pixels", {2, 5}, {A, B}, 5, {{0, 1, A, A}, {1, 1, A, B}, {3, 2, B, B}}},
    };
    for (const Case& c : cases) {
        const std::vector<Fill> plan =
            gradient::fillPlan(c.index.data(), c.colour.data(), static_cast<int>(c.index.size()), c.w);
        EXPECT_EQ(plan, c.plan) << c.name << ": got " << show(plan) << ", want " << show(c.plan);
    }
}

TEST(GradientFillPlan, AllNineStopsRampFromEachStopToTheNext) {
    Rgb colour[9];
    int index[9];
    for (int i = 0; i < 9; ++i) {
        index[i] = i;
        colour[i] = Rgb{i, i, i};
    }
    // At 160 every position is whole; at 273 each ramp starts at ceil(k * s)
    // and is ceil(s) = 35 wide, so neighbours overlap by a pixel at most.
    const int starts273[8] = {0, 35, 69, 103, 137, 171, 205, 239};
    const std::vector<Fill> at160 = gradient::fillPlan(index, colour, 9, 160);
    const std::vector<Fill> at273 = gradient::fillPlan(index, colour, 9, 273);
    ASSERT_EQ(at160.size(), 8u) << show(at160);
    ASSERT_EQ(at273.size(), 8u) << show(at273);
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(at160[k], (Fill{20 * k, 20, colour[k], colour[k + 1]})) << k;
        EXPECT_EQ(at273[k], (Fill{starts273[k], 35, colour[k], colour[k + 1]})) << k;
    }
}

TEST(GradientStops, OnlyTheOneStopLeftOnIsTheLast) {
    struct {
        std::vector<int> on;
        bool last;
    } cases[] = {{{}, false}, {{4}, true}, {{0}, true}, {{0, 8}, false}, {{0, 1, 2, 3, 4, 5, 6, 7, 8}, false}};
    for (const auto& c : cases) {
        bool on[9] = {};
        for (int i : c.on)
            on[i] = true;
        EXPECT_EQ(gradient::isLastStop(on), c.last) << c.on.size() << " on";
    }
}

TEST(GradientStops, DefaultGradient) {
    const gradient::Stops s = gradient::defaultStops();
    const Rgb want[9] = {{213, 25, 32}, {222, 132, 21}, {222, 197, 26}, {47, 194, 57},  {4, 167, 225},
                         {13, 95, 216}, {121, 56, 170}, {212, 0, 126},  {213, 25, 32}};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(s.colour[i], want[i]) << i;
        EXPECT_EQ(s.on[i], i == 0 || i == 4 || i == 8) << i;
    }
}

TEST(GradientPalette, WritesTheStopsThatAreOnAndClearsTheRest) {
    const int kSize = 3201;
    std::vector<int> r(kSize, 7), g(kSize, 7), b(kSize, 7), set(kSize, 7);
    struct {
        const char* name;
        std::vector<int> on;
    } cases[] = {{"default", {0, 4, 8}}, {"all nine", {0, 1, 2, 3, 4, 5, 6, 7, 8}}, {"none", {}}, {"one", {5}}};
    for (const auto& c : cases) {
        gradient::Stops stops = gradient::defaultStops();
        for (int i = 0; i < 9; ++i) {
            stops.on[i] = false;
            stops.colour[i] = Rgb{i + 1, 10 * i, 255 - i};
        }
        for (int i : c.on)
            stops.on[i] = true;
        gradient::writePalette(stops, r.data(), g.data(), b.data(), set.data(), kSize);
        std::vector<int> marked;
        for (int k = 0; k < kSize; ++k) {
            if (set[k]) {
                marked.push_back(k);
                const int i = k / 400;
                EXPECT_EQ(set[k], 1) << c.name << " " << k;
                EXPECT_EQ((Rgb{r[k], g[k], b[k]}), stops.colour[i]) << c.name << " " << k;
            } else {
                ASSERT_EQ(r[k] | g[k] | b[k], 0) << c.name << " " << k;
            }
        }
        std::vector<int> want;
        for (int i : c.on)
            want.push_back(i * 400);
        EXPECT_EQ(marked, want) << c.name;
    }
}

TEST(GradientTiming, ApplySetsTheModeAndOkLeavesIt) {
    struct {
        const char* name;
        gradient::Timing got;
        bool writesMode;
        int mode;
        float time;
    } cases[] = {
        {"Apply, timing on", gradient::applyTiming(true, 7), true, 1, 7},
        {"Apply, timing off", gradient::applyTiming(false, 7), true, 0, 0},
        {"OK, timing on", gradient::okTiming(true, 7), false, 0, 7},
        {"OK, timing off", gradient::okTiming(false, 7), false, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.got.writesMode, c.writesMode) << c.name;
        if (c.writesMode) {
            EXPECT_EQ(c.got.mode, c.mode) << c.name;
        }
        EXPECT_FLOAT_EQ(c.got.time, c.time) << c.name;
    }
}
