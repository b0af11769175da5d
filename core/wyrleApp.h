#pragma once
// Temporary stand-in for the painting engine: it opens the frame loop and
// clears the window every frame, until the engine itself lands.

#include <atomic>

#include "ofBaseApp.h"

class BaseApp;
class wxWindow;

class wyrleApp : public ofBaseApp {
public:
    void setup() override;
    void update() override;
    void draw() override;
    void exit() override;

    BaseApp* baseApp = nullptr;
    wxWindow* gradientTool = nullptr;
    wxWindow* brushLibrary = nullptr;
    // Written by the GUI's key handler while the space bar is held.
    std::atomic<bool> bPan{false};
};
