#include "LibraryFiles.h"

#include <algorithm>
#include <cerrno>

#include <dirent.h>
#include <sys/stat.h>

namespace libraryfiles {

namespace {

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool makeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0755) == 0 || errno == EEXIST)
        return isFolder(path);
    return false;
}

bool isListedFile(const std::string& folder, const std::string& name) {
    if (name.size() <= 4 || name[0] == '.' || name.compare(name.size() - 4, 4, ".png") != 0)
        return false;
    struct stat st {};
    return ::stat(joinPath(folder, {name}).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::string joinPath(const std::string& folder, const std::vector<std::string>& parts) {
    std::string path = folder;
    for (const std::string& part : parts) {
        if (path.empty() || path.back() != '/')
            path += '/';
        path += part;
    }
    return path;
}

bool ensureLibraryFolders(const std::string& root) {
    bool ok = makeFolder(joinPath(root, {"Gradients"}));
    ok = makeFolder(joinPath(root, {"Brushes"})) && ok;
    ok = makeFolder(joinPath(root, {"Brushes", "Icons"})) && ok;
    return ok;
}

bool isValidName(const std::string& name) {
    if (name.empty() || name.size() > 200)
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' ||
               c == '-' || c == '_';
    });
}

bool listPngFiles(const std::string& folder, std::vector<std::string>& names) {
    names.clear();
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return false;
    while (dirent* entry = ::readdir(dir)) {
        if (isListedFile(folder, entry->d_name))
            names.push_back(entry->d_name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return true;
}

Listed listed(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return Listed::NoFolder;
    ::closedir(dir);
    return isListedFile(folder, name) ? Listed::Yes : Listed::No;
}

}  // namespace libraryfiles
