#pragma once

#include "framework/ofAppGlutWindow.h"

// The drawing window: the framework's GLUT window whose close ends the
// whole program.
class MyOfAppGlutWindow : public ofAppGlutWindow {
public:
    MyOfAppGlutWindow() {}
    ~MyOfAppGlutWindow() override {}
    void initializeWindow() override;
};
