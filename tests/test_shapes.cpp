// Tessellated shapes and curves against a real GL context.

#include <cmath>
#include <string>

#include "framework/ofGraphicsState.h"
#include "tests/graphics_test_util.h"

using namespace testgfx;

namespace {

void square(float x0, float y0, float x1, float y1) {
    ofVertex(x0, y0);
    ofVertex(x1, y0);
    ofVertex(x1, y1);
    ofVertex(x0, y1);
}

class Shapes : public testing::Test {
protected:
    void SetUp() override {
        if (!testgl::ensureWindow()) GTEST_SKIP() << "no X display";
        ofSetupGraphicDefaults();
        ofSetPolyMode(OF_POLY_WINDING_ODD);
        ofSetCurveResolution(20);
        ofFill();
        freshFrame();
        depth = attribStackDepth();
    }
    void TearDown() override {
        if (IsSkipped()) return;
        EXPECT_EQ(depth, attribStackDepth()) << "smoothing wrap out of balance";
        EXPECT_EQ(GL_NO_ERROR, glGetError());
        EXPECT_EQ(nullptr, tobj);
    }
    int depth = 0;
};

TEST_F(Shapes, DirectModeDrawsEachContourInItsOwnColour) {
    ofNoFill();
    ofBeginShape();
    ofSetColor(255, 0, 0);
    ofVertex(10.5f, 10.5f);
    ofVertex(100.5f, 10.5f);
    ofNextContour(false);
    ofSetColor(0, 255, 0);
    ofVertex(10.5f, 30.5f);
    ofVertex(100.5f, 30.5f);
    ofNextContour(false);
    ofSetColor(255, 255, 255);
    ofVertex(10.5f, 50.5f);  // one vertex: nothing visible
    ofNextContour(false);
    ofNextContour(true);  // empty contour: closing adds nothing
    const size_t before = polyVertices.size();
    ofNextContour(true);
    EXPECT_EQ(before, polyVertices.size());
    ofEndShape(false);

    EXPECT_EQ(kRed, pixelAt(50, 10));
    EXPECT_EQ(kGreen, pixelAt(50, 30));
    EXPECT_FALSE(lit(10, 50));
    EXPECT_FALSE(lit(50, 20));
    EXPECT_TRUE(polyVertices.empty());
}

TEST_F(Shapes, NestedSquaresFollowTheWindingRule) {
    auto nestedSquares = [] {
        ofBeginShape();
        square(20, 20, 120, 120);
        ofNextContour(true);
        square(50, 50, 90, 90);
        ofEndShape(true);
    };
    ofSetColor(255, 255, 255);
    nestedSquares();
    EXPECT_TRUE(lit(30, 30));
    EXPECT_FALSE(lit(70, 70));  // odd rule: a ring
    EXPECT_FALSE(lit(130, 70));

    freshFrame();
    ofSetPolyMode(OF_POLY_WINDING_NONZERO);
    nestedSquares();
    EXPECT_TRUE(lit(30, 30));
    EXPECT_TRUE(lit(70, 70));  // same direction, nonzero: one square
}

TEST_F(Shapes, SelfIntersectingOutlineUsesCombinedVertices) {
    // A bow tie: the crossing needs a vertex of the tessellator's own.
    ofSetColor(255, 255, 255);
    testing::internal::CaptureStdout();
    ofBeginShape();
    ofVertex(20, 20);
    ofVertex(120, 120);
    ofVertex(120, 20);
    ofVertex(20, 120);
    ofEndShape(true);
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    EXPECT_TRUE(lit(30, 70));
    EXPECT_TRUE(lit(110, 70));
    EXPECT_FALSE(lit(70, 30));
    EXPECT_FALSE(lit(70, 110));
}

TEST_F(Shapes, CloseAddsTheFirstVertexAgain) {
    ofNoFill();
    ofSetColor(255, 255, 255);
    ofBeginShape();
    ofVertex(20.5f, 20.5f);
    ofVertex(120.5f, 20.5f);
    ofVertex(120.5f, 120.5f);
    ofEndShape(false);
    EXPECT_TRUE(lit(70, 20));
    EXPECT_TRUE(lit(120, 70));
    EXPECT_FALSE(lit(70, 70));  // the diagonal back to the start is missing

    ofBeginShape();
    ofVertex(20.5f, 20.5f);
    ofVertex(120.5f, 20.5f);
    ofVertex(120.5f, 120.5f);
    ofEndShape(true);
    EXPECT_TRUE(lit(70, 70));
}

TEST_F(Shapes, EndWithoutBeginDrawsOnlyInDirectModeAndFrees) {
    ofNoFill();
    ofSetColor(255, 255, 255);
    ofVertex(10.5f, 40.5f);
    ofVertex(200.5f, 40.5f);
    ofEndShape(false);
    EXPECT_TRUE(lit(100, 40));
    EXPECT_TRUE(polyVertices.empty());

    ofFill();
    square(20, 100, 120, 200);
    ofEndShape(true);
    EXPECT_FALSE(lit(70, 150));
    EXPECT_TRUE(polyVertices.empty());
}

TEST_F(Shapes, CurveAndBezierVertexCounts) {
    ofBeginShape();
    ofBezierVertex(1, 2, 3, 4, 5, 6);  // no start point yet
    EXPECT_EQ(0u, polyVertices.size());

    ofCurveVertex(0, 0);
    ofCurveVertex(10, 0);
    ofCurveVertex(20, 10);
    EXPECT_EQ(0u, polyVertices.size());
    ofCurveVertex(30, 30);
    ASSERT_EQ(20u, polyVertices.size());
    // The segment runs from the second control point to the third.
    EXPECT_DOUBLE_EQ(10, polyVertices.front()[0]);
    EXPECT_DOUBLE_EQ(0, polyVertices.front()[1]);
    EXPECT_NEAR(20, polyVertices.back()[0], 1e-5);
    EXPECT_NEAR(10, polyVertices.back()[1], 1e-5);
    ofCurveVertex(40, 60);
    EXPECT_EQ(40u, polyVertices.size());

    ofVertex(50, 50);  // starts a new Catmull-Rom run
    ofCurveVertex(1, 1);
    ofCurveVertex(2, 2);
    ofCurveVertex(3, 3);
    EXPECT_EQ(41u, polyVertices.size());

    ofBezierVertex(60, 50, 70, 60, 80, 80);
    ASSERT_EQ(61u, polyVertices.size());
    EXPECT_DOUBLE_EQ(50, polyVertices[41][0]);  // repeats the start
    EXPECT_NEAR(80, polyVertices.back()[0], 1e-5);
    EXPECT_NEAR(80, polyVertices.back()[1], 1e-5);
    ofCurveVertex(1, 1);  // the Bézier emptied the control points
    EXPECT_EQ(61u, polyVertices.size());
    ofEndShape(false);
}

TEST_F(Shapes, CurveResolutionBelowTwoStillGivesEndpoints) {
    for (int res : {1, 0, -3}) {
        ofSetCurveResolution(res);
        ofBeginShape();
        ofVertex(0, 0);
        ofBezierVertex(10, 0, 20, 0, 30, 0);
        ofCurveVertex(0, 0);
        ofCurveVertex(5, 5);
        ofCurveVertex(10, 5);
        ofCurveVertex(15, 0);
        ASSERT_EQ(5u, polyVertices.size()) << res;
        for (const auto& v : polyVertices) {
            EXPECT_TRUE(std::isfinite(v[0]) && std::isfinite(v[1])) << res;
        }
        EXPECT_NEAR(30, polyVertices[2][0], 1e-5);
        EXPECT_NEAR(10, polyVertices[4][0], 1e-5);
        ofEndShape(false);
    }
}

TEST_F(Shapes, BezierAndCurveDrawOpenOutlinesOrFilledRegions) {
    ofSetColor(255, 255, 255);
    ofSetCurveResolution(21);  // t = 0.5 is a sample
    ofNoFill();
    // Apex at t = 0.5: y = 100.5 - 60.
    ofBezier(20.5f, 100.5f, 100.5f, 20.5f, 100.5f, 20.5f, 180.5f, 100.5f);
    EXPECT_TRUE(lit(100, 40));
    EXPECT_FALSE(lit(100, 100));  // open: no chord back

    freshFrame();
    ofFill();
    ofBezier(20.5f, 100.5f, 100.5f, 20.5f, 100.5f, 20.5f, 180.5f, 100.5f);
    EXPECT_TRUE(lit(100, 80));
    EXPECT_FALSE(lit(100, 30));

    freshFrame();
    ofNoFill();
    // Collinear control points: the Catmull-Rom segment is the straight line
    // between the middle two.
    ofCurve(0.5f, 150.5f, 50.5f, 150.5f, 150.5f, 150.5f, 200.5f, 150.5f);
    EXPECT_TRUE(lit(60, 150));
    EXPECT_TRUE(lit(140, 150));
    EXPECT_FALSE(lit(30, 150));
    EXPECT_FALSE(lit(170, 150));
}

TEST_F(Shapes, SmoothingWrapEndsExactlyWhenItStarted) {
    ofEnableSmoothing();

    // Started in outline mode, ended after switching to filled.
    ofNoFill();
    ofBeginShape();
    EXPECT_EQ(depth + 1, attribStackDepth());
    ofVertex(10, 10);
    ofVertex(50, 50);
    ofFill();
    ofEndShape(false);
    EXPECT_EQ(depth, attribStackDepth());

    // Not started (filled), ended in outline mode: nothing to pop.
    ofBeginShape();
    square(10, 10, 50, 50);
    ofNoFill();
    ofEndShape(true);
    EXPECT_EQ(depth, attribStackDepth());

    // Smoothing switched off in between.
    ofBeginShape();
    ofDisableSmoothing();
    ofEndShape(false);
    EXPECT_EQ(depth, attribStackDepth());
    EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));
    ofFill();
}

TEST_F(Shapes, BeginWhileOpenDropsTheOldShapeQuietly) {
    ofEnableSmoothing();
    ofNoFill();
    ofSetPolyMode(OF_POLY_WINDING_NONZERO);  // tessellated outline
    testing::internal::CaptureStdout();
    ofBeginShape();
    ofVertex(10, 10);
    ofVertex(90, 10);
    ofVertex(90, 90);
    ofNextContour(true);
    ofVertex(5, 5);
    ofBeginShape();  // the open shape is dropped
    EXPECT_TRUE(polyVertices.empty());
    EXPECT_EQ(depth + 1, attribStackDepth());
    ofEndShape(false);
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    EXPECT_FALSE(lit(50, 10));
    ofDisableSmoothing();
    ofFill();
}

}  // namespace
