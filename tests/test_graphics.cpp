// Drawing state, primitives, styles and bitmap text against a real GL context.

#include <cmath>
#include <string>

#include "framework/ofGraphicsState.h"
#include "tests/graphics_test_util.h"

using namespace testgfx;

namespace {

std::array<float, 4> glCurrentColor() {
    std::array<float, 4> c{};
    glGetFloatv(GL_CURRENT_COLOR, c.data());
    return c;
}

void expectStyleColor(const ofStyle& s, float r, float g, float b, float a) {
    EXPECT_NEAR(r, s.color.r, 1e-3);
    EXPECT_NEAR(g, s.color.g, 1e-3);
    EXPECT_NEAR(b, s.color.b, 1e-3);
    EXPECT_NEAR(a, s.color.a, 1e-3);
}

TEST(GraphicsState, SetColorClampsForGlAndStyle) {
    REQUIRE_GL_WINDOW();
    ofSetColor(300, -5, 128);
    auto c = glCurrentColor();
    EXPECT_FLOAT_EQ(1, c[0]);
    EXPECT_FLOAT_EQ(0, c[1]);
    EXPECT_NEAR(128 / 255.0, c[2], 1e-6);
    EXPECT_FLOAT_EQ(1, c[3]);
    expectStyleColor(ofGetStyle(), 255, 0, 128, 255);

    ofSetColor(10, 20, 30, 400);
    EXPECT_FLOAT_EQ(1, glCurrentColor()[3]);
    expectStyleColor(ofGetStyle(), 10, 20, 30, 255);
    ofSetColor(10, 20, 30, 51);
    EXPECT_NEAR(0.2, glCurrentColor()[3], 1e-6);
    expectStyleColor(ofGetStyle(), 10, 20, 30, 51);

    ofSetColor(0x123456);
    expectStyleColor(ofGetStyle(), 0x12, 0x34, 0x56, 255);
}

TEST(GraphicsState, BackgroundIsUnclampedAndClearsOnlyWhenNotAuto) {
    REQUIRE_GL_WINDOW();
    freshFrame();
    ASSERT_TRUE(ofbClearBg());
    ofBackground(300, 0, 51);
    const float* bg = ofBgColorPtr();
    EXPECT_FLOAT_EQ(300 / 255.0f, bg[0]);
    EXPECT_FLOAT_EQ(0, bg[1]);
    EXPECT_FLOAT_EQ(0.2f, bg[2]);
    EXPECT_FLOAT_EQ(1, bg[3]);
    EXPECT_EQ(kBlack, pixelAt(5, 5));  // the window clears, not ofBackground

    ofSetBackgroundAuto(false);
    EXPECT_FALSE(ofbClearBg());
    ofBackground(0, 255, 0);
    EXPECT_EQ(kGreen, pixelAt(5, 5));
    ofSetBackgroundAuto(true);
}

TEST(GraphicsState, GraphicDefaultsKeepModesAndResetColours) {
    REQUIRE_GL_WINDOW();
    ofNoFill();
    ofSetRectMode(OF_RECTMODE_CENTER);
    ofEnableSmoothing();
    ofEnableAlphaBlending();
    ofSetColor(1, 2, 3, 4);

    ofSetupGraphicDefaults();
    EXPECT_FLOAT_EQ(200 / 255.0f, ofBgColorPtr()[0]);
    EXPECT_FLOAT_EQ(1, ofBgColorPtr()[3]);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    const ofStyle s = ofGetStyle();
    expectStyleColor(s, 255, 255, 255, 255);
    EXPECT_FALSE(s.smoothing);
    EXPECT_FALSE(s.blending);
    EXPECT_FALSE(s.filled);
    EXPECT_EQ(OF_RECTMODE_CENTER, ofGetRectMode());
    ofFill();
    ofSetRectMode(OF_RECTMODE_CORNER);
}

TEST(GraphicsState, BlendingAndInvalidModes) {
    REQUIRE_GL_WINDOW();
    ofEnableAlphaBlending();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    GLint src = 0, dst = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(GL_SRC_ALPHA, src);
    EXPECT_EQ(GL_ONE_MINUS_SRC_ALPHA, dst);
    EXPECT_TRUE(ofGetStyle().blending);
    ofDisableAlphaBlending();
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    ofSetRectMode(OF_RECTMODE_CENTER);
    ofSetRectMode(2);
    EXPECT_EQ(OF_RECTMODE_CENTER, ofGetRectMode());
    EXPECT_EQ(OF_RECTMODE_CENTER, ofGetStyle().rectMode);
    ofSetRectMode(OF_RECTMODE_CORNER);

    ofSetPolyMode(OF_POLY_WINDING_NONZERO);
    testing::internal::CaptureStdout();
    ofSetPolyMode(5);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, printed.find(" error in ofSetPolyMode")) << printed;
    EXPECT_EQ(OF_POLY_WINDING_NONZERO, polyMode);
    EXPECT_EQ(OF_POLY_WINDING_NONZERO, ofGetStyle().polyMode);
    ofSetPolyMode(OF_POLY_WINDING_ODD);
}

