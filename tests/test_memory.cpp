#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <string>

#include "platform/memory.h"
#include "tests/services_fixture.h"

namespace {

const char kMeminfo[] =
    "MemTotal:       32000000 kB\n"
    "MemFree:         1000000 kB\n"
    "MemAvailable:    4000000 kB\n"
    "Buffers:          100000 kB\n";

// A folder that looks like / to the probe: /proc/meminfo, /proc/self/cgroup
// and whatever cgroup files a case gives.
class FakeRoot {
public:
    explicit FakeRoot(const std::string& cgroupSelf) {
        write("/proc/meminfo", kMeminfo);
        write("/proc/self/cgroup", cgroupSelf);
    }
    void write(const std::string& path, const std::string& text) {
        const std::string full = dir.root() + path;
        for (size_t at = dir.root().size() + 1; (at = full.find('/', at)) != std::string::npos; ++at)
            ::mkdir(full.substr(0, at).c_str(), 0755);
        std::ofstream(full) << text;
    }
    std::string root() const { return dir.root(); }

private:
    svctest::TempDir dir;
};

const int64_t kAvail = int64_t(4000000) * 1024;

}  // namespace

TEST(MemoryProbe, Parsers) {
    EXPECT_EQ(platform::parseMemAvailable(kMeminfo), kAvail);
    EXPECT_EQ(platform::parseMemAvailable("MemTotal: 5 kB\n"), -1);
    EXPECT_EQ(platform::parseMemAvailable("XMemAvailable: 5 kB\nMemAvailable: 7 kB\n"), 7 * 1024);
    EXPECT_EQ(platform::parseMemAvailable("MemAvailable: lots\n"), -1);
    // Beyond 32 bits.
    EXPECT_EQ(platform::parseMemAvailable("MemAvailable: 8589934592 kB\n"), int64_t(8589934592) * 1024);

    EXPECT_EQ(platform::parseCgroupNumber("1766637568\n"), 1766637568);
    EXPECT_EQ(platform::parseCgroupNumber("max\n"), -1);
    EXPECT_EQ(platform::parseCgroupNumber(""), -1);

    const std::string self = "12:cpu,cpuacct:/a\n4:memory:/box/job\n0::/slice/app\n";
    EXPECT_EQ(platform::cgroupPath(self, false), "/box/job");
    EXPECT_EQ(platform::cgroupPath(self, true), "/slice/app");
    EXPECT_EQ(platform::cgroupPath("3:cpuset,memory:/x\n", false), "/x");
    EXPECT_EQ(platform::cgroupPath("0::/\n", false), "");
}

TEST(MemoryProbe, CgroupLimitsCapTheFreeMemory) {
    {  // No cgroup limit at all: MemAvailable.
        FakeRoot root("0::/\n");
        root.write("/sys/fs/cgroup/memory.max", "max\n");
        EXPECT_EQ(platform::availablePhysicalMemoryBelow(root.root()), kAvail);
    }
    {  // cgroup v2, limit on a parent folder, tighter than the own one.
        FakeRoot root("0::/slice/app\n");
        root.write("/sys/fs/cgroup/slice/app/memory.max", "3000000000\n");
        root.write("/sys/fs/cgroup/slice/app/memory.current", "500000000\n");
        root.write("/sys/fs/cgroup/slice/memory.max", "1500000000\n");
        root.write("/sys/fs/cgroup/slice/memory.current", "1000000000\n");
        EXPECT_EQ(platform::availablePhysicalMemoryBelow(root.root()), 500000000);
    }
    {  // cgroup v1 inside a namespace: the path's leading part is not mounted.
        FakeRoot root("4:memory:/outer/job\n0::/\n");
        root.write("/sys/fs/cgroup/memory/job/memory.limit_in_bytes", "2000000000\n");
        root.write("/sys/fs/cgroup/memory/job/memory.usage_in_bytes", "1800000000\n");
        root.write("/sys/fs/cgroup/memory/memory.limit_in_bytes", "9223372036854771712\n");
        EXPECT_EQ(platform::availablePhysicalMemoryBelow(root.root()), 200000000);
    }
    {  // Usage above the limit leaves nothing, not a negative figure.
        FakeRoot root("0::/\n");
        root.write("/sys/fs/cgroup/memory.max", "100\n");
        root.write("/sys/fs/cgroup/memory.current", "200\n");
        EXPECT_EQ(platform::availablePhysicalMemoryBelow(root.root()), 0);
    }
    {  // A limit looser than MemAvailable changes nothing.
        FakeRoot root("0::/\n");
        root.write("/sys/fs/cgroup/memory.max", "99999999999999\n");
        EXPECT_EQ(platform::availablePhysicalMemoryBelow(root.root()), kAvail);
    }
}

TEST(MemoryProbe, RealSystemAndTestSeam) {
    EXPECT_GT(platform::probeAvailablePhysicalMemory(), 0);
    platform::setMemoryProbe([]() -> int64_t { return 12345; });
    EXPECT_EQ(platform::availablePhysicalMemory(), 12345);
    platform::setMemoryProbe(nullptr);
    EXPECT_GT(platform::availablePhysicalMemory(), 0);
}
