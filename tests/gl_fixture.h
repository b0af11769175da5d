#pragma once
// A small GLUT window with a current GL context for tests that need one.
// One window per test process; ctest runs every test case in its own process.

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace testgl {

inline void noDisplay() {}

// Runs the leak check while the GL driver is still loaded: once freeglut's
// exit handler has unloaded it, the driver's own allocations can no longer be
// told apart from ours.
inline void leakCheckBeforeGlutExit() {
#if defined(__SANITIZE_ADDRESS__)
    __lsan_do_leak_check();
#endif
}

// Opens the window on first use; later calls reuse it.
inline bool ensureWindow(int w = 256, int h = 256) {
    static bool ready = false;
    if (ready) return true;
    if (!std::getenv("DISPLAY")) return false;
    int argc = 1;
    char name[] = "wyrle-test";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    std::atexit(leakCheckBeforeGlutExit);  // runs before freeglut's handler
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_ALPHA | GLUT_DEPTH);
    glutInitWindowSize(w, h);
    glutCreateWindow("test");
    glutDisplayFunc(noDisplay);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) return false;
    for (int i = 0; i < 5; ++i) glutMainLoopEvent();
    ready = true;
    return true;
}

}  // namespace testgl

// Skips the test when no X display is there (the suite runs under xvfb-run).
#define REQUIRE_GL_WINDOW()                                          \
    do {                                                             \
        if (!testgl::ensureWindow()) GTEST_SKIP() << "no X display"; \
    } while (0)