TEST(GraphicsState, CircleResolutionClampsAndDefaultTable) {
    REQUIRE_GL_WINDOW();
    if (bSetupCircle) GTEST_SKIP() << "needs a fresh process (ctest runs one per test)";
    EXPECT_EQ(20, ofGetStyle().circleResolution);
    for (int n : {1, 0, -5}) {
        ofSetCircleResolution(n);
        EXPECT_EQ(0, numCirclePts) << n;
        EXPECT_EQ(20, ofGetStyle().circleResolution) << n;
    }
    freshFrame();
    ofCircle(50, 50, 10);
    EXPECT_EQ(22, numCirclePts);
    EXPECT_EQ(22, ofGetStyle().circleResolution);

    ofSetCircleResolution(5000);
    EXPECT_EQ(1024, numCirclePts);
    ofSetCircleResolution(1023);
    EXPECT_EQ(1023, numCirclePts);
    ofSetCircleResolution(1);
    EXPECT_EQ(1023, numCirclePts);
}

TEST(GraphicsState, StyleStackKeepsTheNewest32) {
    REQUIRE_GL_WINDOW();
    ofPopStyle();  // empty history: nothing happens
    EXPECT_FLOAT_EQ(1, ofGetStyle().lineWidth);

    for (int i = 1; i <= 33; i++) {
        ofSetLineWidth(static_cast<float>(i));
        ofSetColor(i, 0, 0);
        ofPushStyle();
    }
    ofSetLineWidth(99);
    for (int i = 33; i >= 2; i--) {
        ofPopStyle();
        EXPECT_FLOAT_EQ(static_cast<float>(i), ofGetStyle().lineWidth);
        EXPECT_NEAR(i, ofGetStyle().color.r, 1e-3);
    }
    GLfloat width = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_FLOAT_EQ(2, width);
    ofPopStyle();  // the oldest was dropped
    EXPECT_FLOAT_EQ(2, ofGetStyle().lineWidth);
}

TEST(GraphicsState, SetStyleAppliesEveryField) {
    REQUIRE_GL_WINDOW();
    ofStyle s;
    s.color = ofColor(10.9f, 20, 30, 40);
    s.polyMode = OF_POLY_WINDING_POSITIVE;
    s.rectMode = OF_RECTMODE_CENTER;
    s.filled = false;
    s.blending = true;
    s.smoothing = true;
    s.circleResolution = 40;
    s.lineWidth = 3;
    ofSetStyle(s);

    const ofStyle got = ofGetStyle();
    expectStyleColor(got, 10, 20, 30, 40);  // components truncated
    EXPECT_EQ(OF_POLY_WINDING_POSITIVE, polyMode);
    EXPECT_EQ(OF_RECTMODE_CENTER, ofGetRectMode());
    EXPECT_EQ(OF_OUTLINE, drawMode);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(bSmoothHinted);
    EXPECT_EQ(40, numCirclePts);
    GLfloat width = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_FLOAT_EQ(3, width);
}

// ---------------------------------------------------------------------------
// Primitives, read back from the frame buffer

