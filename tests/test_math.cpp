#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "framework/ofMath.h"

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const double kPi = 3.14159265358979323846;

struct MapCase {
    float value, inMin, inMax, outMin, outMax;
    bool clamp;
    float expected;
};

TEST(MathMap, TableOfCases) {
    const MapCase cases[] = {
        {5, 0, 10, 0, 100, false, 50},
        {15, 0, 10, 0, 100, false, 150},   // no clamp: extrapolates
        {15, 0, 10, 0, 100, true, 100},
        {-5, 0, 10, 0, 100, true, 0},
        {15, 0, 10, 100, 0, true, 0},      // falling output range clamps to its own ends
        {-5, 0, 10, 100, 0, true, 100},
        {2.5f, 0, 10, 100, 0, true, 75},
        {2, 10, 0, 0, 100, false, 80},     // falling input range
        {0, -1, 1, -50, 50, false, 0},
        {1, 1, 2, 1, 300, true, 1},        // slider ends map onto the setting's ends
        {2, 1, 2, 1, 300, true, 300},
    };
    for (const MapCase& c : cases) {
        EXPECT_FLOAT_EQ(c.expected, ofMap(c.value, c.inMin, c.inMax, c.outMin, c.outMax, c.clamp))
            << "ofMap(" << c.value << ", " << c.inMin << ", " << c.inMax << ", " << c.outMin << ", "
            << c.outMax << ", " << c.clamp << ")";
    }
}

TEST(MathMap, EmptyInputRangeWarnsAndGivesOutputMin) {
    testing::internal::CaptureStdout();
    const float out = ofMap(3, 1, 1, 7, 9, false);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(7, out);
    EXPECT_NE(std::string::npos,
              printed.find("ofMap: avoiding possible divide by zero, check inputMin and inputMax"))
        << printed;

    // A range of exactly FLT_EPSILON is not empty.
    const float next = std::nextafter(1.0f, 2.0f);
    ASSERT_EQ(FLT_EPSILON, next - 1.0f);
    testing::internal::CaptureStdout();
    EXPECT_FLOAT_EQ(9, ofMap(next, 1, next, 7, 9, false));
    EXPECT_FLOAT_EQ(7, ofMap(1, 1, next, 7, 9, false));
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
}

TEST(MathTests, ClampNormalizeRangeSign) {
    struct { float v, lo, hi, clamped; } clampCases[] = {
        {5, 0, 10, 5}, {-1, 0, 10, 0}, {11, 0, 10, 10}, {0, 0, 10, 0}, {10, 0, 10, 10},
        {5, 10, 0, 10},  // reversed bounds: the lower bound is tested first
    };
    for (const auto& c : clampCases) EXPECT_EQ(c.clamped, ofClamp(c.v, c.lo, c.hi)) << c.v;

    EXPECT_FLOAT_EQ(0.25f, ofNormalize(5, 0, 20));
    EXPECT_EQ(0, ofNormalize(-5, 0, 20));
    EXPECT_EQ(1, ofNormalize(50, 0, 20));

    EXPECT_TRUE(ofInRange(10, 0, 10));
    EXPECT_TRUE(ofInRange(0, 0, 10));
    EXPECT_FALSE(ofInRange(10.001f, 0, 10));
    EXPECT_FALSE(ofInRange(-0.001f, 0, 10));
    EXPECT_FALSE(ofInRange(kNaN, 0, 10));
    EXPECT_FALSE(ofInRange(5, kNaN, 10));

    EXPECT_EQ(1, ofSign(0.5f));
    EXPECT_EQ(-1, ofSign(-3));
    EXPECT_EQ(0, ofSign(0));
    EXPECT_EQ(0, ofSign(kNaN));
}

TEST(MathTests, DistancesInterpolationAngles) {
    EXPECT_FLOAT_EQ(5, ofDist(1, 2, 4, 6));
    EXPECT_FLOAT_EQ(25, ofDistSquared(1, 2, 4, 6));
    EXPECT_FLOAT_EQ(15, ofLerp(10, 20, 0.5f));
    EXPECT_FLOAT_EQ(30, ofLerp(10, 20, 2));  // amt not limited
    EXPECT_FLOAT_EQ(180, ofRadToDeg(static_cast<float>(kPi)));
    EXPECT_FLOAT_EQ(static_cast<float>(kPi / 2), ofDegToRad(90));
}

TEST(MathTests, NextPow2NeverOverflows) {
    struct { int in, out; } cases[] = {
        {INT_MIN, 1}, {-5, 1}, {0, 1}, {1, 1}, {2, 2}, {3, 4}, {64, 64}, {65, 128},
        {682, 1024}, {960, 1024}, {1024, 1024}, {1025, 2048},
        {1 << 30, 1 << 30}, {(1 << 30) + 1, 1 << 30}, {INT_MAX, 1 << 30},
    };
    for (const auto& c : cases) EXPECT_EQ(c.out, ofNextPow2(c.in)) << c.in;
}

