#include "wyrleApp.h"

#include <cstdio>

#include "BaseApp.h"
#include "Requests.h"
#include "WyrleGlobals.h"
#include "ofAppRunner.h"
#include "ofGraphics.h"
#include "ofUtils.h"

void wyrleApp::setup() {
    f_workState.store(kWorkSetup);
    ofSetWindowPosition(gBasePositionX.load(), gBasePositionY.load());
    ofSetFrameRate(40);
    ofBackground(0, 0, 0);
    requests::moveWorkState(kWorkSetup, kWorkIdle);
    if (baseApp) {
        baseApp->RegisterGradientDialog();
        baseApp->RegisterSaveBrushDialog();
    }
}

void wyrleApp::update() {
    gBasePositionX.store(ofGetWindowPositionX());
    gBasePositionY.store(ofGetWindowPositionY());
}

void wyrleApp::draw() {}

void wyrleApp::exit() {
    if (gLogging.load())
        std::printf("wyrleApp::exit, frames per second: %.1f\n", ofGetFrameNum() / (ofGetElapsedTimef() > 0 ? ofGetElapsedTimef() : 1.0f));
}
