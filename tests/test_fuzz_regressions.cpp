// Inputs kept for the fuzz targets go through the same bodies as the fuzz
// target of that name: tests/fuzz/regressions/TARGET/ (inputs that once broke
// a parser, kept after the fix) and tests/fuzz/seeds/TARGET/ (sound and
// damaged examples of each format). Each input runs in a child process that
// must end cleanly within 2 s, so an input once named for minutes of work
// fails here if the work comes back.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "tests/fuzz/picture_targets.h"
#include "tests/services_fixture.h"

namespace {

struct Target {
    const char* name;
    int (*run)(const uint8_t*, size_t);
};

const Target kTargets[] = {
    {"fuzz_png_comment", fuzz::pngComment},
    {"fuzz_jpeg_comment", fuzz::jpegComment},
    {"fuzz_config", fuzz::config},
    {"fuzz_artwork_metadata", fuzz::artworkMetadata},
    {"fuzz_gradient_comment", fuzz::gradientComment},
    {"fuzz_brush_comment", fuzz::brushComment},
    {"fuzz_image_load", fuzz::imageLoad},
};

constexpr auto kLimit = std::chrono::seconds(2);

// Runs one input in a child; empty when it ended cleanly in time, else what
// went wrong. A child still running at the limit is killed.
std::string replay(const Target& target, const std::string& bytes) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) return "fork failed";
    if (pid == 0) {
        target.run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        std::fflush(nullptr);
        _exit(0);
    }
    const auto deadline = std::chrono::steady_clock::now() + kLimit;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return "still running after 2 s";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (WIFSIGNALED(status)) return "ended by signal " + std::to_string(WTERMSIG(status));
    if (WEXITSTATUS(status) != 0) return "exit code " + std::to_string(WEXITSTATUS(status));
    return std::string();
}

class FuzzInputs : public ::testing::TestWithParam<Target> {};

}  // namespace

TEST_P(FuzzInputs, KeptInputsRunCleanWithinTheLimit) {
    size_t count = 0;
    for (const char* kind : {"regressions", "seeds"}) {
        const std::string dir = std::string(WYRLE_SOURCE_DIR) + "/tests/fuzz/" + kind + "/" + GetParam().name;
        std::vector<std::string> names = svctest::listDir(dir);
        std::sort(names.begin(), names.end());
        for (const std::string& name : names) {
            ++count;
            EXPECT_EQ(replay(GetParam(), svctest::readFile(dir + "/" + name)), "") << kind << "/" << name;
        }
    }
    EXPECT_GT(count, 0u) << "no kept inputs for " << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzInputs, ::testing::ValuesIn(kTargets),
                         [](const ::testing::TestParamInfo<Target>& info) { return std::string(info.param.name); });
