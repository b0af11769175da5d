#include "tests/gl_fixture.h"  // GLEW before any other GL header

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "core/MyOfAppGlutWindow.h"
#include "framework/ofAppGlutWindow.h"
#include "framework/ofAppRunner.h"
#include "framework/ofGraphics.h"

namespace {

// Records every call the window makes into the application.
class RecordingApp : public ofBaseApp {
public:
    std::vector<std::string> calls;
    void setup() override { calls.push_back("setup"); }
    void update() override { calls.push_back("update"); }
    void draw() override { calls.push_back("draw"); }
    void keyPressed(int key) override { calls.push_back("keyPressed " + std::to_string(key)); }
    void keyReleased(int key) override { calls.push_back("keyReleased " + std::to_string(key)); }
    void mouseMoved(int x, int y) override { calls.push_back("mouseMoved"); }
    void mouseDragged(int x, int y, int b) override { calls.push_back("mouseDragged " + std::to_string(b)); }
    void mousePressed(int x, int y, int b) override { calls.push_back("mousePressed " + std::to_string(b)); }
    void mouseReleased() override { calls.push_back("mouseReleased()"); }
    void mouseReleased(int x, int y, int b) override { calls.push_back("mouseReleased " + std::to_string(b)); }
    void windowResized(int w, int h) override { calls.push_back("windowResized"); }
};

}  // namespace

TEST(FramePacing, SleepsForTheRestOfThePeriod) {
    struct Case { int frame; bool paced; int diff; int period; int sleep; };
    const Case cases[] = {
        {5, true, 10, 25, 15},   // early: sleep the remainder
        {5, true, 25, 25, 0},    // exactly on time: Sleep(0)
        {5, true, 30, 25, -1},   // late: no sleep
        {0, true, 0, 25, -1},    // the first step never sleeps
        {5, false, 0, 25, -1},   // pacing off
        {5, true, 0, 16, 16},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ofIdleSleepMillis(c.frame, c.paced, c.diff, c.period), c.sleep)
            << "frame " << c.frame << " diff " << c.diff;
}

TEST(FramePacing, PeriodFromRate) {
    EXPECT_EQ(ofMillisForFrame(40), 25);
    EXPECT_EQ(ofMillisForFrame(60), 16);
    EXPECT_EQ(ofMillisForFrame(30), 33);

    MyOfAppGlutWindow win;
    win.setFrameRate(40);
    EXPECT_TRUE(ofAppGlutWindow::bFrameRateSet);
    EXPECT_EQ(ofAppGlutWindow::millisForFrame, 25);
    EXPECT_FLOAT_EQ(win.getFrameRate(), 40);
    ofAppGlutWindow::frameRate = 37;
    win.setFrameRate(0);
    EXPECT_FALSE(ofAppGlutWindow::bFrameRateSet);
    EXPECT_FLOAT_EQ(win.getFrameRate(), 37);  // left as it was
}

TEST(FrameRateMeasure, Smoothing) {
    EXPECT_FLOAT_EQ(ofSmoothFrameRate(40, 0.025f), 40);
    EXPECT_FLOAT_EQ(ofSmoothFrameRate(40, 0.050f), 38);
    EXPECT_FLOAT_EQ(ofSmoothFrameRate(40, 0.000001f), 40);  // too close together
}

TEST(InputCallbacks, MouseIsGatedUntilTheFirstFrameKeysAreNot) {
    MyOfAppGlutWindow win;
    RecordingApp app;
    ofAppGlutWindow::ofAppPtr = &app;
    ofAppGlutWindow::nFrameCount = 0;
    app.mouseX = app.mouseY = -1;
    ofAppGlutWindow::mouse_cb(GLUT_LEFT_BUTTON, GLUT_DOWN, 10, 20);
    ofAppGlutWindow::motion_cb(11, 21);
    ofAppGlutWindow::passive_motion_cb(12, 22);
    ofAppGlutWindow::keyboard_up_cb('a', 0, 0);
    EXPECT_EQ(app.calls, std::vector<std::string>{"keyReleased 97"});
    EXPECT_EQ(app.mouseX, -1);
    EXPECT_EQ(app.mouseY, -1);
    ofAppGlutWindow::ofAppPtr = nullptr;
}

