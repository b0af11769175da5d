#pragma once
// The folders below the working folder that hold the gradient and brush
// libraries, the one name rule both libraries use, and the listing of their
// pictures. Plain C++: no wx, no globals.

#include <string>
#include <vector>

namespace libraryfiles {

// Joins a folder and names with "/", one separator between each part.
std::string joinPath(const std::string& folder, const std::vector<std::string>& parts);

// Creates `root`/Gradients, `root`/Brushes and `root`/Brushes/Icons where
// they are missing. False when one of them still does not exist afterwards.
bool ensureLibraryFolders(const std::string& root);

// A name a gradient or preset may be saved under: 1 to 200 characters, each
// an ASCII letter, digit, blank, "-" or "_". The empty name would give the
// hidden file ".png", which no list ever shows.
bool isValidName(const std::string& utf8Name);

// The "*.png" files of `folder` (dot files left out) as bare file names,
// sorted by byte order so the order never depends on the file system.
// False when the folder cannot be opened.
bool listPngFiles(const std::string& folder, std::vector<std::string>& names);

// Whether listPngFiles would list `name` in `folder` now.
enum class Listed { Yes, No, NoFolder };
Listed listed(const std::string& folder, const std::string& name);

}  // namespace libraryfiles
