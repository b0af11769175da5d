#include "framework/ofGraphics.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include "framework/ofAppRunner.h"
#include "framework/ofGraphicsState.h"
#include "framework/ofUtils.h"

float drawMode = OF_FILLED;
bool bBakgroundAuto = true;
bool bUsingArbTex = true;
int curveResolution = 20;
int polyMode = OF_POLY_WINDING_ODD;
int cornerMode = OF_RECTMODE_CORNER;
bool bSmoothHinted = false;
float bgColor[4] = {0, 0, 0, 0};
int numCirclePts = 0;
bool bSetupCircle = false;
ofStyle currentStyle;

namespace {

constexpr int kMaxCirclePts = 1024;
constexpr size_t kMaxStyleHistory = 32;

float circlePts[kMaxCirclePts * 2];
float circlePtsScaled[kMaxCirclePts * 2];
float rectPoints[8];
float linePoints[4];
float trianglePoints[6];

std::deque<ofStyle> styleHistory;

float clampUnit(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

void setupCircle() { ofSetCircleResolution(22); }

void drawVertices(GLenum mode, const float* points, GLsizei count) {
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, points);
    glDrawArrays(mode, 0, count);
}

bool outlineSmoothed() { return bSmoothHinted && drawMode == OF_OUTLINE; }

// Draws a closed primitive filled or as an outline, smoothing outlines when
// asked to.
void drawClosed(GLenum filledMode, const float* points, GLsizei count) {
    const bool smooth = outlineSmoothed();
    if (smooth) startSmoothing();
    drawVertices(drawMode == OF_FILLED ? filledMode : GL_LINE_LOOP, points, count);
    if (smooth) endSmoothing();
}

void drawScaledCircle(float x, float y, float scaleX, float scaleY) {
    if (!bSetupCircle) setupCircle();
    for (int i = 0; i < numCirclePts; i++) {
        circlePtsScaled[i * 2] = x + scaleX * circlePts[i * 2];
        circlePtsScaled[i * 2 + 1] = y + scaleY * circlePts[i * 2 + 1];
    }
    drawClosed(GL_TRIANGLE_FAN, circlePtsScaled, numCirclePts);
}

}  // namespace

// ---------------------------------------------------------------------------
// State and colour

void ofBackground(int r, int g, int b) {
    bgColor[0] = static_cast<float>(r) / 255.0f;
    bgColor[1] = static_cast<float>(g) / 255.0f;
    bgColor[2] = static_cast<float>(b) / 255.0f;
    bgColor[3] = 1.0f;
    if (!bBakgroundAuto) {
        glClearColor(bgColor[0], bgColor[1], bgColor[2], bgColor[3]);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
}

void ofSetBackgroundAuto(bool bAuto) { bBakgroundAuto = bAuto; }

bool ofbClearBg() { return bBakgroundAuto; }

float* ofBgColorPtr() { return bgColor; }

void ofFill() {
    drawMode = OF_FILLED;
    currentStyle.filled = true;
}

void ofNoFill() {
    drawMode = OF_OUTLINE;
    currentStyle.filled = false;
}

void ofSetColor(int r, int g, int b) { ofSetColor(r, g, b, 255); }

void ofSetColor(int r, int g, int b, int a) {
    const float red = clampUnit(static_cast<float>(r) / 255.0f);
    const float green = clampUnit(static_cast<float>(g) / 255.0f);
    const float blue = clampUnit(static_cast<float>(b) / 255.0f);
    const float alpha = clampUnit(static_cast<float>(a) / 255.0f);
    glColor4f(red, green, blue, alpha);
    currentStyle.color = ofColor(red * 255.0f, green * 255.0f, blue * 255.0f, alpha * 255.0f);
}

void ofSetColor(int hexColor) { ofSetColor((hexColor >> 16) & 0xff, (hexColor >> 8) & 0xff, hexColor & 0xff); }

void ofEnableAlphaBlending() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    currentStyle.blending = true;
}

void ofDisableAlphaBlending() {
    glDisable(GL_BLEND);
    currentStyle.blending = false;
}

void ofEnableSmoothing() {
    bSmoothHinted = true;
    currentStyle.smoothing = true;
}

void ofDisableSmoothing() {
    bSmoothHinted = false;
    currentStyle.smoothing = false;
}

void ofSetLineWidth(float lineWidth) {
    glLineWidth(lineWidth);
    currentStyle.lineWidth = lineWidth;
}

void ofSetRectMode(int mode) {
    if (mode == OF_RECTMODE_CORNER || mode == OF_RECTMODE_CENTER) cornerMode = mode;
    currentStyle.rectMode = cornerMode;
}

int ofGetRectMode() { return cornerMode; }

void ofSetPolyMode(int mode) {
    if (mode >= OF_POLY_WINDING_ODD && mode <= OF_POLY_WINDING_ABS_GEQ_TWO)
        polyMode = mode;
    else
        ofLog(OF_LOG_ERROR, " error in ofSetPolyMode");
    currentStyle.polyMode = polyMode;
}

void ofSetCurveResolution(int res) { curveResolution = res; }

void ofSetCircleResolution(int res) {
    const int n = res > kMaxCirclePts - 1 ? kMaxCirclePts : (res < 1 ? 1 : res);
    if (n <= 1 || n == numCirclePts) return;
    numCirclePts = n;
    currentStyle.circleResolution = n;
    const float step = static_cast<float>(TWO_PI / n);
    float angle = 0.0f;
    for (int i = 0; i < n; i++) {
        circlePts[i * 2] = static_cast<float>(std::cos(static_cast<double>(angle)));
        circlePts[i * 2 + 1] = static_cast<float>(std::sin(static_cast<double>(angle)));
        angle += step;
    }
    bSetupCircle = true;
}