TEST(InputCallbacks, ButtonsReleaseOrderAndSpecialKeys) {
    MyOfAppGlutWindow win;
    RecordingApp app;
    ofAppGlutWindow::ofAppPtr = &app;
    ofAppGlutWindow::nFrameCount = 1;
    ofAppGlutWindow::mouse_cb(GLUT_RIGHT_BUTTON, GLUT_DOWN, 5, 6);
    EXPECT_EQ(app.mouseX, 5);
    EXPECT_EQ(app.mouseY, 6);
    ofAppGlutWindow::motion_cb(7, 8);
    ofAppGlutWindow::mouse_cb(GLUT_RIGHT_BUTTON, GLUT_UP, 7, 8);
    // A drag reports the button of the last press or release.
    ofAppGlutWindow::mouse_cb(GLUT_LEFT_BUTTON, GLUT_UP, 7, 8);
    ofAppGlutWindow::motion_cb(9, 9);
    ofAppGlutWindow::special_key_cb(GLUT_KEY_F1, 0, 0);
    ofAppGlutWindow::special_key_up_cb(GLUT_KEY_F1, 0, 0);
    ofAppGlutWindow::special_key_cb(GLUT_KEY_LEFT, 0, 0);
    ofAppGlutWindow::resize_cb(300, 200);
    const std::vector<std::string> expected = {
        "mousePressed 2", "mouseDragged 2", "mouseReleased 2", "mouseReleased()",
        "mouseReleased 0", "mouseReleased()", "mouseDragged 0",
        "keyPressed 257", "keyReleased 257", "keyPressed 356", "windowResized"};
    EXPECT_EQ(app.calls, expected);
    EXPECT_EQ(ofAppGlutWindow::windowW, 300);
    EXPECT_EQ(ofAppGlutWindow::windowH, 200);
    EXPECT_EQ(ofAppGlutWindow::nFramesSinceWindowResized, 0);
    ofAppGlutWindow::ofAppPtr = nullptr;
}

// The real window under the X server: creation reports the size, frames run
// update then draw, and the first windowed display step keeps the size.
TEST(GlutWindow, FramesRunUpdateThenDraw) {
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no X display";
    MyOfAppGlutWindow win;
    ofSetupOpenGL(&win, 320, 240, 0);
    std::atexit(testgl::leakCheckBeforeGlutExit);
    EXPECT_EQ(ofGetWidth(), 320);
    EXPECT_EQ(ofGetHeight(), 240);
    EXPECT_EQ(ofAppGlutWindow::requestedWidth, 320);
    win.initializeWindow();
    RecordingApp app;
    ofAppGlutWindow::ofAppPtr = &app;
    // glutMainLoopEvent runs display but not idle, so step idle by hand.
    for (int i = 0; i < 200 && ofGetFrameNum() < 3; ++i) {
        ofAppGlutWindow::idle_cb();
        glutMainLoopEvent();
    }
    EXPECT_GE(ofGetFrameNum(), 3);
    ASSERT_GE(app.calls.size(), 2u);
    // Every idle step asks for one display step.
    size_t updates = 0, draws = 0;
    for (const std::string& c : app.calls) {
        updates += c == "update";
        draws += c == "draw";
    }
    EXPECT_GE(draws, 3u);
    EXPECT_LE(draws, updates + 1);
    EXPECT_FALSE(ofAppGlutWindow::bNewScreenMode);
    EXPECT_EQ(ofGetWidth(), 320);
    ofAppGlutWindow::ofAppPtr = nullptr;
}

// A window where draw() fills whatever it may touch with one colour.
namespace {
class FillingApp : public ofBaseApp {
public:
    float red = 1, green = 0, blue = 0;
    int draws = 0;
    void draw() override {
        ++draws;
        glClearColor(red, green, blue, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
};

// What the window shows, read back from the X server: RGB per pixel, top
// row first.
std::vector<unsigned char> shownPixels(int w, int h) {
    std::vector<unsigned char> px(static_cast<size_t>(w) * h * 3);
    Display* dpy = glXGetCurrentDisplay();
    XSync(dpy, False);
    XImage* image = XGetImage(dpy, glXGetCurrentDrawable(), 0, 0, w, h, AllPlanes, ZPixmap);
    if (!image) return px;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const unsigned long v = XGetPixel(image, x, y);
            unsigned char* p = &px[(static_cast<size_t>(y) * w + x) * 3];
            p[0] = static_cast<unsigned char>((v & image->red_mask) >> 16);
            p[1] = static_cast<unsigned char>((v & image->green_mask) >> 8);
            p[2] = static_cast<unsigned char>(v & image->blue_mask);
        }
    }
    XDestroyImage(image);
    return px;
}

// Opens the test's window, 64 x 48, with the callbacks in place and all of
// it on screen, where the server can read it back.
void openWindow(MyOfAppGlutWindow& win) {
    ofSetupOpenGL(&win, 64, 48, 0);
    std::atexit(testgl::leakCheckBeforeGlutExit);
    win.initializeWindow();
    win.setWindowPosition(20, 20);
}

// Runs idle and display steps until the application has drawn `n` more times.
void drawFrames(FillingApp& app, int n) {
    const int until = app.draws + n;
    for (int i = 0; i < 400 && app.draws < until; ++i) {
        ofAppGlutWindow::idle_cb();
        glutMainLoopEvent();
    }
}
}  // namespace

