#include "services/SettingsHandler.h"

#include <cstdlib>

#include "core/GuiBridge.h"
#include "core/WyrleGlobals.h"
#include "services/ConfigFile.h"
#include "services/Log.h"

#include <wx/intl.h>

#include <atomic>
#include <exception>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kPrefsFile[] = "prefs.cfg";
const char kDefaultText[] = "#Wyrle 1.0 configuration file\nUndoPercent = 30\n";

void info(const char* text) { guibridge::messageBox(wxGetTranslation(text), wxGetTranslation("Info")); }

}  // namespace

SettingsHandler::SettingsHandler() : log(new Log("SettingsHandler.log", gLogging)) {}

SettingsHandler::~SettingsHandler() = default;

bool SettingsHandler::FileExists(const char* path) {
    struct stat st;
    return path && ::stat(path, &st) == 0;
}

bool SettingsHandler::writeFile(const char* text) {
    // An existing prefs.cfg must be a writable plain file, as for an in-place
    // rewrite; it is then replaced whole, so a crash never leaves half a file.
    struct stat st;
    const bool existed = ::stat(kPrefsFile, &st) == 0;
    if (existed && (!S_ISREG(st.st_mode) || ::access(kPrefsFile, W_OK) != 0)) return false;
    // A symbolic link stays one: its target is what gets replaced.
    std::string file = kPrefsFile;
    if (existed) {
        char* real = ::realpath(kPrefsFile, nullptr);
        if (real) file = real;
        std::free(real);
    }

    // Unique per call, so the engine and the dialog never share a temp file.
    static std::atomic<unsigned> counter{0};
    const std::string tmp = file + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        // A folder we may not create files in, holding a prefs.cfg we may write.
        return existed && writeStream(std::fopen(file.c_str(), "w"), text);
    }
    if (existed) (void)::fchmod(fd, st.st_mode & 07777);

    FILE* stream = ::fdopen(fd, "w");
    if (!stream) ::close(fd);
    bool ok = writeStream(stream, text, true);
    if (ok) ok = ::rename(tmp.c_str(), file.c_str()) == 0;
    if (!ok) ::unlink(tmp.c_str());
    return ok;
}

bool SettingsHandler::writeStream(FILE* stream, const char* text, bool sync) {
    file = stream;
    if (!file) return false;
    bool ok = std::fputs(text, file) >= 0;
    ok = std::fflush(file) == 0 && ok;
    if (sync) ok = ::fsync(::fileno(file)) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    file = nullptr;
    return ok;
}

bool SettingsHandler::GenerateDefaultConfig() {
    const bool ok = writeFile(kDefaultText);
    log->log("GenerateDefaultConfig", ok ? 1 : 0);
    return ok;
}

void SettingsHandler::Load() {
    if (!FileExists(kPrefsFile) && !GenerateDefaultConfig()) info("Default configuration file could not be created.");

    try {
        ConfigFile config(kPrefsFile, "=", "#", "EndConfigFile");
        // A value that is not a number is refused: undoPercent keeps its value.
        config.readInto(undoPercent, "UndoPercent");
    } catch (const ConfigFile::file_not_found&) {
        return;
    } catch (const std::exception& e) {  // e.g. out of memory on an absurd file
        log->log("Load", e.what());
        return;
    }
    log->log("UndoPercent", undoPercent);
}

void SettingsHandler::Save() {
    if (!FileExists(kPrefsFile) && !GenerateDefaultConfig()) info("Default configuration file could not be created.");

    const std::string line = "UndoPercent = " + std::to_string(undoPercent) + " #UndoPercent\n";
    if (!writeFile(line.c_str())) {
        info("Setting could not be saved.");
        return;
    }
    log->log("Save", undoPercent);
}
