// The particle chain: reset, the physics step of each style, the trail
// shift, and the clamping of brush parameters that presets can carry.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "core/WyrleGlobals.h"
#include "core/pixels/brushparams.h"
#include "core/pixels/particles.h"
#include "framework/ofMath.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

std::unique_ptr<ParticleChain> chainAt(const BrushParams& p, float x, float y) {
    auto c = std::make_unique<ParticleChain>();
    setupStrings(*c, p, x, y);
    return c;
}

bool allFinite(const ParticleChain& c) {
    for (int i = 0; i < kParticleCount; ++i) {
        if (!std::isfinite(c.nowX[i]) || !std::isfinite(c.nowY[i]) || !std::isfinite(c.velX[i]) ||
            !std::isfinite(c.velY[i]) || !std::isfinite(c.mass[i]))
            return false;
    }
    return true;
}

}  // namespace

TEST(ParticleChain, SetupStringsPutsEveryTrailPointOnThePointerWithDefaultMasses) {
    auto c = std::make_unique<ParticleChain>();
    for (int i = 0; i < kParticleCount; ++i) {
        c->last2X[i] = c->last3X[i] = 999.0f;
        c->velX[i] = 5.0f;
    }
    setupStrings(*c, BrushParams{}, 40.0f, 60.0f);
    EXPECT_FLOAT_EQ(c->mass[0], 150.0f);
    EXPECT_FLOAT_EQ(c->mass[99], 51.0f);
    EXPECT_FLOAT_EQ(c->mass[150], 0.0f);
    EXPECT_FLOAT_EQ(c->mass[299], -149.0f);
    for (int i = 0; i < kParticleCount; ++i) {
        SCOPED_TRACE(i);
        // The older trail points follow too: a reset mid-stroke paints no
        // segment from where the chain was.
        for (float x : {c->nowX[i], c->lastX[i], c->last2X[i], c->last3X[i]}) EXPECT_EQ(x, 40.0f);
        for (float y : {c->nowY[i], c->lastY[i], c->last2Y[i], c->last3Y[i]}) EXPECT_EQ(y, 60.0f);
        EXPECT_EQ(c->velX[i], 0.0f);
        EXPECT_EQ(c->velY[i], 0.0f);
    }
}

TEST(ParticleChain, RandomMassShareIsReproducibleFromTheSeedAndStaysInItsBand) {
    BrushParams p;
    p.randd = 50.0f;
    ofSeedRandom(1234);
    auto a = chainAt(p, 0, 0);
    ofSeedRandom(1234);
    auto b = chainAt(p, 0, 0);
    for (int i = 0; i < kParticleCount; ++i) {
        EXPECT_EQ(a->mass[i], b->mass[i]);
        // b = (100 - i) + 50; mass = (r * 50 + b) with r in [0, 1).
        const float base = static_cast<float>(150 - i);
        EXPECT_GE(a->mass[i], base - 1e-3f);
        EXPECT_LT(a->mass[i], base + 50.0f);
    }
}

TEST(ParticleChain, FirstStepAfterResetMovesByThePullAlone) {
    auto c = chainAt(BrushParams{}, 100.0f, 50.0f);
    particleStep(*c, BrushParams{}, 110.0f, 50.0f);
    // 2 * 0.88 * 0.15 * 150 * 10 / (10 + 90)
    EXPECT_NEAR(c->nowX[0], 103.96f, 1e-4f);
    EXPECT_EQ(c->nowY[0], 50.0f);
    // Slot 150 has no mass, so nothing moves it.
    EXPECT_EQ(c->nowX[150], 100.0f);
    // Negative masses are pushed away.
    EXPECT_LT(c->nowX[299], 100.0f);
}

struct SpringCase {
    float normLen;
    float gap;        // particle 1 sits this far right of particle 0
    float expectV0;   // velX[0] after the step (before damping)
};

