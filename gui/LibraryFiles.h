#pragma once
// The folders below the working folder that hold the gradient and brush
// libraries, the one name rule both libraries use, and how their files are
// listed, read and written. Plain C++: no wx, no globals.
//
// A library folder may hold anything a user or another program put there: a
// named pipe, a link to a device or to nowhere, a file whose name is not
// UTF-8, a picture of any size. The libraries list, read and write regular
// files only, and replace an entry instead of writing through it.

#include <cstdint>
#include <string>
#include <vector>

namespace libraryfiles {

// Joins a folder and names with "/", one separator between each part.
std::string joinPath(const std::string& folder, const std::vector<std::string>& parts);

// Creates `root`/Gradients, `root`/Brushes and `root`/Brushes/Icons where
// they are missing. False when one of them still does not exist afterwards.
bool ensureLibraryFolders(const std::string& root);

// Why a name cannot be saved under: it is empty, or has a character besides
// ASCII letters, digits, blanks, "-" and "_" (or more than 200 of them).
enum class NameProblem { kNone, kEmpty, kCharacters };
NameProblem nameProblem(const std::string& utf8Name);
bool isValidName(const std::string& utf8Name);

bool isValidUtf8(const std::string& bytes);

// The "*.png" regular files of `folder` (links followed; dot files, folders,
// pipes, devices and dangling links left out) as bare file names, sorted by
// byte order so the order never depends on the file system. A name that is
// not valid UTF-8 could not be shown or used as it is: it is left out with
// one line on standard error. False when the folder cannot be opened.
bool listPngFiles(const std::string& folder, std::vector<std::string>& names);

// Whether listPngFiles would list `name` in `folder` now.
enum class Listed { Yes, No, NoFolder };
Listed listed(const std::string& folder, const std::string& name);

// The largest picture a library reads: gradients are 160 x 22, presets
// 256 x 256, icons 64 x 64. Decoding one of 10000 x 10000 pixels would take
// hundreds of megabytes for a picture shown in a small button.
constexpr int kMaxPictureSide = 4096;
constexpr std::int64_t kMaxPicturePixels = std::int64_t(2048) * 2048;

// What a library picture claims, from its first bytes alone: `problem` is
// empty when it is a regular PNG file whose chunks fit the file and whose
// size is within the bounds above.
struct PictureHeader {
    int width = 0;
    int height = 0;
    std::string problem;
};
PictureHeader readPictureHeader(const std::string& path);

// A new, empty regular file in the folder of `path`, named after it with a
// leading dot so that no listing shows it, made without opening anything that
// already stood there. Empty when none can be made (the folder is missing or
// cannot be written).
std::string newFileBeside(const std::string& path);

// Puts the file `made` (from newFileBeside) in the place of `path`: whatever
// entry stands at `path` (a file, a link, a pipe) is replaced, never written
// through. On failure `made` is removed and `path` is as it was.
bool replaceWith(const std::string& made, const std::string& path);

// Two replacements, both or neither: when the second fails, the first entry
// is put back as it was. `made` files are removed on failure.
bool replaceBothWith(const std::string& made1, const std::string& path1, const std::string& made2,
                     const std::string& path2);

// Removes the library entry at `path` (for a link, the link). Refuses a path
// that names a folder or ends in "/", so a delete never targets the folder
// that holds the entry.
bool removeEntry(const std::string& path);

}  // namespace libraryfiles
