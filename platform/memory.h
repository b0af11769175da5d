#pragma once
// How much physical memory the process may still use, in bytes: the
// kernel's MemAvailable, capped by what the process's memory cgroup still
// allows (its limit less its usage). 64-bit throughout.

#include <cstdint>
#include <string>

namespace platform {

// The figure behind availablePhysicalMemory; -1 when unknown.
int64_t probeAvailablePhysicalMemory();

// As above, with every file read below `root` ("" is the real system; tests
// pass a folder that mimics /proc and /sys/fs/cgroup).
int64_t availablePhysicalMemoryBelow(const std::string& root);

// What the engine asks: the probe, or the stand-in installed for tests.
int64_t availablePhysicalMemory();

// Replaceable for tests (null restores the real probe).
using MemoryProbe = int64_t (*)();
void setMemoryProbe(MemoryProbe probe);

// Parsers, exposed for tests. Each returns -1 when the text holds no number.
// "MemAvailable:   23415112 kB" inside a /proc/meminfo text, in bytes.
int64_t parseMemAvailable(const std::string& meminfo);
// A cgroup figure such as "1766637568\n"; "max" (no limit) gives -1.
int64_t parseCgroupNumber(const std::string& text);
// The cgroup path of the memory controller in a /proc/self/cgroup text:
// the "0::" line for cgroup v2 (`v2` true) or the "memory" line for v1.
std::string cgroupPath(const std::string& procSelfCgroup, bool v2);

}  // namespace platform
