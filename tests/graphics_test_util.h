#pragma once
// Helpers for drawing tests: a cleared window in the framework's pixel
// projection, and pixel reads in the same top-left, y-down coordinates.

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <array>
#include <ostream>

#include "framework/ofGraphics.h"
#include "tests/gl_fixture.h"

namespace testgfx {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

inline std::ostream& operator<<(std::ostream& os, const Rgb& c) {
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

const Rgb kBlack{0, 0, 0};
const Rgb kRed{255, 0, 0};
const Rgb kGreen{0, 255, 0};
const Rgb kWhite{255, 255, 255};

inline int windowWidth() { return glutGet(GLUT_WINDOW_WIDTH); }
inline int windowHeight() { return glutGet(GLUT_WINDOW_HEIGHT); }

// Clears to black and sets the pixel projection over the whole window.
inline void freshFrame() {
    glViewport(0, 0, windowWidth(), windowHeight());
    glDisable(GL_BLEND);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ofSetupScreen();
}

// The colour of pixel (x, y), counted from the window's top-left corner.
inline Rgb pixelAt(int x, int y) {
    glFinish();
    unsigned char px[4] = {0, 0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, windowHeight() - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    return Rgb{px[0], px[1], px[2]};
}

inline bool lit(int x, int y) { return !(pixelAt(x, y) == kBlack); }

inline int attribStackDepth() {
    GLint depth = -1;
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &depth);
    return depth;
}

}  // namespace testgfx
