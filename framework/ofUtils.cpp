#include "framework/ofUtils.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iomanip>
#include <sstream>

#include "framework/ofAppRunner.h"
#include "framework/ofImage.h"
#include "platform/win32.h"

namespace {

uint32_t startTime = timeGetTime();
bool enableDataPath = true;
std::string dataPathRoot = "data/";
int saveImageCounter = 0;

std::tm localNow() {
    std::time_t now = std::time(nullptr);
    std::tm out{};
    localtime_r(&now, &out);
    return out;
}

}  // namespace

uint32_t ofGetSystemTime() {
    return timeGetTime();
}

void ofResetElapsedTimeCounter() {
    startTime = ofGetSystemTime();
}

int ofGetElapsedTimeMillis() {
    return static_cast<int>(ofGetSystemTime() - startTime);
}

float ofGetElapsedTimef() {
    return static_cast<float>(static_cast<int32_t>(ofGetSystemTime() - startTime) / 1000.0);
}

int ofGetSeconds() { return localNow().tm_sec; }
int ofGetMinutes() { return localNow().tm_min; }
int ofGetHours() { return localNow().tm_hour; }
int ofGetYear() { return localNow().tm_year + 1900; }
int ofGetMonth() { return localNow().tm_mon + 1; }
int ofGetDay() { return localNow().tm_mday; }
int ofGetWeekday() { return localNow().tm_wday; }

void ofEnableDataPath() { enableDataPath = true; }
void ofDisableDataPath() { enableDataPath = false; }
void ofSetDataPathRoot(std::string root) { dataPathRoot = root; }

std::string ofToDataPath(std::string path, bool makeAbsolute) {
    if (!enableDataPath)
        return path;
    bool slashFirst = !path.empty() && path[0] == '/';
    bool driveSecond = path.size() >= 2 && path[1] == ':';
    bool rootFirst = path.compare(0, dataPathRoot.size(), dataPathRoot) == 0;
    if (!slashFirst && !driveSecond && !rootFirst)
        path = dataPathRoot + path;
    if (makeAbsolute && (path.empty() || path[0] != '/')) {
        char cwd[1024];
        if (getcwd(cwd, sizeof cwd))
            path = std::string(cwd) + "/" + path;
    }
    return path;
}

std::string ofToString(int value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

std::string ofToString(double value, int precision) {
    std::ostringstream out;
    out << std::fixed << std::setprecision(precision) << value;
    return out.str();
}

int ofToInt(const std::string& text) {
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str())
        return 0;
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

float ofToFloat(const std::string& text) {
    char* end = nullptr;
    float v = std::strtof(text.c_str(), &end);
    if (end == text.c_str())
        return 0.0f;
    return v;
}

std::vector<std::string> ofSplitString(const std::string& source, const std::string& delimiters) {
    std::vector<std::string> tokens;
    if (delimiters.empty()) {
        if (!source.empty())
            tokens.push_back(source);
        return tokens;
    }
    std::string::size_type pos = 0;
    while (true) {
        std::string::size_type start = source.find_first_not_of(delimiters, pos);
        if (start == std::string::npos)
            break;
        std::string::size_type end = source.find_first_of(delimiters, start);
        tokens.push_back(source.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            break;
        pos = end;
    }
    return tokens;
}

void ofLaunchBrowser(std::string url) {
    if (url.compare(0, 7, "http://") != 0) {
        ofLog(OF_LOG_WARNING, "ofLaunchBrowser: url must begin http://");
        return;
    }
    const char* argv[] = {"xdg-open", url.c_str(), nullptr};
    platform::launchDetached(argv);
}

void ofSaveScreen(std::string fileName) {
    ofImage screen;
    screen.allocate(ofGetWidth(), ofGetHeight(), OF_IMAGE_COLOR);
    screen.grabScreen(0, 0, ofGetWidth(), ofGetHeight());
    screen.saveImage(fileName);
}

void ofSaveFrame() {
    ofSaveScreen(ofToString(saveImageCounter) + ".png");
    saveImageCounter++;
}