TEST(ParticleChain, SpringsPullNeighboursTowardsTheirRestLength) {
    const SpringCase cases[] = {
        {1.0f, 3.0f, 0.2f},   // five links, each (3 - 1) * 3 / 3
        {2.0f, 4.0f, 0.0f},   // rest length n * 2^2 = 4: no force
        {2.0f, 6.0f, 0.2f},   // five links of stretch 2
        {0.0f, 3.0f, 0.3f},   // rest 0: pull only, 5 * 3
        {1.0f, 0.0f, 0.0f},   // coincident particles exert nothing
    };
    for (const SpringCase& sc : cases) {
        SCOPED_TRACE(testing::Message() << "normLen " << sc.normLen << " gap " << sc.gap);
        BrushParams p;
        p.partNum = 2;
        p.normLen = sc.normLen;
        p.velInf = 0.002f;  // the smallest pull there is
        p.mass1 = 0.0f;
        p.mass2 = 0.001f;
        p.slow1 = 0.5f;
        auto c = std::make_unique<ParticleChain>();
        setupStrings(*c, p, 0.0f, 0.0f);
        for (int i = 0; i < kParticleCount; ++i) c->mass[i] = 0.0f;
        c->lastX[1] = c->nowX[1] = sc.gap;
        particleStep(*c, p, 0.0f, 0.0f);
        EXPECT_NEAR(c->velX[0], sc.expectV0 * 0.5f, 1e-6f);
        EXPECT_NEAR(c->velX[1], -sc.expectV0 * 0.5f, 1e-6f);
        EXPECT_EQ(c->velY[0], 0.0f);
        EXPECT_TRUE(allFinite(*c));
    }
}

TEST(ParticleChain, NoPullAndNoNaNWithZeroSofteningOnThePointer) {
    BrushParams p;
    p.distZ = 0.0f;
    auto c = chainAt(p, 30.0f, 30.0f);
    particleStep(*c, p, 30.0f, 30.0f);
    EXPECT_TRUE(allFinite(*c));
    EXPECT_EQ(c->nowX[0], 30.0f);
    EXPECT_EQ(c->velX[0], 0.0f);
}

TEST(ParticleChain, FollowPutsTheLastDrawnParticleOnThePointer) {
    BrushParams p;
    p.modes = kStyleFollow;
    p.partNum = 37;
    auto c = chainAt(p, 0.0f, 0.0f);
    const float px[] = {50.0f, 80.0f, 81.5f, 200.0f, 10.0f};
    const float py[] = {20.0f, -40.0f, 7.25f, 90.0f, 10.0f};
    for (int f = 0; f < 5; ++f) {
        particleStep(*c, p, px[f], py[f]);
        EXPECT_NEAR(c->nowX[36], px[f], std::fabs(px[f]) * 2e-7f + 1e-6f);
        EXPECT_NEAR(c->nowY[36], py[f], std::fabs(py[f]) * 2e-7f + 1e-6f);
        shiftTrail(*c);
    }
}

TEST(ParticleChain, RibbonPinsTheFirstParticleAndCascadesVelocities) {
    BrushParams p;
    p.modes = kStyleRibbon;
    p.velInf = 0.002f;
    p.slow1 = 0.97f;
    auto c = chainAt(p, 10.0f, 10.0f);
    for (int i = 0; i < kParticleCount; ++i) {
        c->mass[i] = 0.0f;
        c->velX[i] = 1.0f / 0.97f;  // 1 after damping
    }
    particleStep(*c, p, 12.0f, 10.0f);
    EXPECT_EQ(c->nowX[0], 12.0f);
    EXPECT_EQ(c->nowY[0], 10.0f);
    EXPECT_NEAR(c->velX[299], 1.0f, 1e-6f);
    EXPECT_NEAR(c->velX[298], 1.025f, 1e-6f);
    EXPECT_NEAR(c->velX[297], 1.025625f, 1e-6f);
    // The cascade works on the velocities; positions moved before it.
    EXPECT_NEAR(c->nowX[298], 12.0f, 1e-5f);
}

