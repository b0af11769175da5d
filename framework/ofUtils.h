#pragma once
// Time base, data-folder names, text helpers; the console log of
// framework/ofLog.h comes with it.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/ofConstants.h"
#include "framework/ofLog.h"

// Time and date.
uint32_t ofGetSystemTime();
void ofResetElapsedTimeCounter();
int ofGetElapsedTimeMillis();
float ofGetElapsedTimef();
int ofGetSeconds();
int ofGetMinutes();
int ofGetHours();
int ofGetYear();
int ofGetMonth();
int ofGetDay();
int ofGetWeekday();

// Data folder.
void ofEnableDataPath();
void ofDisableDataPath();
void ofSetDataPathRoot(std::string root);
std::string ofToDataPath(std::string path, bool makeAbsolute = false);

// Text and numbers.
std::string ofToString(int value);
std::string ofToString(double value, int precision);
int ofToInt(const std::string& text);
float ofToFloat(const std::string& text);
std::vector<std::string> ofSplitString(const std::string& source, const std::string& delimiters);

// Browser and screen.
void ofLaunchBrowser(std::string url);
void ofSaveScreen(std::string fileName);
void ofSaveFrame();