TEST(GraphicsDraw, RectInCornerAndCentreModes) {
    REQUIRE_GL_WINDOW();
    ofSetupGraphicDefaults();
    freshFrame();
    ofFill();
    ofSetColor(255, 0, 0);
    ofRect(10, 20, 30, 40);  // x 10..40, y 20..60, y growing downwards
    EXPECT_EQ(kRed, pixelAt(10, 20));
    EXPECT_EQ(kRed, pixelAt(39, 59));
    EXPECT_EQ(kBlack, pixelAt(40, 20));
    EXPECT_EQ(kBlack, pixelAt(10, 60));
    EXPECT_EQ(kBlack, pixelAt(9, 20));
    EXPECT_EQ(kBlack, pixelAt(10, 19));

    freshFrame();
    ofSetRectMode(OF_RECTMODE_CENTER);
    ofRect(10, 20, 30, 40);  // x -5..25, y 0..40
    ofSetRectMode(OF_RECTMODE_CORNER);
    EXPECT_EQ(kRed, pixelAt(0, 0));
    EXPECT_EQ(kRed, pixelAt(24, 39));
    EXPECT_EQ(kBlack, pixelAt(25, 10));
    EXPECT_EQ(kBlack, pixelAt(10, 40));
}

TEST(GraphicsDraw, OutlineRectLeavesTheInsideEmpty) {
    REQUIRE_GL_WINDOW();
    ofSetupGraphicDefaults();
    freshFrame();
    ofNoFill();
    ofSetColor(0, 255, 0);
    ofRect(20.5f, 20.5f, 40, 40);
    ofFill();
    EXPECT_EQ(kGreen, pixelAt(40, 20));
    EXPECT_EQ(kGreen, pixelAt(20, 40));
    EXPECT_EQ(kBlack, pixelAt(40, 40));
}

TEST(GraphicsDraw, CircleEllipseTriangleLine) {
    REQUIRE_GL_WINDOW();
    ofSetupGraphicDefaults();
    freshFrame();
    ofFill();
    ofSetColor(255, 255, 255);
    ofCircle(50, 50, 20);
    EXPECT_EQ(kWhite, pixelAt(50, 50));
    EXPECT_EQ(kWhite, pixelAt(67, 50));  // the first table point lies to the right
    EXPECT_EQ(kBlack, pixelAt(72, 50));
    EXPECT_EQ(kBlack, pixelAt(50, 72));

    ofEllipse(150, 50, 60, 20);  // 30 across each way, 10 up and down
    EXPECT_EQ(kWhite, pixelAt(176, 50));
    EXPECT_EQ(kBlack, pixelAt(150, 62));
    EXPECT_EQ(kWhite, pixelAt(150, 57));

    ofTriangle(10, 100, 90, 100, 10, 180);  // right angle at the top-left
    EXPECT_EQ(kWhite, pixelAt(20, 110));
    EXPECT_EQ(kBlack, pixelAt(80, 170));

    ofLine(100.5f, 150.5f, 200.5f, 150.5f);
    EXPECT_EQ(kWhite, pixelAt(150, 150));
    EXPECT_EQ(kBlack, pixelAt(150, 153));
}

TEST(GraphicsDraw, SmoothingWrapsOutlinesOnlyAndRestoresState) {
    REQUIRE_GL_WINDOW();
    ofSetupGraphicDefaults();
    freshFrame();
    const int depth = attribStackDepth();
    ofEnableSmoothing();
    ofNoFill();
    ofCircle(100, 100, 30);
    ofRect(10, 10, 20, 20);
    ofLine(0, 0, 50, 50);
    ofFill();
    ofCircle(100, 100, 5);
    ofLine(0, 0, 50, 50);
    ofDisableSmoothing();
    EXPECT_EQ(depth, attribStackDepth());
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));
    EXPECT_EQ(GL_NO_ERROR, glGetError());
}

TEST(GraphicsDraw, MatrixFunctionsMoveTheDrawing) {
    REQUIRE_GL_WINDOW();
    ofSetupGraphicDefaults();
    freshFrame();
    ofFill();
    ofSetColor(255, 0, 0);
    ofPushMatrix();
    ofTranslate(100, 50);
    ofScale(2, 3);
    ofRect(0, 0, 10, 10);  // x 100..120, y 50..80
    ofPopMatrix();
    EXPECT_EQ(kRed, pixelAt(119, 79));
    EXPECT_EQ(kBlack, pixelAt(121, 60));
    EXPECT_EQ(kBlack, pixelAt(110, 81));

    ofPushMatrix();
    ofTranslate(200, 200);
    ofRotateZ(90);  // x maps onto y, y onto -x
    ofRect(0, 0, 30, 5);
    ofPopMatrix();
    EXPECT_EQ(kRed, pixelAt(197, 220));
    EXPECT_EQ(kBlack, pixelAt(220, 202));
}

