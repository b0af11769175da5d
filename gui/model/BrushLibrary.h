#pragma once
// The brush library's rules that need no window: which icons a listing
// rebuilds or removes, the name a row shows, and what "New" and the close
// box do to the capture state. Plain C++: no wx, no globals.

#include <string>
#include <vector>

namespace brushlibrary {

// Icons to make (presets without an icon) and icons to delete (icons
// without a preset). Names are whole file names compared exactly, case
// included; both lists keep the order of their input.
struct IconSync {
    std::vector<std::string> toBuild;
    std::vector<std::string> toDelete;
};
IconSync syncIcons(const std::vector<std::string>& icons, const std::vector<std::string>& presets);

// A row's preset name: the file name before its last dot.
std::string presetName(const std::string& fileName);

// Capture states of f_newBrushPreset.
enum Capture { kIdle = 0, kRequested = 1, kCapturing = 2, kEndRequested = 3 };

// "New": from idle it starts a capture and unlocks the name field and OK;
// otherwise it ends a running capture (2 becomes 3) and locks them.
struct NewPress {
    int state;
    bool start;         // hide the back layer, request 1 and the canvas fill
    bool enableFields;  // the name field and OK
};
NewPress pressNew(int state);

// The close box and the tool window's Brushes item: a running capture ends,
// any other state stays.
int endCapture(int state);

}  // namespace brushlibrary