// ---------------------------------------------------------------------------
// Random numbers

TEST(MathRandom, SeedGivesTheClassicSequence) {
    ofSeedRandom(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169};
    for (int e : expected) EXPECT_EQ(e, ofRandomRaw());

    ofSeedRandom(12345);
    std::vector<int> first;
    for (int i = 0; i < 50; i++) first.push_back(ofRandomRaw());
    ofSeedRandom(12345);
    for (int i = 0; i < 50; i++) EXPECT_EQ(first[i], ofRandomRaw());
}

TEST(MathRandom, RangesOverManyDraws) {
    ofSeedRandom(7);
    const int draws = 200000;
    int rawMin = INT_MAX, rawMax = INT_MIN;
    float ufMin = 2, ufMax = -2, fMin = 2, fMax = -2, rMin = 10, rMax = -10;
    for (int i = 0; i < draws; i++) {
        const int raw = ofRandomRaw();
        rawMin = std::min(rawMin, raw);
        rawMax = std::max(rawMax, raw);
        const float uf = ofRandomuf();
        ufMin = std::min(ufMin, uf);
        ufMax = std::max(ufMax, uf);
        const float f = ofRandomf();
        fMin = std::min(fMin, f);
        fMax = std::max(fMax, f);
        const float r = ofRandom(5, 2);
        rMin = std::min(rMin, r);
        rMax = std::max(rMax, r);
    }
    EXPECT_GE(rawMin, 0);
    EXPECT_LE(rawMax, OF_RAND_MAX);
    EXPECT_LT(rawMin, 10);
    EXPECT_GT(rawMax, OF_RAND_MAX - 10);

    EXPECT_GE(ufMin, 0);
    EXPECT_LE(ufMax, 32767.0f / 32768.0f);
    EXPECT_GT(ufMax, 0.999f);

    EXPECT_GE(fMin, -1);
    EXPECT_LE(fMax, 1 - 1.0f / 16384);
    EXPECT_LT(fMin, -0.999f);

    EXPECT_GE(rMin, 2);
    EXPECT_LT(rMax, 5);
    EXPECT_GT(rMax, 4.99f);
    EXPECT_LT(rMin, 2.01f);
}

TEST(MathRandom, EqualBoundsDrawNothing) {
    ofSeedRandom(99);
    const int a = ofRandomRaw();
    const int b = ofRandomRaw();
    ofSeedRandom(99);
    EXPECT_EQ(a, ofRandomRaw());
    EXPECT_EQ(3, ofRandom(3, 3));
    EXPECT_EQ(b, ofRandomRaw());
}

TEST(MathRandom, ConcurrentDrawsStayInRangeAndLoseNoStep) {
    // Each draw advances the shared state exactly once, whatever the threads.
    ofSeedRandom(5);
    const int perThread = 20000;
    std::vector<int> single;
    for (int i = 0; i < 4 * perThread; i++) single.push_back(ofRandomRaw());
    const int nextAfterAll = ofRandomRaw();

    ofSeedRandom(5);
    std::vector<std::thread> threads;
    std::array<bool, 4> inRange{};
    for (int t = 0; t < 4; t++) {
        threads.emplace_back([t, &inRange] {
            bool ok = true;
            for (int i = 0; i < perThread; i++) {
                const int v = ofRandomRaw();
                ok = ok && v >= 0 && v <= OF_RAND_MAX;
            }
            inRange[t] = ok;
        });
    }
    for (auto& th : threads) th.join();
    for (bool ok : inRange) EXPECT_TRUE(ok);
    EXPECT_EQ(nextAfterAll, ofRandomRaw());
}

// ---------------------------------------------------------------------------
// Noise

TEST(MathNoise, TablesAreTheReferenceOnes) {
    using ofNoiseTables::perm;
    std::set<int> seen(perm, perm + 256);
    EXPECT_EQ(256u, seen.size());
    for (int i = 0; i < 256; i++) EXPECT_EQ(perm[i], perm[i + 256]) << i;
    const int head[] = {151, 160, 137, 91, 90, 15};
    for (int i = 0; i < 6; i++) EXPECT_EQ(head[i], perm[i]);
    EXPECT_EQ(180, perm[255]);

    // The simplex table holds, for each reachable ordering of four coordinates,
    // the rank of each; derive it from every ordering and compare.
    unsigned char derived[64][4] = {};
    std::array<int, 4> order = {0, 1, 2, 3};
    do {
        float v[4];
        for (int k = 0; k < 4; k++) v[order[k]] = static_cast<float>(k);  // order[k] has rank k
        const int c = (v[0] > v[1] ? 32 : 0) + (v[0] > v[2] ? 16 : 0) + (v[1] > v[2] ? 8 : 0) +
                      (v[0] > v[3] ? 4 : 0) + (v[1] > v[3] ? 2 : 0) + (v[2] > v[3] ? 1 : 0);
        for (int k = 0; k < 4; k++) derived[c][k] = static_cast<unsigned char>(v[k]);
    } while (std::next_permutation(order.begin(), order.end()));
    for (int c = 0; c < 64; c++)
        for (int k = 0; k < 4; k++) EXPECT_EQ(derived[c][k], ofNoiseTables::simplex[c][k]) << c << "," << k;
}

