#include "framework/ofAppGlutWindow.h"

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <GL/glx.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "framework/ofAppRunner.h"
#include "framework/ofGraphics.h"
#include "framework/ofUtils.h"
#include "platform/win32.h"

int ofAppGlutWindow::windowMode = 0;
bool ofAppGlutWindow::bNewScreenMode = true;
int ofAppGlutWindow::requestedWidth = 0;
int ofAppGlutWindow::requestedHeight = 0;
int ofAppGlutWindow::nonFullScreenX = -1;
int ofAppGlutWindow::nonFullScreenY = -1;
int ofAppGlutWindow::windowW = 0;
int ofAppGlutWindow::windowH = 0;
int ofAppGlutWindow::nFrameCount = 0;
int ofAppGlutWindow::nFramesSinceWindowResized = 0;
float ofAppGlutWindow::frameRate = 60;
double ofAppGlutWindow::lastFrameTime = 0;
float ofAppGlutWindow::timeThen = 0;
bool ofAppGlutWindow::bFrameRateSet = false;
int ofAppGlutWindow::millisForFrame = 0;
int ofAppGlutWindow::prevMillis = 0;
int ofAppGlutWindow::diffMillis = 0;
bool ofAppGlutWindow::bEnableSetupScreen = true;
int ofAppGlutWindow::buttonInUse = 0;
ofBaseApp* ofAppGlutWindow::ofAppPtr = nullptr;
int ofAppGlutWindow::handle = 0;
bool ofAppGlutWindow::bRedrawOnDemand = false;
std::atomic<bool> ofAppGlutWindow::bRedrawRequested{true};

int ofAppGlutWindow::positionQueries = 0;

namespace {
// Asking the X server where the window is costs a round trip, and the frame
// step asks every frame. The answer holds until GLUT reports a move or a
// reshape, or the program moves the window itself. The position GLUT
// reports is not used: under a reparenting window manager it is relative
// to the frame.
bool positionKnown = false;
int positionX = 0, positionY = 0;

// The part of the window the next idle step redraws by itself, when nothing
// asked for the whole window; empty while left > right.
int regionLeft = INT_MAX, regionTop = INT_MAX, regionRight = INT_MIN, regionBottom = INT_MIN;

using CopySubBuffer = void (*)(Display*, GLXDrawable, int, int, int, int);

// Shows part of the back buffer without swapping, where the driver can.
CopySubBuffer copySubBuffer() {
    static const CopySubBuffer fn = []() -> CopySubBuffer {
        Display* dpy = glXGetCurrentDisplay();
        if (!dpy) return nullptr;
        const char* ext = glXQueryExtensionsString(dpy, DefaultScreen(dpy));
        if (!ext || !std::strstr(ext, "GLX_MESA_copy_sub_buffer")) return nullptr;
        return reinterpret_cast<CopySubBuffer>(
            glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXCopySubBufferMESA")));
    }();
    return fn;
}
}  // namespace

int ofIdleSleepMillis(int nFrameCount, bool bFrameRateSet, int diffMillis, int millisForFrame) {
    if (nFrameCount == 0 || !bFrameRateSet)
        return -1;
    if (diffMillis <= millisForFrame)
        return millisForFrame - std::max(diffMillis, 0);
    return -1;
}

int ofMillisForFrame(float rate) {
    return static_cast<int>((1.0f / rate) * 1000.0f);
}

float ofSmoothFrameRate(float frameRate, float diff) {
    if (diff > 0.00001f)
        return 0.9f * frameRate + 0.1f * (1.0f / diff);
    return frameRate;
}

ofAppGlutWindow::ofAppGlutWindow() {
    windowMode = 0;
    bNewScreenMode = true;
    requestedWidth = requestedHeight = 0;
    nonFullScreenX = nonFullScreenY = -1;
    windowW = windowH = 0;
    nFrameCount = 0;
    nFramesSinceWindowResized = 0;
    frameRate = 60;
    lastFrameTime = 0;
    timeThen = 0;
    bFrameRateSet = false;
    millisForFrame = 0;
    prevMillis = 0;
    diffMillis = 0;
    bEnableSetupScreen = true;
    buttonInUse = 0;
    bRedrawOnDemand = false;
    bRedrawRequested = true;
}

void ofAppGlutWindow::setupOpenGL(int w, int h, int screenMode) {
    int argc = 1;
    char name[] = "wyrle";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    // The close callback, not freeglut, decides how the process ends.
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_ALPHA | GLUT_DEPTH);

