// The engine's whole frame as the program runs it (frame step, render and
// draw), without a window; the GL upload and drawing are not part of it.
//
//   BM_EngineFrame/ribbon4  a 1920 x 1080 RGBA canvas at 100 % in a 1728 x 1056
//                           view, ribbons, detail 4, 300 particles, spline
//   BM_EngineFrame/line     the same with lines, step 1, a fast stroke

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/EngineGlobals.h"
#include "core/EngineHost.h"
#include "core/GuiBridge.h"
#include "core/WyrleGlobals.h"
#include "core/wyrleApp.h"
#include "framework/ofMath.h"
#include "framework/ofUtils.h"
#include "platform/memory.h"

namespace {

constexpr int kViewW = 1728;
constexpr int kViewH = 1056;

// The button stays down: one long stroke.
struct StrokeHost : HeadlessEngineHost {
    StrokeHost() {
        winW = kViewW;
        winH = kViewH;
    }
    bool leftButtonDown() override { return true; }
};

struct FrameCase {
    bool fill;
    int detail;
    float speed;  // pointer speed in window pixels per frame
};

// The engine writes its preferences file where it runs: into a scratch
// folder, removed again afterwards.
class ScratchFolder {
public:
    ScratchFolder() {
        char pattern[] = "/tmp/wyrle-bench-XXXXXX";
        if (getcwd(old_, sizeof old_) && mkdtemp(pattern)) {
            dir_ = pattern;
            if (chdir(pattern) != 0) dir_.clear();
        }
    }
    ~ScratchFolder() {
        if (dir_.empty()) return;
        std::remove((dir_ + "/prefs.cfg").c_str());
        std::remove((dir_ + "/wyrleApp.log").c_str());
        if (chdir(old_) != 0) std::perror("chdir");
        rmdir(dir_.c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

private:
    char old_[PATH_MAX] = {};
    std::string dir_;
};

void BM_EngineFrame(benchmark::State& state, FrameCase c) {
    ScratchFolder scratch;
    // A small ring: the frame does not depend on its depth.
    platform::setMemoryProbe([]() { return int64_t(1) << 30; });
    guibridge::setPoster([](guibridge::Task task) { task(); });
    guibridge::setMessageSink([](const wxString&, const wxString&) {});
    StrokeHost host;
    auto engine = std::make_unique<wyrleApp>();
    engine->host = &host;
    // The interface pictures are not here; the warnings say nothing.
    const int logLevel = ofGetLogLevel();
    ofSetLogLevel(OF_LOG_ERROR);
    engine->setup();
    ofSetLogLevel(logLevel);
    f_sx = 1920;
    f_sy = 1080;
    f_alphaBCG = 1;
    f_workState = kWorkNewArtwork;
    engine->update();
    f_scalezRangePos = 2;
    f_centerTexture = true;
    engine->draw();
    f_fillz = c.fill;
    f_paintDetail = c.detail;
    f_PartNum = 300;
    f_PartStep = 1;
    f_spline = true;
    f_perpixelz = 1;
    ofSeedRandom(42);
    f_setStrings = true;

    int frame = 0;
    const auto step = [&] {
        const float a = static_cast<float>(++frame) * c.speed / 500.0f;
        engine->mouseX = static_cast<int>(kViewW * 0.5f + 650.0f * std::sin(a));
        engine->mouseY = static_cast<int>(kViewH * 0.5f + 380.0f * std::sin(2.0f * a));
        engine->update();
        engine->draw();
    };
    step();
    engine->mousePressed(engine->mouseX, engine->mouseY, 0);
    for (int i = 0; i < 80; ++i) step();
    for (auto _ : state) {
        step();
        benchmark::ClobberMemory();
    }
    engine->exit();
    guibridge::setMessageSink(nullptr);
    guibridge::setPoster(nullptr);
    platform::setMemoryProbe(nullptr);
}
BENCHMARK_CAPTURE(BM_EngineFrame, ribbon4, FrameCase{true, 4, 12.0f})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EngineFrame, line, FrameCase{false, 1, 80.0f})->Unit(benchmark::kMillisecond);

}  // namespace