TEST(MathNoise, OneDimensionalIsHalfAtIntegersAndWraps) {
    for (int i = -300; i <= 300; i++) EXPECT_EQ(0.5f, ofNoise(static_cast<float>(i))) << i;
    const float fractions[] = {0.125f, 0.25f, 0.5f, 0.875f};
    for (float f : fractions) {
        EXPECT_EQ(ofSignedNoise(f), ofSignedNoise(f + 256)) << f;
        EXPECT_EQ(ofSignedNoise(f + 3), ofSignedNoise(f + 3 - 512)) << f;
        // -1 + f lies between entries 255 and 0, as 255 + f does.
        EXPECT_EQ(ofSignedNoise(255 + f), ofSignedNoise(-1 + f)) << f;
    }
}

TEST(MathNoise, BoundedContinuousAndNotFlat) {
    float lo[4] = {1, 1, 1, 1}, hi[4] = {-1, -1, -1, -1};
    float maxStep[4] = {};
    const float h = 0.002f;
    for (int a = 0; a < 40000; a++) {
        const float x = static_cast<float>(a) * 0.0137f - 250, y = static_cast<float>(a) * 0.0211f - 400;
        const float z = std::sin(static_cast<float>(a) * 0.001f) * 40, w = static_cast<float>(a) * 0.0071f;
        const float v[4] = {ofSignedNoise(x), ofSignedNoise(x, y), ofSignedNoise(x, y, z), ofSignedNoise(x, y, z, w)};
        // Small moves give small changes: the noise is continuous.
        const float near[4] = {ofSignedNoise(x + h), ofSignedNoise(x + h, y), ofSignedNoise(x + h, y, z),
                               ofSignedNoise(x + h, y, z, w)};
        for (int d = 0; d < 4; d++) {
            ASSERT_TRUE(std::isfinite(v[d]));
            lo[d] = std::min(lo[d], v[d]);
            hi[d] = std::max(hi[d], v[d]);
            maxStep[d] = std::max(maxStep[d], std::fabs(near[d] - v[d]));
        }
        const float unit[4] = {ofNoise(x), ofNoise(x, y), ofNoise(x, y, z), ofNoise(x, y, z, w)};
        for (int d = 0; d < 4; d++) ASSERT_FLOAT_EQ(0.5f + 0.5f * v[d], unit[d]);
    }
    for (int d = 0; d < 4; d++) {
        EXPECT_GE(lo[d], -1.0f) << d + 1 << "D";
        EXPECT_LE(hi[d], 1.0f) << d + 1 << "D";
        EXPECT_LT(lo[d], -0.5f) << d + 1 << "D";
        EXPECT_GT(hi[d], 0.5f) << d + 1 << "D";
        EXPECT_LT(maxStep[d], 0.05f) << d + 1 << "D";
    }
}

TEST(MathNoise, VanishesAtEveryLatticePoint) {
    // Neighbouring lattice points lie beyond the contribution radius, and the
    // point's own gradient is multiplied by a zero offset.
    const double g2 = (3 - std::sqrt(3.0)) / 6, g3 = 1.0 / 6, g4 = (5 - std::sqrt(5.0)) / 20;
    for (int i = -6; i <= 6; i += 3) {
        for (int j = -5; j <= 7; j += 4) {
            const double s2 = (i + j) * g2;
            EXPECT_NEAR(0, ofSignedNoise(static_cast<float>(i - s2), static_cast<float>(j - s2)), 1e-4) << i << "," << j;
            const int k = i + 2;
            const double s3 = (i + j + k) * g3;
            EXPECT_NEAR(0, ofSignedNoise(static_cast<float>(i - s3), static_cast<float>(j - s3), static_cast<float>(k - s3)),
                        1e-4);
            const int l = j - 1;
            const double s4 = (i + j + k + l) * g4;
            EXPECT_NEAR(0, ofSignedNoise(static_cast<float>(i - s4), static_cast<float>(j - s4), static_cast<float>(k - s4),
                                         static_cast<float>(l - s4)),
                        1e-4);
        }
    }
}

}  // namespace