    windowMode = screenMode;
    bNewScreenMode = true;

    if (windowMode != OF_GAME_MODE) {
        glutInitWindowSize(w, h);
        handle = glutCreateWindow("");
        glewExperimental = GL_TRUE;
        glewInit();
        ofSetupGraphicDefaults();
        requestedWidth = glutGet(GLUT_WINDOW_WIDTH);
        requestedHeight = glutGet(GLUT_WINDOW_HEIGHT);
    } else {
        glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_ALPHA | GLUT_DEPTH);
        char gameStr[64];
        std::snprintf(gameStr, sizeof gameStr, "%dx%d:%d@%d", w, h, 32, 60);
        glutGameModeString(gameStr);
        if (!glutGameModeGet(GLUT_GAME_MODE_POSSIBLE))
            ofLog(OF_LOG_ERROR, "game mode error: selected format (%s) not available \n", gameStr);
        handle = glutEnterGameMode();
        glewExperimental = GL_TRUE;
        glewInit();
    }
    windowW = glutGet(GLUT_WINDOW_WIDTH);
    windowH = glutGet(GLUT_WINDOW_HEIGHT);
}

void ofAppGlutWindow::registerCallbacks() {
    glutMouseFunc(mouse_cb);
    glutMotionFunc(motion_cb);
    glutPassiveMotionFunc(passive_motion_cb);
    glutIdleFunc(idle_cb);
    glutDisplayFunc(display);
    glutKeyboardFunc(keyboard_cb);
    glutKeyboardUpFunc(keyboard_up_cb);
    glutSpecialFunc(special_key_cb);
    glutSpecialUpFunc(special_key_up_cb);
    glutReshapeFunc(resize_cb);
    glutPositionFunc(position_cb);
    nFramesSinceWindowResized = 0;
    // In place of a window-procedure hook: closing the window ends the run.
    glutCloseFunc(close_cb);
}

void ofAppGlutWindow::initializeWindow() {
    registerCallbacks();
}

void ofAppGlutWindow::close_cb() {
    ofEndProcess(0);
}

void ofAppGlutWindow::runAppViaInfiniteLoop(ofBaseApp* appPtr) {
    ofAppPtr = appPtr;
    if (ofAppPtr) {
        ofAppPtr->setup();
        ofAppPtr->update();
    }
    glutMainLoop();
}

void ofAppGlutWindow::setRedrawOnDemand(bool onDemand) { bRedrawOnDemand = onDemand; }

void ofAppGlutWindow::requestRedraw() { bRedrawRequested.store(true); }

void ofAppGlutWindow::requestRedrawRegion(int x, int y, int w, int h) {
    if (w <= 0 || h <= 0) return;
    regionLeft = std::min(regionLeft, x);
    regionTop = std::min(regionTop, y);
    regionRight = std::max(regionRight, x + w);
    regionBottom = std::max(regionBottom, y + h);
}

bool ofAppGlutWindow::takeRedrawRequest() {
    const bool requested = bRedrawRequested.exchange(false);
    return requested || !bRedrawOnDemand;
}

void ofAppGlutWindow::exitApp() {
    ofLog(OF_LOG_VERBOSE, "GLUT OF app is being terminated!");
    ofEndProcess(0);
}

void ofAppGlutWindow::hideCursor() { glutSetCursor(GLUT_CURSOR_NONE); }
void ofAppGlutWindow::showCursor() { glutSetCursor(GLUT_CURSOR_LEFT_ARROW); }
void ofAppGlutWindow::setWindowPosition(int x, int y) {
    glutPositionWindow(x, y);
    positionKnown = false;
}

void ofAppGlutWindow::setWindowShape(int w, int h) {
    glutReshapeWindow(w, h);
    positionKnown = false;
    requestedWidth = w;
    requestedHeight = h;
}

int ofAppGlutWindow::getFrameNum() { return nFrameCount; }
float ofAppGlutWindow::getFrameRate() { return frameRate; }
double ofAppGlutWindow::getLastFrameTime() { return lastFrameTime; }