TEST(ParticleChain, CurvePointRunsFromSecondToThirdValue) {
    EXPECT_EQ(curvePoint(-3.0f, 1.5f, 7.0f, 20.0f, 0.0f), 1.5f);
    EXPECT_EQ(curvePoint(-3.0f, 1.5f, 7.0f, 20.0f, 1.0f), 7.0f);
    // Evenly spaced values give a straight line.
    EXPECT_FLOAT_EQ(curvePoint(0.0f, 1.0f, 2.0f, 3.0f, 0.25f), 1.25f);
}

TEST(ParticleChain, TrailShiftMovesEachPointOnePlaceOlder) {
    auto c = std::make_unique<ParticleChain>();
    for (int i = 0; i < kParticleCount; ++i) {
        c->nowX[i] = 1;
        c->lastX[i] = 2;
        c->last2X[i] = 3;
        c->last3X[i] = 4;
        c->nowY[i] = 5;
        c->lastY[i] = 6;
        c->last2Y[i] = 7;
        c->last3Y[i] = 8;
    }
    shiftTrail(*c);
    for (int i = 0; i < kParticleCount; ++i) {
        EXPECT_EQ(c->nowX[i], 1);
        EXPECT_EQ(c->lastX[i], 1);
        EXPECT_EQ(c->last2X[i], 2);
        EXPECT_EQ(c->last3X[i], 3);
        EXPECT_EQ(c->nowY[i], 5);
        EXPECT_EQ(c->lastY[i], 5);
        EXPECT_EQ(c->last2Y[i], 6);
        EXPECT_EQ(c->last3Y[i], 7);
    }
}

