#pragma once
// What the Open dialog does with its texts: the folder a showing starts in,
// the folder Browse starts in, and the plan its OK hands over. Plain C++: no
// wx, no globals.

#include <string>

namespace openpicture {

// A showing: after a native save the saved file is the start folder and
// replaces the path text; before one the start folder is the default folder
// and the path text stays.
struct Showing {
    std::string startFolder;
    std::string pathText;
};
Showing onShow(bool fileSaved, const std::string& saveFile, const std::string& defaultFolder,
               const std::string& pathText);

// Browse starts in the path text once a file was chosen through it, else in
// the start folder.
std::string browseStart(bool browsed, const std::string& pathText, const std::string& startFolder);

// What OK writes. The load file is always the path text; the rest, and the
// request, only when that file exists.
struct Plan {
    std::string loadFile;
    bool request = false;
    int red = 0, green = 0, blue = 0;
    bool autoColour = true;
    bool premultiply = false;
};
Plan planOpen(const std::string& pathText, bool fileExists, bool autoColour, bool premultiply, int red, int green,
              int blue);

}  // namespace openpicture