// ---------------------------------------------------------------------------
// Bitmap text

std::array<float, 4> rasterPosition() {
    std::array<float, 4> p{};
    glGetFloatv(GL_CURRENT_RASTER_POSITION, p.data());
    return p;
}

// Compares the 8 x 14 block whose lower-left window pixel is (wx, wy) with
// the glyph's rows.
void expectGlyphAt(int character, int wx, int wy) {
    const unsigned char* glyph = bmpChar_8x13_Map[character];
    glFinish();
    unsigned char px[14][8][4];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(wx, wy, 8, 14, GL_RGBA, GL_UNSIGNED_BYTE, px);
    for (int row = 0; row < 14; row++)
        for (int col = 0; col < 8; col++) {
            const bool want = (glyph[1 + row] >> (7 - col)) & 1;
            EXPECT_EQ(want, px[row][col][0] > 127) << "char " << character << " row " << row << " col " << col;
        }
}

TEST(GraphicsText, GlyphsLandOnTheBaselineWithTheirRows) {
    REQUIRE_GL_WINDOW();
    ofSetupGraphicDefaults();
    freshFrame();
    ofSetColor(255, 255, 255);
    const int h = windowHeight();
    glRasterPos2f(40, 60);
    const auto start = rasterPosition();
    EXPECT_NEAR(40, start[0], 1e-2);
    EXPECT_NEAR(h - 60, start[1], 1e-2);

    ofDrawBitmapString("Ag", 40, 60);
    const int wx = static_cast<int>(std::floor(start[0] + 0.5f));
    const int wy = static_cast<int>(std::floor(start[1] + 0.5f)) - 3;  // origin 3 rows above the bottom
    expectGlyphAt('A', wx, wy);
    expectGlyphAt('g', wx + 8, wy);
    EXPECT_NEAR(start[0] + 16, rasterPosition()[0], 1e-2);

    GLint align = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &align);
    EXPECT_EQ(4, align);  // pixel-store state restored
}

TEST(GraphicsText, SingleCharacterSetsItsOwnPixelStore) {
    REQUIRE_GL_WINDOW();
    freshFrame();
    ofSetColor(255, 255, 255);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glRasterPos2f(100, 100);
    const auto start = rasterPosition();
    ofDrawBitmapCharacter('W');
    expectGlyphAt('W', static_cast<int>(std::floor(start[0] + 0.5f)),
                  static_cast<int>(std::floor(start[1] + 0.5f)) - 3);
    EXPECT_NEAR(start[0] + 8, rasterPosition()[0], 1e-2);
    ofDrawBitmapCharacter(300);  // out of range: nothing, no advance
    ofDrawBitmapCharacter(-1);
    EXPECT_NEAR(start[0] + 8, rasterPosition()[0], 1e-2);
}

TEST(GraphicsText, NewlinesStepThirteenPointSixAndControlBytesAreSkipped) {
    REQUIRE_GL_WINDOW();
    freshFrame();
    const int h = windowHeight();
    const int offsets[] = {13, 27, 40, 54, 68, 81};
    for (int k = 1; k <= 6; k++) {
        ofDrawBitmapString(std::string(static_cast<size_t>(k), '\n'), 10, 20);
        const auto p = rasterPosition();
        EXPECT_NEAR(10, p[0], 1e-2) << k;
        EXPECT_NEAR(h - (20 + offsets[k - 1]), p[1], 1e-2) << k;
    }

    ofDrawBitmapString("\t\x80\xff\x1f", 10, 20);
    EXPECT_NEAR(10, rasterPosition()[0], 1e-2);
    EXPECT_FALSE(lit(12, 15));
    ofDrawBitmapString(std::string("a\x7f b", 4), 10, 20);  // DEL and space draw blanks but advance
    EXPECT_NEAR(10 + 32, rasterPosition()[0], 1e-2);
}

}  // namespace
