#pragma once
// The framework's console log: one line on standard output per message, with
// the level's prefix, for messages at or above the level set. Needs neither
// GL nor a window, so plain code logs through it too.

#include <string>

#define OF_LOG_VERBOSE 0
#define OF_LOG_NOTICE 1
#define OF_LOG_WARNING 2
#define OF_LOG_ERROR 3
#define OF_LOG_FATAL_ERROR 4

// Runtime text must go through the std::string overload (or as a "%s"
// argument), never as the format.
void ofSetLogLevel(int level);
int ofGetLogLevel();
void ofLog(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));
void ofLog(int level, std::string message);
void ofSetConsoleColor(int color);
void ofRestoreConsoleColor();
