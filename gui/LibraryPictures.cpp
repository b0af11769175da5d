#include "LibraryPictures.h"

#include <wx/log.h>

#include "LibraryFiles.h"

namespace librarypictures {

bool load(const wxString& path, wxImage& image) {
    image.Destroy();
    if (!libraryfiles::readPictureHeader(path.utf8_string()).problem.empty())
        return false;
    wxLogNull quiet;
    return image.LoadFile(path, wxBITMAP_TYPE_PNG) && image.IsOk();
}

wxString writeBeside(const wxImage& image, const wxString& path) {
    const std::string made = libraryfiles::newFileBeside(path.utf8_string());
    if (made.empty())
        return wxString();
    const wxString file = wxString::FromUTF8(made);
    wxLogNull quiet;
    if (image.IsOk() && image.SaveFile(file, wxBITMAP_TYPE_PNG))
        return file;
    libraryfiles::removeEntry(made);
    return wxString();
}

}  // namespace librarypictures
