#pragma once
// Scratch folder for the service tests: made with mkdtemp, removed with its
// contents at the end. ScopedCwd moves into it so code that works on names
// relative to the working directory never touches the repo.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <dirent.h>
#include <ftw.h>
#include <limits.h>
#include <grp.h>
#include <unistd.h>

namespace svctest {

class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/wyrle-svc-XXXXXX";
        if (char* made = mkdtemp(pattern)) dir = made;
    }
    ~TempDir() {
        if (dir.empty()) return;
        nftw(dir.c_str(), [](const char* p, const struct stat*, int, struct FTW*) { return std::remove(p); },
             16, FTW_DEPTH | FTW_PHYS);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    bool ok() const { return !dir.empty(); }
    std::string path(const std::string& name) const { return dir + "/" + name; }
    const std::string& root() const { return dir; }

private:
    std::string dir;
};

class ScopedCwd {
public:
    explicit ScopedCwd(const std::string& to) {
        if (getcwd(old, sizeof old) && chdir(to.c_str()) == 0) moved = true;
    }
    ~ScopedCwd() {
        if (moved && chdir(old) != 0) std::perror("chdir back");
    }
    ScopedCwd(const ScopedCwd&) = delete;
    ScopedCwd& operator=(const ScopedCwd&) = delete;
    bool ok() const { return moved; }

private:
    char old[PATH_MAX] = {};
    bool moved = false;
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// Entry names in `dir`, without "." and "..".
inline std::vector<std::string> listDir(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(d);
    }
    return names;
}

// Permission checks mean nothing to root: as root, run `body` in a child
// process as "nobody" (owning `dir` and all in it), so the tests still check
// something. Failures inside show as a non-zero exit of the child.
inline void asUnprivileged(const std::string& dir, const std::function<void()>& body) {
    if (geteuid() != 0) {
        body();
        return;
    }
    const uid_t nobody = 65534;
    EXPECT_EXIT(
        {
            const auto give = [](const char* p, const struct stat*, int, struct FTW*) {
                return lchown(p, 65534, 65534);
            };
            if (nftw(dir.c_str(), give, 16, FTW_PHYS) != 0 || setgroups(0, nullptr) != 0 || setgid(nobody) != 0 ||
                setuid(nobody) != 0)
                std::_Exit(2);
            body();
            std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

inline bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

}  // namespace svctest