ofPoint ofAppGlutWindow::getWindowPosition() {
    if (!positionKnown) {
        positionX = glutGet(GLUT_WINDOW_X);
        positionY = glutGet(GLUT_WINDOW_Y);
        positionKnown = true;
        ++positionQueries;
    }
    return ofPoint(positionX, positionY, 0);
}

ofPoint ofAppGlutWindow::getWindowSize() {
    return ofPoint(windowW, windowH, 0);
}

ofPoint ofAppGlutWindow::getScreenSize() {
    return ofPoint(glutGet(GLUT_SCREEN_WIDTH), glutGet(GLUT_SCREEN_HEIGHT), 0);
}

void ofAppGlutWindow::setFrameRate(float targetRate) {
    if (targetRate == 0) {
        bFrameRateSet = false;
        return;
    }
    bFrameRateSet = true;
    millisForFrame = ofMillisForFrame(targetRate);
    frameRate = targetRate;
}

void ofAppGlutWindow::setWindowTitle(std::string title) {
    glutSetWindowTitle(title.c_str());
}

int ofAppGlutWindow::getWindowMode() { return windowMode; }

void ofAppGlutWindow::toggleFullscreen() {
    if (windowMode == OF_GAME_MODE)
        return;
    windowMode = (windowMode == OF_WINDOW) ? OF_FULLSCREEN : OF_WINDOW;
    bNewScreenMode = true;
}

void ofAppGlutWindow::setFullscreen(bool fullscreen) {
    if (windowMode == OF_GAME_MODE)
        return;
    if (fullscreen && windowMode == OF_FULLSCREEN)
        return;
    if (!fullscreen && windowMode == OF_WINDOW)
        return;
    windowMode = fullscreen ? OF_FULLSCREEN : OF_WINDOW;
    bNewScreenMode = true;
}

void ofAppGlutWindow::enableSetupScreen() { bEnableSetupScreen = true; }
void ofAppGlutWindow::disableSetupScreen() { bEnableSetupScreen = false; }

