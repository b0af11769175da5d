#include "gl_fixture.h"  // GLEW before any other GL header

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "MyOfAppGlutWindow.h"
#include "ofAppGlutWindow.h"
#include "ofAppRunner.h"

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
