#pragma once
// The undo-memory preference, kept in "prefs.cfg" in the working directory.
// The engine and the Preferences dialog each own one; they share only the file.

#include <cstdio>
#include <memory>

class Log;

class SettingsHandler {
public:
    // Per cent of free memory for the undo ring. Load leaves it alone when the
    // file gives no usable number; the engine clamps it into 10..90.
    int undoPercent = 30;
    std::unique_ptr<Log> log;
    FILE* file = nullptr;  // the write in progress; unused between calls

    SettingsHandler();
    ~SettingsHandler();

    void Load();
    void Save();
    bool GenerateDefaultConfig();
    bool FileExists(const char* path);

    SettingsHandler(const SettingsHandler&) = delete;
    SettingsHandler& operator=(const SettingsHandler&) = delete;

private:
    // Replaces "prefs.cfg" with `text` through a temp file in the same folder.
    bool writeFile(const char* text);
    // Writes, flushes (and syncs) and closes `stream`; false on any error.
    bool writeStream(FILE* stream, const char* text, bool sync = false);
};
