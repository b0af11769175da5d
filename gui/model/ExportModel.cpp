#include "gui/model/ExportModel.h"

namespace exportmodel {

Controls onShow(Controls c, bool artworkAlpha) {
    if (c.format == Format::Jpg) {
        c.transparentChecked = c.transparentEnabled = false;
        c.straightChecked = c.straightEnabled = false;
    } else if (artworkAlpha) {
        c.transparentChecked = c.transparentEnabled = true;
        c.straightEnabled = true;
        c.jpgEnabled = false;
    } else {
        c.transparentChecked = c.transparentEnabled = false;
        c.straightChecked = c.straightEnabled = false;
        c.jpgEnabled = true;
    }
    return c;
}

Controls onFormat(Controls c, Format format, bool artworkAlpha) {
    c.format = format;
    if (format == Format::Jpg) {
        c.transparentChecked = c.transparentEnabled = false;
        c.straightChecked = c.straightEnabled = false;
    } else if (artworkAlpha) {
        c.transparentEnabled = c.straightEnabled = true;
    }
    return c;
}

Controls onTransparentClick(Controls c, bool checked) {
    c.transparentChecked = checked;
    if (checked) {
        c.jpgEnabled = false;
        c.straightEnabled = true;
    } else {
        c.jpgEnabled = true;
        c.straightChecked = c.straightEnabled = false;
    }
    return c;
}

std::string extension(Format format) {
    switch (format) {
        case Format::Jpg: return "jpg";
        case Format::Png: return "png";
        case Format::Bmp: return "bmp";
        case Format::Tga: return "tga";
        case Format::Tif: return "tif";
    }
    return "png";
}

std::string proposal(bool saveAs, const std::string& exportFile, const std::string& loadFile,
                     const std::string& defaultFolder) {
    if (saveAs)
        return exportFile;
    static const std::string kNewArtwork = "wyrleArtwork.png";
    if (loadFile == kNewArtwork) {
        if (defaultFolder.empty() || defaultFolder.back() == '/')
            return defaultFolder + kNewArtwork;
        return defaultFolder + "/" + kNewArtwork;
    }
    return loadFile;
}

DefaultName defaultName(const std::string& proposal) {
    DefaultName out;
    const size_t slash = proposal.rfind('/');
    std::string name = proposal;
    if (slash != std::string::npos) {
        out.folder = proposal.substr(0, slash + 1);
        name = proposal.substr(slash + 1);
    }
    // A leading dot marks a hidden file, not an extension.
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    out.name = name;
    return out;
}

bool asksOverwrite(const std::string& path, bool exists) { return !path.empty() && exists; }

Plan planExport(const Controls& c, const std::string& path, bool exists, Answer answer) {
    Plan plan;
    if (path.empty())
        return plan;  // the selector was cancelled
    if (asksOverwrite(path, exists)) {
        if (answer == Answer::No)
            return plan;
        if (answer != Answer::Yes) {
            plan.unexpected = true;
            return plan;
        }
    }
    plan.request = true;
    plan.exportFile = path;
    plan.alphaSave = c.transparentChecked ? 1 : 0;
    plan.straightAlpha = c.straightChecked ? 1 : 0;
    return plan;
}

}  // namespace exportmodel