bool ofGetUsingArbTex() { return bUsingArbTex; }
void ofEnableArbTex() { bUsingArbTex = true; }
void ofDisableArbTex() { bUsingArbTex = false; }

void ofSetupGraphicDefaults() {
    glEnableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);

    ofDisableSmoothing();
    ofDisableAlphaBlending();
    ofBackground(200, 200, 200);
    ofSetColor(255, 255, 255, 255);
}

void ofSetupScreen() {
    float w = static_cast<float>(ofGetWidth());
    float h = static_cast<float>(ofGetHeight());
    // Without a framework window, or with a collapsed one, follow the viewport
    // so the projection stays finite.
    if (w < 1 || h < 1) {
        GLint viewport[4] = {0, 0, 0, 0};
        glGetIntegerv(GL_VIEWPORT, viewport);
        if (w < 1) w = static_cast<float>(std::max(viewport[2], 1));
        if (h < 1) h = static_cast<float>(std::max(viewport[3], 1));
    }

    const float halfFov = 0.5235988f;
    const float halfW = w * 0.5f;
    const float halfH = h * 0.5f;
    const float dist = halfH / tanf(halfFov);
    const float nearDist = dist / 10.0f;
    const float farDist = dist * 10.0f;
    const float aspect = w / h;

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60, aspect, nearDist, farDist);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(halfW, halfH, dist, halfW, halfH, 0, 0, 1, 0);

    glScalef(1, -1, 1);
    glTranslatef(0, -h, 0);
}

// ---------------------------------------------------------------------------
// Smoothing wrap

void startSmoothing() {
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_ENABLE_BIT);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void endSmoothing() { glPopAttrib(); }

// ---------------------------------------------------------------------------
// Matrix stack

void ofPushMatrix() { glPushMatrix(); }
void ofPopMatrix() { glPopMatrix(); }
void ofTranslate(float x, float y, float z) { glTranslatef(x, y, z); }
void ofScale(float xAmnt, float yAmnt, float zAmnt) { glScalef(xAmnt, yAmnt, zAmnt); }
void ofRotate(float degrees, float vecX, float vecY, float vecZ) { glRotatef(degrees, vecX, vecY, vecZ); }
void ofRotateX(float degrees) { glRotatef(degrees, 1, 0, 0); }
void ofRotateY(float degrees) { glRotatef(degrees, 0, 1, 0); }
void ofRotateZ(float degrees) { glRotatef(degrees, 0, 0, 1); }
void ofRotate(float degrees) { glRotatef(degrees, 0, 0, 1); }

// ---------------------------------------------------------------------------
// Primitives

void ofRect(float x, float y, float w, float h) {
    if (cornerMode == OF_RECTMODE_CENTER) {
        x -= w / 2;
        y -= h / 2;
    }
    rectPoints[0] = x;
    rectPoints[1] = y;
    rectPoints[2] = x + w;
    rectPoints[3] = y;
    rectPoints[4] = x + w;
    rectPoints[5] = y + h;
    rectPoints[6] = x;
    rectPoints[7] = y + h;
    drawClosed(GL_TRIANGLE_FAN, rectPoints, 4);
}

void ofLine(float x1, float y1, float x2, float y2) {
    linePoints[0] = x1;
    linePoints[1] = y1;
    linePoints[2] = x2;
    linePoints[3] = y2;
    if (bSmoothHinted) startSmoothing();
    drawVertices(GL_LINES, linePoints, 2);
    if (bSmoothHinted) endSmoothing();
}

void ofTriangle(float x1, float y1, float x2, float y2, float x3, float y3) {
    trianglePoints[0] = x1;
    trianglePoints[1] = y1;
    trianglePoints[2] = x2;
    trianglePoints[3] = y2;
    trianglePoints[4] = x3;
    trianglePoints[5] = y3;
    drawClosed(GL_TRIANGLES, trianglePoints, 3);
}

void ofCircle(float x, float y, float radius) { drawScaledCircle(x, y, radius, radius); }

void ofEllipse(float x, float y, float width, float height) {
    drawScaledCircle(x, y, width * 0.5f, height * 0.5f);
}

// ---------------------------------------------------------------------------
// Styles

ofStyle ofGetStyle() { return currentStyle; }

void ofSetStyle(ofStyle style) {
    ofSetColor(static_cast<int>(style.color.r), static_cast<int>(style.color.g), static_cast<int>(style.color.b),
               static_cast<int>(style.color.a));
    ofSetCircleResolution(style.circleResolution);
    ofSetLineWidth(style.lineWidth);
    ofSetRectMode(style.rectMode);
    ofSetPolyMode(style.polyMode);
    if (style.filled)
        ofFill();
    else
        ofNoFill();
    if (style.smoothing)
        ofEnableSmoothing();
    else
        ofDisableSmoothing();
    if (style.blending)
        ofEnableAlphaBlending();
    else
        ofDisableAlphaBlending();
}

void ofPushStyle() {
    styleHistory.push_front(currentStyle);
    while (styleHistory.size() > kMaxStyleHistory) styleHistory.pop_back();
}

void ofPopStyle() {
    if (styleHistory.empty()) return;
    ofStyle style = styleHistory.front();
    styleHistory.pop_front();
    ofSetStyle(style);
}
