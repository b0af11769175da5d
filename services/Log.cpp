#include "services/Log.h"

#include <cstdarg>

Log::Log(const char* path, bool enabled) : file(nullptr), enabled(enabled) {
    if (enabled && path) file = std::fopen(path, "w");
}

Log::~Log() {
    if (file) std::fclose(file);
}

// One formatted print and a flush, so a line survives an abrupt exit.
void Log::line(const char* format, ...) {
    if (!enabled || !file) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(file, format, args);
    va_end(args);
    std::fflush(file);
}

void Log::log(const char* text) { line("%s \n", text ? text : ""); }

void Log::log(const std::string& text) { line("%s \n", text.c_str()); }

void Log::log(const char* label, const char* text) {
    line("%s: %s \n", label ? label : "", text ? text : "");
}

void Log::log(int value) { line("%d \n", value); }

void Log::log(unsigned int value) { line("%u \n", value); }

void Log::log(float value) { line("%.4g \n", static_cast<double>(value)); }

void Log::log(double value) { log(static_cast<float>(value)); }

void Log::log(const std::string& label, int value) { log(label.c_str(), value); }

void Log::log(const char* label, int value) { line("%s: %d\n", label ? label : "", value); }
