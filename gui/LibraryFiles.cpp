#include "LibraryFiles.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ofImageGuards.h"

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

// A "*.png" regular file that a listing shows, its name apart.
bool isPngFile(const std::string& folder, const std::string& name) {
    if (name.size() <= 4 || name[0] == '.' || name.compare(name.size() - 4, 4, ".png") != 0)
        return false;
    struct stat st {};
    return ::stat(joinPath(folder, {name}).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The bytes of a name as a C escape where they are not printable ASCII.
std::string printable(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return out;
}

std::string folderOf(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string fileNameOf(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool readAt(void* source, std::uint64_t offset, unsigned char* buffer, std::size_t n) {
    const int fd = *static_cast<int*>(source);
    return ::pread(fd, buffer, n, static_cast<off_t>(offset)) == static_cast<ssize_t>(n);
}

std::uint32_t be32(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | std::uint32_t(p[3]);
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

NameProblem nameProblem(const std::string& name) {
    if (name.empty())
        return NameProblem::kEmpty;
    const bool allowed = std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' ||
               c == '-' || c == '_';
    });
    return allowed && name.size() <= 200 ? NameProblem::kNone : NameProblem::kCharacters;
}

bool isValidName(const std::string& name) { return nameProblem(name) == NameProblem::kNone; }

bool isValidUtf8(const std::string& bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        std::size_t more = 0;
        std::uint32_t code = 0, least = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xe0) == 0xc0) {
            more = 1, code = c & 0x1f, least = 0x80;
        } else if ((c & 0xf0) == 0xe0) {
            more = 2, code = c & 0x0f, least = 0x800;
        } else if ((c & 0xf8) == 0xf0) {
            more = 3, code = c & 0x07, least = 0x10000;
        } else {
            return false;
        }
        if (i + more >= bytes.size())
            return false;
        for (std::size_t k = 1; k <= more; ++k) {
            const unsigned char next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xc0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3f);
        }
        // Overlong forms, UTF-16 surrogates and values past U+10FFFF.
        if (code < least || (code >= 0xd800 && code <= 0xdfff) || code > 0x10ffff)
            return false;
        i += more + 1;
    }
    return true;
}

bool listPngFiles(const std::string& folder, std::vector<std::string>& names) {
    names.clear();
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return false;
    while (dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (!isPngFile(folder, name))
            continue;
        if (!isValidUtf8(name)) {
            std::fprintf(stderr, "Wyrle: %s left out of the library: its name is not UTF-8\n",
                         printable(joinPath(folder, {name})).c_str());
            continue;
        }
        names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return true;
}

PictureHeader readPictureHeader(const std::string& path) {
    PictureHeader header;
    // Non-blocking, so a pipe standing at the name is not waited on.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        header.problem = "the file cannot be read";
        return header;
    }
    struct stat st {};
    unsigned char head[24];
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        header.problem = "not a regular file";
    } else if (::pread(fd, head, sizeof head, 0) != static_cast<ssize_t>(sizeof head) ||
               std::memcmp(head, kSignature, sizeof kSignature) != 0 || be32(head + 8) != 13 ||
               std::memcmp(head + 12, "IHDR", 4) != 0) {
        header.problem = "not a PNG picture";
    } else {
        int source = fd;
        header.problem = imageguard::pngProblem(readAt, &source, static_cast<std::uint64_t>(st.st_size));
        if (header.problem.empty()) {
            // Read on: the next 8 bytes are the claimed width and height.
            unsigned char size[8];
            if (::pread(fd, size, sizeof size, 16) != static_cast<ssize_t>(sizeof size)) {
                header.problem = "not a PNG picture";
            } else {
                const std::uint64_t w = be32(size), h = be32(size + 4);
                if (w == 0 || h == 0)
                    header.problem = "the picture has no pixels";
                else if (w > kMaxPictureSide || h > kMaxPictureSide || w * h > std::uint64_t(kMaxPicturePixels))
                    header.problem =
                        std::to_string(w) + " x " + std::to_string(h) + " pixels are more than a library picture has";
                header.width = static_cast<int>(std::min<std::uint64_t>(w, INT32_MAX));
                header.height = static_cast<int>(std::min<std::uint64_t>(h, INT32_MAX));
            }
        }
    }
    ::close(fd);
    return header;
}

std::string newFileBeside(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    const std::string name = fileNameOf(path);
    const std::string::size_type dot = name.rfind('.');
    const std::string extension = dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char tag[32];
        std::snprintf(tag, sizeof tag, ".%08x%04x", random(), counter++ & 0xffffu);
        const std::string made = joinPath(folderOf(path), {"." + name + tag + extension});
        // O_EXCL and O_NOFOLLOW: a new file or nothing, never one that was there.
        const int fd = ::open(made.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return made;
        }
        if (errno != EEXIST)
            return std::string();
    }
    return std::string();
}

bool replaceWith(const std::string& made, const std::string& path) {
    if (::rename(made.c_str(), path.c_str()) == 0)
        return true;
    ::unlink(made.c_str());
    return false;
}

bool replaceBothWith(const std::string& made1, const std::string& path1, const std::string& made2,
                     const std::string& path2) {
    // What stands at path1 is moved aside first, so it can be put back.
    std::string kept;
    struct stat st {};
    if (::lstat(path1.c_str(), &st) == 0) {
        kept = newFileBeside(path1);
        if (kept.empty() || ::rename(path1.c_str(), kept.c_str()) != 0) {
            if (!kept.empty())
                ::unlink(kept.c_str());
            ::unlink(made1.c_str());
            ::unlink(made2.c_str());
            return false;
        }
    }
    if (::rename(made1.c_str(), path1.c_str()) != 0) {
        if (!kept.empty())
            ::rename(kept.c_str(), path1.c_str());
        ::unlink(made1.c_str());
        ::unlink(made2.c_str());
        return false;
    }
    if (::rename(made2.c_str(), path2.c_str()) != 0) {
        ::unlink(made2.c_str());
        if (kept.empty())
            ::unlink(path1.c_str());
        else
            ::rename(kept.c_str(), path1.c_str());
        return false;
    }
    if (!kept.empty())
        ::unlink(kept.c_str());
    return true;
}

bool removeEntry(const std::string& path) {
    struct stat st {};
    if (path.empty() || path.back() == '/' || ::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    return ::unlink(path.c_str()) == 0;
}

Listed listed(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return Listed::NoFolder;
    ::closedir(dir);
    return isPngFile(folder, name) && isValidUtf8(name) ? Listed::Yes : Listed::No;
}

}  // namespace libraryfiles
