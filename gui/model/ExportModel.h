#pragma once
// What the Export dialog decides: which of its controls are enabled and
// checked, the name it proposes, and the plan its OK hands over. Plain C++:
// no wx, no globals.

#include <string>

namespace exportmodel {

enum class Format { Png, Tga, Tif, Bmp, Jpg };

// The five format choices and the two alpha boxes. JPG has no alpha, so
// choosing it clears both boxes, and a checked Transparent box keeps JPG
// out of reach.
struct Controls {
    Format format = Format::Png;
    bool transparentChecked = false;
    bool transparentEnabled = true;
    bool straightChecked = false;
    bool straightEnabled = true;
    bool jpgEnabled = true;
};

// Each showing; the format chosen last stays.
Controls onShow(Controls c, bool artworkAlpha);
Controls onFormat(Controls c, Format format, bool artworkAlpha);
// The Transparent box has just become `checked`.
Controls onTransparentClick(Controls c, bool checked);

// "png", "tga", "tif", "bmp" or "jpg".
std::string extension(Format format);

// The file the selector proposes: the last export once the artwork was
// saved under a name, else the opened picture, or the new artwork's name
// in the default folder.
std::string proposal(bool saveAs, const std::string& exportFile, const std::string& loadFile,
                     const std::string& defaultFolder);

// The proposal split for the selector: its folder with a trailing "/"
// (empty for a bare name) and its name without the extension.
struct DefaultName {
    std::string folder;
    std::string name;
};
DefaultName defaultName(const std::string& proposal);

// The answer to the overwrite question; None when it was not asked.
enum class Answer { None, Yes, No, Other };

// Only a chosen file that exists is asked about.
bool asksOverwrite(const std::string& path, bool exists);

// What OK does with the chosen path. The alpha choices and the file are
// written only with the request; an abandoned export changes no setting.
struct Plan {
    bool request = false;
    bool unexpected = false;  // the question gave neither Yes nor No: the dialog stays up
    std::string exportFile;
    int alphaSave = 0;
    int straightAlpha = 0;
};
Plan planExport(const Controls& c, const std::string& path, bool exists, Answer answer);

}  // namespace exportmodel
