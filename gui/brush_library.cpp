#include "brush_library.h"

#include <unordered_set>

namespace brushlibrary {

IconSync syncIcons(const std::vector<std::string>& icons, const std::vector<std::string>& presets) {
    // Sets, so that thousands of presets cost one pass each way.
    const std::unordered_set<std::string> iconSet(icons.begin(), icons.end());
    const std::unordered_set<std::string> presetSet(presets.begin(), presets.end());
    IconSync sync;
    for (const std::string& preset : presets)
        if (!iconSet.count(preset))
            sync.toBuild.push_back(preset);
    for (const std::string& icon : icons)
        if (!presetSet.count(icon))
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
