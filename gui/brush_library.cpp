#include "brush_library.h"

#include <algorithm>

namespace brushlibrary {

namespace {

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

IconSync syncIcons(const std::vector<std::string>& icons, const std::vector<std::string>& presets) {
    IconSync sync;
    for (const std::string& preset : presets)
        if (!contains(icons, preset))
            sync.toBuild.push_back(preset);
    for (const std::string& icon : icons)
        if (!contains(presets, icon))
            sync.toDelete.push_back(icon);
    return sync;
}

std::string presetName(const std::string& fileName) {
    const size_t dot = fileName.rfind('.');
    return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

NewPress pressNew(int state) {
    if (state == kIdle)
        return {kRequested, true, true};
    return {endCapture(state), false, false};
}

int endCapture(int state) { return state == kCapturing ? kEndRequested : state; }

}  // namespace brushlibrary
