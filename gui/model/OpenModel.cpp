#include "gui/model/OpenModel.h"

namespace openpicture {

Showing onShow(bool fileSaved, const std::string& saveFile, const std::string& defaultFolder,
               const std::string& pathText) {
    if (fileSaved)
        return {saveFile, saveFile};
    return {defaultFolder, pathText};
}

std::string browseStart(bool browsed, const std::string& pathText, const std::string& startFolder) {
    return browsed ? pathText : startFolder;
}

Plan planOpen(const std::string& pathText, bool fileExists, bool autoColour, bool premultiply, int red, int green,
              int blue) {
    Plan plan;
    plan.loadFile = pathText;
    if (!fileExists)
        return plan;
    plan.request = true;
    plan.red = red;
    plan.green = green;
    plan.blue = blue;
    plan.autoColour = autoColour;
    plan.premultiply = premultiply;
    return plan;
}

}  // namespace openpicture
