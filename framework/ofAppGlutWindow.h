#pragma once

#include <atomic>

#include "framework/ofAppBaseWindow.h"

// Frame pacing and rate measure, kept apart from GLUT so they can be checked
// without a window.
// Milliseconds the idle step sleeps, or -1 when it does not sleep.
int ofIdleSleepMillis(int nFrameCount, bool bFrameRateSet, int diffMillis, int millisForFrame);
int ofMillisForFrame(float rate);
float ofSmoothFrameRate(float frameRate, float diff);

// The drawing window on GLUT. There is one per process, so its state is
// process-wide and the GLUT callbacks are static.
class ofAppGlutWindow : public ofAppBaseWindow {
public:
    ofAppGlutWindow();
    ~ofAppGlutWindow() override {}

    void setupOpenGL(int w, int h, int screenMode) override;
    void initializeWindow() override;
    void runAppViaInfiniteLoop(ofBaseApp* appPtr) override;

    void hideCursor() override;
    void showCursor() override;
    void setWindowPosition(int x, int y) override;
    void setWindowShape(int w, int h) override;
    int getFrameNum() override;
    float getFrameRate() override;
    double getLastFrameTime() override;
    ofPoint getWindowPosition() override;
    ofPoint getWindowSize() override;
    ofPoint getScreenSize() override;
    void setFrameRate(float targetRate) override;
    void setWindowTitle(std::string title) override;
    int getWindowMode() override;
    void setFullscreen(bool fullscreen) override;
    void toggleFullscreen() override;
    void enableSetupScreen() override;
    void disableSetupScreen() override;

    static void exitApp();

    static void display();
    static void mouse_cb(int button, int state, int x, int y);
    static void motion_cb(int x, int y);
    static void passive_motion_cb(int x, int y);
    static void idle_cb();
    static void keyboard_cb(unsigned char key, int x, int y);
    static void keyboard_up_cb(unsigned char key, int x, int y);
    static void special_key_cb(int key, int x, int y);
    static void special_key_up_cb(int key, int x, int y);
    static void resize_cb(int w, int h);
    // The window moved: its position is asked of the server again.
    static void position_cb(int x, int y);

    // Ends the run when the window is closed; installed with the callbacks.
    static void close_cb();

    // Registers the ten framework callbacks, the close hook and the move hook.
    static void registerCallbacks();

    // Drawing on demand: the idle step still runs the application's update
    // every frame, but asks for a display step only after requestRedraw()
    // (any thread) or input. Exposes and resizes are redrawn by GLUT itself.
    static void setRedrawOnDemand(bool onDemand);
    static void requestRedraw();
    // Only the rectangle (window pixels, top-left origin) changed: the next
    // idle step redraws that part and shows it, unless something asks for
    // the whole window meanwhile. Render thread only.
    static void requestRedrawRegion(int x, int y, int w, int h);
    // A display step limited to the rectangle; a whole one where the
    // driver cannot show part of the window.
    static void displayRegion(int x, int y, int w, int h);
    // Whether the next idle step asks for a display step; clears the request.
    static bool takeRedrawRequest();

    // The display step's drawing (viewport to the application's draw);
    // true when the background is cleared every frame.
    static bool drawFrame();
    // The display step's counting after the frame is shown.
    static void finishFrame();

    // Process-wide window state.
    static int windowMode;
    static bool bNewScreenMode;
    static int requestedWidth, requestedHeight;
    static int nonFullScreenX, nonFullScreenY;
    static int windowW, windowH;
    static int nFrameCount;
    static int nFramesSinceWindowResized;
    static float frameRate;
    static double lastFrameTime;
    static float timeThen;
    static bool bFrameRateSet;
    static int millisForFrame;
    static int prevMillis;
    static int diffMillis;
    static bool bEnableSetupScreen;
    static int buttonInUse;
    static ofBaseApp* ofAppPtr;
    static int handle;
    static bool bRedrawOnDemand;
    static std::atomic<bool> bRedrawRequested;
    // How often the window's position was asked of the X server.
    static int positionQueries;
};
