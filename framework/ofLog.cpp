#include "framework/ofLog.h"

#include <cstdarg>
#include <cstdio>

#include "platform/win32.h"

namespace {

int currentLogLevel = OF_LOG_WARNING;

const char* logPrefix(int level) {
    switch (level) {
    case OF_LOG_VERBOSE: return "OF_VERBOSE: ";
    case OF_LOG_NOTICE: return "OF_NOTICE: ";
    case OF_LOG_WARNING: return "OF_WARNING: ";
    case OF_LOG_ERROR: return "OF_ERROR: ";
    case OF_LOG_FATAL_ERROR: return "OF_FATAL_ERROR: ";
    default: return "";
    }
}

}  // namespace

void ofSetLogLevel(int level) {
    currentLogLevel = level;
}

int ofGetLogLevel() {
    return currentLogLevel;
}

void ofLog(int level, const char* format, ...) {
    if (level < currentLogLevel)
        return;
    // One write per line, so lines of the two threads do not interleave mid-line.
    char buf[2048];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    std::printf("%s%s\n", logPrefix(level), buf);
}

void ofLog(int level, std::string message) {
    if (level < currentLogLevel)
        return;
    std::printf("%s%s\n", logPrefix(level), message.c_str());
}

void ofSetConsoleColor(int color) {
    platform::setConsoleAttribute(color);
}

void ofRestoreConsoleColor() {
    platform::setConsoleAttribute(7);
}
