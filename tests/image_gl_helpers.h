#pragma once
// Pixel-space drawing and read-back for the texture and image tests.

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/ofAppRunner.h"
#include "tests/gl_fixture.h"

namespace imgtest {

// Gives the framework the test window's size (ofGetHeight) without making
// a second window.
class TestSizeWindow : public ofAppBaseWindow {
public:
    ofPoint getWindowSize() override {
        return ofPoint(static_cast<float>(glutGet(GLUT_WINDOW_WIDTH)), static_cast<float>(glutGet(GLUT_WINDOW_HEIGHT)));
    }
};

inline int windowHeight() { return glutGet(GLUT_WINDOW_HEIGHT); }

// Top-left origin, y down, one unit a pixel; window cleared to black.
inline void pixelScreen() {
    static TestSizeWindow window;
    static const bool registered = (ofSetupOpenGL(&window, 0, 0, 0), true);
    (void)registered;
    const int w = glutGet(GLUT_WINDOW_WIDTH), h = windowHeight();
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, w, h, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_BLEND);
    glDisable(GL_SCISSOR_TEST);
    glColor4f(1, 1, 1, 1);
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
}

using Pixel = std::array<int, 4>;

// Pixel (x, y) with y counted down from the top.
inline Pixel readPixel(int x, int y) {
    unsigned char p[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, windowHeight() - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
}

// Fills a window rectangle (top-left x, y; y down) with one colour.
inline void fillRect(int x, int y, int w, int h, float r, float g, float b) {
    glEnable(GL_SCISSOR_TEST);
    glScissor(x, windowHeight() - y - h, w, h);
    glClearColor(r, g, b, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 1);
}

inline bool near(const Pixel& p, int r, int g, int b, int tol = 2) {
    return std::abs(p[0] - r) <= tol && std::abs(p[1] - g) <= tol && std::abs(p[2] - b) <= tol;
}

inline std::string show(const Pixel& p) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "(%d, %d, %d, %d)", p[0], p[1], p[2], p[3]);
    return buf;
}

}  // namespace imgtest