// A redraw of part of the window changes what the window shows there and
// nowhere else; asking for the whole window as well draws it all.
TEST(GlutWindow, ARegionRedrawShowsOnlyThatRegion) {
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no X display";
    MyOfAppGlutWindow win;
    openWindow(win);
    FillingApp app;
    ofAppGlutWindow::ofAppPtr = &app;
    ofAppGlutWindow::setRedrawOnDemand(true);
    for (int i = 0; i < 200 && ofGetFrameNum() < 4; ++i) {
        ofAppGlutWindow::requestRedraw();
        ofAppGlutWindow::idle_cb();
        glutMainLoopEvent();
    }
    ASSERT_GE(ofGetFrameNum(), 4);
    glFinish();
    for (int i = 0; i < 20; ++i) glutMainLoopEvent();

    // Green, but only a box 8 wide and 6 high at (10, 20) from the top left.
    app.red = 0;
    app.green = 1;
    ofAppGlutWindow::requestRedrawRegion(10, 20, 8, 6);
    const int drawsBefore = app.draws;
    ofAppGlutWindow::idle_cb();
    glFinish();
    EXPECT_EQ(app.draws, drawsBefore + 1);
    std::vector<unsigned char> px = shownPixels(64, 48);
    int inside = 0, outside = 0;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            const unsigned char* p = &px[(static_cast<size_t>(y) * 64 + x) * 3];
            const bool inBox = x >= 10 && x < 18 && y >= 20 && y < 26;
            const bool green = p[0] == 0 && p[1] == 255;
            const bool red = p[0] == 255 && p[1] == 0;
            if (inBox) inside += green;
            else outside += red;
        }
    }
    EXPECT_EQ(inside, 8 * 6) << "the box was not shown green";
    EXPECT_EQ(outside, 64 * 48 - 8 * 6) << "pixels outside the box changed";

    // A whole-window request wins over a region asked for in the same step.
    app.green = 0;
    app.blue = 1;
    ofAppGlutWindow::requestRedrawRegion(0, 0, 4, 4);
    ofAppGlutWindow::requestRedraw();
    drawFrames(app, 1);
    glFinish();
    px = shownPixels(64, 48);
    int blue = 0;
    for (size_t i = 0; i < px.size(); i += 3) blue += px[i] == 0 && px[i + 1] == 0 && px[i + 2] == 255;
    EXPECT_EQ(blue, 64 * 48);
    ofAppGlutWindow::ofAppPtr = nullptr;
}

// The window's position is asked of the X server once and then only after
// the window moved, however often the frames ask for it.
TEST(GlutWindow, PositionIsAskedOfTheServerOnlyAfterAMove) {
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no X display";
    MyOfAppGlutWindow win;
    openWindow(win);
    for (int i = 0; i < 50; ++i) glutMainLoopEvent();

    const int queries = ofAppGlutWindow::positionQueries;
    const int x0 = ofGetWindowPositionX();
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(ofGetWindowPositionX(), x0);
        ofGetWindowPositionY();
        glutMainLoopEvent();
    }
    EXPECT_EQ(ofAppGlutWindow::positionQueries, queries + 1);

    // Moved by someone else, as a user or a window manager would.
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    XMoveWindow(other, glXGetCurrentDrawable(), x0 + 37, 90);
    XSync(other, False);
    XCloseDisplay(other);
    int x = x0;
    for (int i = 0; i < 200 && x != x0 + 37; ++i) {
        glutMainLoopEvent();
        x = ofGetWindowPositionX();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(x, x0 + 37);
    EXPECT_EQ(ofGetWindowPositionY(), 90);
}

// Another thread asks the process to end: the render thread's frame loop
// ends it, with the code that was asked for, running the application's exit
// on its own thread. The asking thread's fallback would end the process
// after 2 s without the exit; the render thread answers within a frame.
namespace {
std::chrono::steady_clock::time_point gAskedToEnd;

class ExitReportingApp : public ofBaseApp {
public:
    void exit() override {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - gAskedToEnd)
                            .count();
        std::fprintf(stderr, "exit ran %s the render thread, %lld ms after the request\n",
                     ofOnRenderThread() ? "on" : "off", static_cast<long long>(ms));
        if (ofOnRenderThread() && ms < 1000)
            std::fprintf(stderr, "exit: render thread, in time\n");
    }
};
}  // namespace

TEST(ExitPath, TheRenderThreadEndsTheProcessWithTheRequestedCode) {
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no X display";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            static MyOfAppGlutWindow win;
            std::atomic<bool> running{false};
            std::thread render([&running] {
                ofSetupOpenGL(&win, 64, 64, 0);
                running.store(true);
                ofRunApp(new ExitReportingApp);  // the framework deletes it at exit
            });
            render.detach();
            while (!running.load())
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            gAskedToEnd = std::chrono::steady_clock::now();
            ofEndProcess(3);
        },
        ::testing::ExitedWithCode(3), "exit: render thread, in time");
}
