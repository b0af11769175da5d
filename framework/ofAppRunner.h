#pragma once

#include <string>

#include "framework/ofAppBaseWindow.h"
#include "framework/ofBaseApp.h"

void ofSetupOpenGL(ofAppBaseWindow* windowPtr, int w, int h, int screenMode);
void ofRunApp(ofBaseApp* app);
void ofExitCallback();

// The one way the process ends. On the render thread it shuts the framework
// and the application down there (GL context current) and ends the process;
// from any other thread it asks the render thread to do so and waits at most
// about two seconds before ending the process itself.
[[noreturn]] void ofEndProcess(int code);
// Set when another thread has asked the render thread to end the process.
bool ofExitRequested();
// The code the other thread asked the process to end with.
int ofRequestedExitCode();
bool ofOnRenderThread();

int ofGetFrameNum();
void ofSetFrameRate(int targetRate);
void ofSetWindowPosition(int x, int y);
void ofSetWindowShape(int w, int h);
int ofGetWindowPositionX();
int ofGetWindowPositionY();
int ofGetScreenWidth();
int ofGetScreenHeight();
int ofGetWidth();
int ofGetHeight();
// Random positions across the window (framework/ofMath.h has the rest).
float ofRandomWidth();
float ofRandomHeight();
void ofSetWindowTitle(std::string title);