TEST(BrushParams, OutOfRangeValuesAreClampedAndNonFiniteOnesReset) {
    struct Case {
        const char* what;
        void (*set)(BrushParams&);
        bool (*check)(const BrushParams&);
    };
    const Case cases[] = {
        {"partNum 0", [](BrushParams& p) { p.partNum = 0; }, [](const BrushParams& p) { return p.partNum == 2; }},
        {"partNum 1", [](BrushParams& p) { p.partNum = 1; }, [](const BrushParams& p) { return p.partNum == 2; }},
        {"partNum 301", [](BrushParams& p) { p.partNum = 301; },
         [](const BrushParams& p) { return p.partNum == 300; }},
        {"partNum -7", [](BrushParams& p) { p.partNum = -7; }, [](const BrushParams& p) { return p.partNum == 2; }},
        {"partStep 0", [](BrushParams& p) { p.partStep = 0; }, [](const BrushParams& p) { return p.partStep == 1; }},
        {"partStep -1", [](BrushParams& p) { p.partStep = -1; },
         [](const BrushParams& p) { return p.partStep == 1; }},
        {"partStep 21", [](BrushParams& p) { p.partStep = 21; },
         [](const BrushParams& p) { return p.partStep == 20; }},
        {"detail 0", [](BrushParams& p) { p.paintDetail = 0; },
         [](const BrushParams& p) { return p.paintDetail == 1; }},
        {"detail 9", [](BrushParams& p) { p.paintDetail = 9; },
         [](const BrushParams& p) { return p.paintDetail == 4; }},
        // An unknown style is clamped to the nearest one, not reset.
        {"modes 3", [](BrushParams& p) { p.modes = 3; }, [](const BrushParams& p) { return p.modes == 2; }},
        {"modes -1", [](BrushParams& p) { p.modes = -1; }, [](const BrushParams& p) { return p.modes == 0; }},
        {"fadez -1", [](BrushParams& p) { p.fadez = -1; }, [](const BrushParams& p) { return p.fadez == 0; }},
        {"fadez NaN", [](BrushParams& p) { p.fadez = kNaN; }, [](const BrushParams& p) { return p.fadez == 10; }},
        {"fadez 1e9", [](BrushParams& p) { p.fadez = 1e9f; }, [](const BrushParams& p) { return p.fadez == 10; }},
        {"slow1 NaN", [](BrushParams& p) { p.slow1 = kNaN; },
         [](const BrushParams& p) { return p.slow1 == 0.88f; }},
        {"slow1 2", [](BrushParams& p) { p.slow1 = 2; }, [](const BrushParams& p) { return p.slow1 == 0.97f; }},
        {"velInf inf", [](BrushParams& p) { p.velInf = kInf; },
         [](const BrushParams& p) { return p.velInf == 0.15f; }},
        {"distZ -5", [](BrushParams& p) { p.distZ = -5; }, [](const BrushParams& p) { return p.distZ == 0; }},
        {"normLen NaN", [](BrushParams& p) { p.normLen = kNaN; },
         [](const BrushParams& p) { return p.normLen == 1; }},
        {"mass2 0", [](BrushParams& p) { p.mass2 = 0; }, [](const BrushParams& p) { return p.mass2 == 0.001f; }},
        {"randd -inf", [](BrushParams& p) { p.randd = -kInf; },
         [](const BrushParams& p) { return p.randd == 0; }},
        {"opacity 0", [](BrushParams& p) { p.opacityz = 0; },
         [](const BrushParams& p) { return p.opacityz == 1; }},
        {"opacity NaN", [](BrushParams& p) { p.opacityz = kNaN; },
         [](const BrushParams& p) { return p.opacityz == 40; }},
    };
    for (const Case& c : cases) {
        BrushParams p;
        c.set(p);
        EXPECT_TRUE(c.check(clampBrushParams(p))) << c.what;
    }
    // In-range values pass unchanged.
    BrushParams p;
    p.partNum = 2;
    p.partStep = 20;
    p.velInf = 1.0f;
    p.fadez = 0.5f;
    const BrushParams q = clampBrushParams(p);
    EXPECT_EQ(q.partNum, 2);
    EXPECT_EQ(q.partStep, 20);
    EXPECT_EQ(q.velInf, 1.0f);
    EXPECT_EQ(q.fadez, 0.5f);
}

TEST(BrushParams, SnapshotReadsTheGlobalsClamped) {
    f_PartNum = 301;
    f_PartStep = -1;
    f_paintDetail = 0;
    f_slow1 = kNaN;
    f_fadez = -3.0f;
    f_fillz = false;
    f_spline = false;
    f_modes = kStyleRibbon;
    f_opacityz = 77.0f;
    const BrushParams p = snapshotBrushParams();
    EXPECT_EQ(p.partNum, 300);
    EXPECT_EQ(p.partStep, 1);
    EXPECT_EQ(p.paintDetail, 1);
    EXPECT_EQ(p.slow1, 0.88f);
    EXPECT_EQ(p.fadez, 0.0f);
    EXPECT_FALSE(p.fillz);
    EXPECT_FALSE(p.spline);
    EXPECT_EQ(p.modes, kStyleRibbon);
    EXPECT_EQ(p.opacityz, 77.0f);
}

TEST(BrushParams, UnclampedPresetValuesNeitherOverrunNorDivideByZero) {
    // The chain functions clamp on their own too, so a caller that skipped
    // the snapshot still stays inside the 300 slots (run under ASan).
    for (int partNum : {0, 1, 301, 100000, -1}) {
        SCOPED_TRACE(partNum);
        BrushParams p;
        p.partNum = partNum;
        p.modes = kStyleFollow;
        auto c = chainAt(p, 5.0f, 5.0f);
        EXPECT_TRUE(allFinite(*c));
        for (int f = 0; f < 3; ++f) {
            particleStep(*c, p, 5.0f + 3.0f * f, 5.0f);
            shiftTrail(*c);
        }
        EXPECT_TRUE(allFinite(*c));
    }
}
