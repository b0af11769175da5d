#include "platform/memory.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace platform {
namespace {

// Limits at or above this are the kernel's way of saying "none".
const int64_t kNoLimit = int64_t(1) << 60;

std::atomic<MemoryProbe> gProbe{nullptr};

bool readFile(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream text;
    text << in.rdbuf();
    out = text.str();
    return true;
}

bool isDirectory(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Leading decimal digits after blanks; -1 when there are none or they overflow.
int64_t leadingNumber(const std::string& text, size_t from) {
    while (from < text.size() && (text[from] == ' ' || text[from] == '\t')) ++from;
    if (from >= text.size() || !std::isdigit(static_cast<unsigned char>(text[from]))) return -1;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str() + from, &end, 10);
    if (errno == ERANGE || v < 0) return -1;
    return static_cast<int64_t>(v);
}

// What a cgroup folder still allows: limit less usage, or -1 for no limit.
int64_t headroomIn(const std::string& dir, const char* limitFile, const char* usageFile) {
    std::string limitText, usageText;
    if (!readFile(dir + "/" + limitFile, limitText)) return -1;
    const int64_t limit = parseCgroupNumber(limitText);
    if (limit < 0 || limit >= kNoLimit) return -1;
    int64_t usage = 0;
    if (readFile(dir + "/" + usageFile, usageText)) usage = std::max<int64_t>(0, parseCgroupNumber(usageText));
    return std::max<int64_t>(0, limit - usage);
}

// The tightest headroom from the process's cgroup up to the mount's root.
// Inside a cgroup namespace the path may name folders the mount does not
// show; its leading parts are dropped until a folder exists.
int64_t cgroupHeadroom(const std::string& mount, std::string path, const char* limitFile,
                       const char* usageFile) {
    if (!isDirectory(mount)) return -1;
    if (path.empty() || path[0] != '/') path = "/" + path;
    while (path.size() > 1 && !isDirectory(mount + path)) {
        const size_t next = path.find('/', 1);
        path = next == std::string::npos ? "/" : path.substr(next);
    }
    int64_t best = -1;
    for (;;) {
        const std::string dir = path == "/" ? mount : mount + path;
        const int64_t room = headroomIn(dir, limitFile, usageFile);
        if (room >= 0 && (best < 0 || room < best)) best = room;
        if (path == "/") break;
        const size_t cut = path.rfind('/');
        path = cut == 0 ? "/" : path.substr(0, cut);
    }
    return best;
}

}  // namespace

int64_t parseMemAvailable(const std::string& meminfo) {
    const std::string key = "MemAvailable:";
    size_t at = 0;
    while ((at = meminfo.find(key, at)) != std::string::npos) {
        if (at == 0 || meminfo[at - 1] == '\n') {
            const int64_t kib = leadingNumber(meminfo, at + key.size());
            if (kib < 0 || kib > INT64_MAX / 1024) return -1;
            return kib * 1024;
        }
        at += key.size();
    }
    return -1;
}

int64_t parseCgroupNumber(const std::string& text) {
    return leadingNumber(text, 0);
}

std::string cgroupPath(const std::string& procSelfCgroup, bool v2) {
    std::istringstream lines(procSelfCgroup);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t a = line.find(':');
        if (a == std::string::npos) continue;
        const size_t b = line.find(':', a + 1);
        if (b == std::string::npos) continue;
        const std::string id = line.substr(0, a);
        const std::string controllers = line.substr(a + 1, b - a - 1);
        const std::string path = line.substr(b + 1);
        if (v2) {
            if (id == "0" && controllers.empty()) return path;
            continue;
        }
        std::istringstream names(controllers);
        std::string name;
        while (std::getline(names, name, ','))
            if (name == "memory") return path;
    }
    return std::string();
}

int64_t availablePhysicalMemoryBelow(const std::string& root) {
    std::string meminfo;
    int64_t avail = readFile(root + "/proc/meminfo", meminfo) ? parseMemAvailable(meminfo) : -1;

    std::string self;
    readFile(root + "/proc/self/cgroup", self);
    int64_t room = -1;
    const std::string v1 = cgroupPath(self, false);
    if (!v1.empty()) room = cgroupHeadroom(root + "/sys/fs/cgroup/memory", v1, "memory.limit_in_bytes",
                                           "memory.usage_in_bytes");
    if (room < 0) {
        const std::string v2 = cgroupPath(self, true);
        room = cgroupHeadroom(root + "/sys/fs/cgroup", v2.empty() ? "/" : v2, "memory.max", "memory.current");
    }
    if (room >= 0 && (avail < 0 || room < avail)) avail = room;
    return avail;
}

int64_t probeAvailablePhysicalMemory() {
    return availablePhysicalMemoryBelow("");
}

int64_t availablePhysicalMemory() {
    MemoryProbe probe = gProbe.load(std::memory_order_acquire);
    return probe ? probe() : probeAvailablePhysicalMemory();
}

void setMemoryProbe(MemoryProbe probe) {
    gProbe.store(probe, std::memory_order_release);
}

}  // namespace platform
