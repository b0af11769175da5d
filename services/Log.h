#pragma once
// Per-class trace file. The switch is fixed at construction: a Log made
// switched off opens no file and every entry is a no-op.

#include <cstdio>
#include <string>

class Log {
public:
    Log(const char* path, bool enabled);
    ~Log();

    Log(const Log&) = delete;
    Log& operator=(const Log&) = delete;

    void log(const char* text);
    void log(const std::string& text);
    void log(const char* label, const char* text);
    void log(int value);
    void log(unsigned int value);
    void log(float value);
    void log(double value);  // same as float: callers pass plain literals
    void log(const std::string& label, int value);
    void log(const char* label, int value);  // keeps log("n", 0) unambiguous

private:
    void line(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

    FILE* file;
    bool enabled;
};
