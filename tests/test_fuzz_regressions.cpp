// Inputs the fuzzers once broke a parser with, kept after the fix: every file
// in tests/fuzz/regressions/TARGET/ goes through the same body as the fuzz
// target of that name. A broken promise aborts the test process.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz/targets.h"
#include "services_fixture.h"

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

class FuzzRegressions : public ::testing::TestWithParam<Target> {};

}  // namespace

TEST_P(FuzzRegressions, KeptInputsRunClean) {
    const std::string dir = std::string(WYRLE_SOURCE_DIR) + "/tests/fuzz/regressions/" + GetParam().name;
    std::vector<std::string> names = svctest::listDir(dir);
    if (names.empty()) GTEST_SKIP() << "no kept inputs for " << GetParam().name;
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        // Printed first: a broken promise ends the process at once.
        std::fprintf(stderr, "input %s\n", name.c_str());
        const std::string bytes = svctest::readFile(dir + "/" + name);
        GetParam().run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzRegressions, ::testing::ValuesIn(kTargets),
                         [](const ::testing::TestParamInfo<Target>& info) { return std::string(info.param.name); });