namespace {

void clearToBackground() {
    float* bg = ofBgColorPtr();
    glClearColor(bg[0], bg[1], bg[2], bg[3]);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

}  // namespace

void ofAppGlutWindow::display() {
    if (windowMode != OF_GAME_MODE && bNewScreenMode) {
        if (windowMode == OF_FULLSCREEN) {
            nonFullScreenX = glutGet(GLUT_WINDOW_X);
            nonFullScreenY = glutGet(GLUT_WINDOW_Y);
            glutFullScreen();
        } else if (windowMode == OF_WINDOW) {
            glutReshapeWindow(requestedWidth, requestedHeight);
            if (nFrameCount > 0)
                glutPositionWindow(nonFullScreenX, nonFullScreenY);
        }
        bNewScreenMode = false;
    }

    const bool bClearAuto = drawFrame();

    if (bClearAuto) {
        glutSwapBuffers();
    } else if (nFramesSinceWindowResized < 3) {
        clearToBackground();
    } else if (nFrameCount < 3) {
        glutSwapBuffers();
    } else {
        glFlush();
    }
    finishFrame();
}

bool ofAppGlutWindow::drawFrame() {
    glViewport(0, 0, ofGetWidth(), std::max(ofGetHeight(), 1));

    bool bClearAuto = ofbClearBg();
    if (!bClearAuto)
        glDrawBuffer(GL_FRONT);
    if (bClearAuto || nFrameCount < 3)
        clearToBackground();

    if (bEnableSetupScreen)
        ofSetupScreen();

    if (ofAppPtr)
        ofAppPtr->draw();
    return bClearAuto;
}

void ofAppGlutWindow::displayRegion(int x, int y, int w, int h) {
    const int left = std::max(x, 0), top = std::max(y, 0);
    const int right = std::min(x + w, windowW), bottom = std::min(y + h, windowH);
    if (right <= left || bottom <= top)
        return;
    const CopySubBuffer copy = copySubBuffer();
    // The first frames, a screen-mode change and a front-buffer window are
    // drawn whole, as is everything where the driver cannot show a part.
    if (!copy || nFrameCount < 3 || bNewScreenMode || !ofbClearBg() || windowMode != OF_WINDOW) {
        glutPostRedisplay();
        return;
    }
    // GL counts rows from the bottom.
    const int glY = windowH - bottom;
    glEnable(GL_SCISSOR_TEST);
    glScissor(left, glY, right - left, bottom - top);
    drawFrame();
    glDisable(GL_SCISSOR_TEST);
    copy(glXGetCurrentDisplay(), glXGetCurrentDrawable(), left, glY, right - left, bottom - top);
    finishFrame();
}

void ofAppGlutWindow::finishFrame() {
    nFramesSinceWindowResized++;

    float now = ofGetElapsedTimef();
    float diff = now - timeThen;
    frameRate = ofSmoothFrameRate(frameRate, diff);
    lastFrameTime = diff;
    timeThen = now;

    nFrameCount++;
}

void ofAppGlutWindow::idle_cb() {
    if (ofExitRequested())
        ofEndProcess(ofRequestedExitCode());

    if (nFrameCount != 0 && bFrameRateSet) {
        diffMillis = ofGetElapsedTimeMillis() - prevMillis;
        int ms = ofIdleSleepMillis(nFrameCount, bFrameRateSet, diffMillis, millisForFrame);
        if (ms >= 0)
            Sleep(static_cast<uint32_t>(ms));
    }
    prevMillis = ofGetElapsedTimeMillis();

    if (ofAppPtr)
        ofAppPtr->update();

    const bool regionAsked = regionLeft < regionRight;
    const int x = regionLeft, y = regionTop, w = regionRight - regionLeft, h = regionBottom - regionTop;
    regionLeft = regionTop = INT_MAX;
    regionRight = regionBottom = INT_MIN;
    if (takeRedrawRequest())
        glutPostRedisplay();
    else if (regionAsked)
        displayRegion(x, y, w, h);
}

void ofAppGlutWindow::mouse_cb(int button, int state, int x, int y) {
    requestRedraw();
    if (nFrameCount > 0) {
        if (ofAppPtr) {
            ofAppPtr->mouseX = x;
            ofAppPtr->mouseY = y;
        }
        if (state == GLUT_DOWN) {
            if (ofAppPtr)
                ofAppPtr->mousePressed(x, y, button);
        } else if (state == GLUT_UP) {
            if (ofAppPtr) {
                ofAppPtr->mouseReleased(x, y, button);
                ofAppPtr->mouseReleased();
            }
        }
        buttonInUse = button;
    }
}

void ofAppGlutWindow::motion_cb(int x, int y) {
    requestRedraw();
    if (nFrameCount > 0 && ofAppPtr) {
        ofAppPtr->mouseX = x;
        ofAppPtr->mouseY = y;
        ofAppPtr->mouseDragged(x, y, buttonInUse);
    }
}

void ofAppGlutWindow::passive_motion_cb(int x, int y) {
    requestRedraw();
    if (nFrameCount > 0 && ofAppPtr) {
        ofAppPtr->mouseX = x;
        ofAppPtr->mouseY = y;
        ofAppPtr->mouseMoved(x, y);
    }
}

void ofAppGlutWindow::keyboard_cb(unsigned char key, int x, int y) {
    requestRedraw();
    if (ofAppPtr)
        ofAppPtr->keyPressed(key);
    if (key == 27) {
        ofLog(OF_LOG_VERBOSE, "GLUT OF app is being terminated!");
        ofEndProcess(0);
    }
}

void ofAppGlutWindow::keyboard_up_cb(unsigned char key, int x, int y) {
    requestRedraw();
    if (ofAppPtr)
        ofAppPtr->keyReleased(key);
}

void ofAppGlutWindow::special_key_cb(int key, int x, int y) {
    requestRedraw();
    if (ofAppPtr)
        ofAppPtr->keyPressed(key | 0x100);
}

void ofAppGlutWindow::special_key_up_cb(int key, int x, int y) {
    requestRedraw();
    if (ofAppPtr)
        ofAppPtr->keyReleased(key | 0x100);
}

void ofAppGlutWindow::position_cb(int, int) { positionKnown = false; }

void ofAppGlutWindow::resize_cb(int w, int h) {
    requestRedraw();
    positionKnown = false;
    windowW = w;
    windowH = h;
    if (ofAppPtr)
        ofAppPtr->windowResized(w, h);
    nFramesSinceWindowResized = 0;
}
