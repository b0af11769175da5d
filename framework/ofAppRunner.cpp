#include "framework/ofAppRunner.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "framework/ofImage.h"
#include "framework/ofMath.h"
#include "framework/ofQtUtils.h"
#include "framework/ofSoundPlayer.h"
#include "framework/ofUtils.h"

namespace {

ofAppBaseWindow* window = nullptr;
ofBaseApp* OFSAptr = nullptr;

std::atomic<bool> gExitRequested{false};
std::atomic<int> gExitCode{0};
std::atomic<bool> gRenderThreadKnown{false};
std::thread::id gRenderThread;
std::once_flag gShutdownOnce;

void shutdownFramework() {
    ofSoundPlayer::closeFmod();
    closeQuicktime();
    // The application goes before the picture library, in case its exit
    // still touches pictures.
    if (OFSAptr) {
        OFSAptr->exit();
        delete OFSAptr;
        OFSAptr = nullptr;
    }
    ofCloseFreeImage();
}

}  // namespace

void ofSetupOpenGL(ofAppBaseWindow* windowPtr, int w, int h, int screenMode) {
    window = windowPtr;
    window->setupOpenGL(w, h, screenMode);
}

void ofRunApp(ofBaseApp* app) {
    gRenderThread = std::this_thread::get_id();
    gRenderThreadKnown.store(true, std::memory_order_release);

    OFSAptr = app;
    if (app) {
        app->mouseX = 0;
        app->mouseY = 0;
    }
    atexit(ofExitCallback);
    window->initializeWindow();
    ofSeedRandom();
    ofResetElapsedTimeCounter();
    window->runAppViaInfiniteLoop(OFSAptr);
}

bool ofOnRenderThread() {
    return gRenderThreadKnown.load(std::memory_order_acquire) &&
           gRenderThread == std::this_thread::get_id();
}

void ofExitCallback() {
    // Off the render thread the engine may be mid-frame: leave it alone.
    if (gRenderThreadKnown.load(std::memory_order_acquire) && !ofOnRenderThread())
        return;
    std::call_once(gShutdownOnce, shutdownFramework);
}

bool ofExitRequested() {
    return gExitRequested.load(std::memory_order_acquire);
}

int ofRequestedExitCode() {
    return gExitCode.load(std::memory_order_acquire);
}

void ofEndProcess(int code) {
    if (ofOnRenderThread() || !gRenderThreadKnown.load(std::memory_order_acquire)) {
        ofExitCallback();
        std::fflush(nullptr);
        _exit(code);
    }
    // The render thread sees the request at its next idle step (25 ms at
    // most while it runs) and ends the process from there.
    gExitCode.store(code, std::memory_order_release);
    gExitRequested.store(true, std::memory_order_release);
    std::this_thread::sleep_for(std::chrono::seconds(2));
    std::fflush(nullptr);
    _exit(code);
}

int ofGetFrameNum() { return window ? window->getFrameNum() : 0; }
void ofSetFrameRate(int targetRate) { if (window) window->setFrameRate(static_cast<float>(targetRate)); }
void ofSetWindowPosition(int x, int y) { if (window) window->setWindowPosition(x, y); }
void ofSetWindowShape(int w, int h) { if (window) window->setWindowShape(w, h); }
int ofGetWindowPositionX() { return window ? static_cast<int>(window->getWindowPosition().x) : 0; }
int ofGetWindowPositionY() { return window ? static_cast<int>(window->getWindowPosition().y) : 0; }
int ofGetScreenWidth() { return window ? static_cast<int>(window->getScreenSize().x) : 0; }
int ofGetScreenHeight() { return window ? static_cast<int>(window->getScreenSize().y) : 0; }
int ofGetWidth() { return window ? static_cast<int>(window->getWindowSize().x) : 0; }
int ofGetHeight() { return window ? static_cast<int>(window->getWindowSize().y) : 0; }
float ofRandomWidth() { return ofRandom(0, static_cast<float>(ofGetWidth())); }
float ofRandomHeight() { return ofRandom(0, static_cast<float>(ofGetHeight())); }
void ofSetWindowTitle(std::string title) { if (window) window->setWindowTitle(title); }
