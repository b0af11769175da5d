#pragma once
// The immediate-mode drawing layer: one process-wide drawing state, simple
// primitives, the pixel projection, a style stack, bitmap text, and free-form
// shapes and curves through the GLU tessellator. Render thread only.

#include "framework/ofBitmapFont.h"
#include "framework/ofConstants.h"

#ifndef OF_FILLED
#define OF_FILLED 0x01
#endif
#ifndef OF_OUTLINE
#define OF_OUTLINE 0x02
#endif

#ifndef OF_RECTMODE_CORNER
#define OF_RECTMODE_CORNER 0
#endif
#ifndef OF_RECTMODE_CENTER
#define OF_RECTMODE_CENTER 1
#endif

// Winding rules for shapes (the GLU values).
#ifndef OF_POLY_WINDING_ODD
#define OF_POLY_WINDING_ODD 100130
#define OF_POLY_WINDING_NONZERO 100131
#define OF_POLY_WINDING_POSITIVE 100132
#define OF_POLY_WINDING_NEGATIVE 100133
#define OF_POLY_WINDING_ABS_GEQ_TWO 100134
#endif

class ofColor {
public:
    ofColor() = default;
    ofColor(float red, float green, float blue, float alpha = 255) : r(red), g(green), b(blue), a(alpha) {}
    virtual ~ofColor() = default;

    float r = 255, g = 255, b = 255, a = 255;
};

class ofStyle {
public:
    virtual ~ofStyle() = default;

    ofColor color;  // 0..255 per component
    int polyMode = OF_POLY_WINDING_ODD;
    int rectMode = OF_RECTMODE_CORNER;
    bool filled = true;
    bool blending = false;
    bool smoothing = false;
    int circleResolution = 20;
    float lineWidth = 1.0f;
};

// State and colour.
void ofBackground(int r, int g, int b);
void ofSetBackgroundAuto(bool bAuto);
bool ofbClearBg();
float* ofBgColorPtr();
void ofFill();
void ofNoFill();
void ofSetColor(int r, int g, int b);
void ofSetColor(int r, int g, int b, int a);
void ofSetColor(int hexColor);
void ofEnableAlphaBlending();
void ofDisableAlphaBlending();
void ofEnableSmoothing();
void ofDisableSmoothing();
void ofSetLineWidth(float lineWidth);
void ofSetRectMode(int mode);
int ofGetRectMode();
void ofSetPolyMode(int mode);
void ofSetCurveResolution(int res);
void ofSetCircleResolution(int res);
bool ofGetUsingArbTex();
void ofEnableArbTex();
void ofDisableArbTex();

void ofSetupGraphicDefaults();
// Top-left origin, y down, one unit per pixel in the plane z = 0.
void ofSetupScreen();

// Matrix stack.
void ofPushMatrix();
void ofPopMatrix();
void ofTranslate(float x, float y, float z = 0);
void ofScale(float xAmnt, float yAmnt, float zAmnt = 1);
void ofRotate(float degrees, float vecX, float vecY, float vecZ);
void ofRotateX(float degrees);
void ofRotateY(float degrees);
void ofRotateZ(float degrees);
void ofRotate(float degrees);

// Primitives.
void ofRect(float x, float y, float w, float h);
void ofLine(float x1, float y1, float x2, float y2);
void ofTriangle(float x1, float y1, float x2, float y2, float x3, float y3);
void ofCircle(float x, float y, float radius);
void ofEllipse(float x, float y, float width, float height);

// Styles; the history keeps the newest 32.
ofStyle ofGetStyle();
void ofSetStyle(ofStyle style);
void ofPushStyle();
void ofPopStyle();

// Shapes. Fill mode and smoothing are read at ofBeginShape. In outline mode
// with the odd winding rule each contour is drawn as a line strip as soon as
// it ends, in the colour current then; otherwise the whole shape is
// tessellated and drawn at ofEndShape.
void ofBeginShape();
void ofVertex(float x, float y);
void ofCurveVertex(float x, float y);
void ofBezierVertex(float x1, float y1, float x2, float y2, float x3, float y3);
void ofNextContour(bool bClose = false);
void ofEndShape(bool bClose = false);
void ofCurve(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3);
void ofBezier(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3);
