#pragma once
// Gradient pictures, preset samples and icons through wx. A picture is
// decoded only once its header (libraryfiles::readPictureHeader) says it is a
// PNG of a size a library holds; a new picture goes into a file of its own
// beside its place and is renamed into it. Nothing about a bad file reaches
// wx's error log, whose boxes would interrupt a listing.

#include <wx/image.h>
#include <wx/string.h>

namespace librarypictures {

// The picture at `path` in `image`; false, with `image` not valid, when it
// is not a library picture or cannot be decoded.
bool load(const wxString& path, wxImage& image);

// `image` as PNG in a new hidden file beside `path` (libraryfiles::
// newFileBeside); that file's path, or empty when it could not be written
// (nothing is left behind then).
wxString writeBeside(const wxImage& image, const wxString& path);

}  // namespace librarypictures
