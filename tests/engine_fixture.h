#pragma once
// The real engine without a window, as the engine tests build it: a scratch
// working folder, a fake memory probe, GUI tasks run at once, message boxes
// collected, the shared globals at their load values, and a host that
// records what the engine asks of the tool window.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/EngineGlobals.h"
#include "core/EngineHost.h"
#include "core/GuiBridge.h"
#include "core/Requests.h"
#include "core/WyrleGlobals.h"
#include "core/wyrleApp.h"
#include "platform/memory.h"
#include "tests/services_fixture.h"

namespace enginetest {

constexpr int64_t MiB = int64_t(1) << 20;

// What the memory probe reports; a test may lower it before a set-up.
inline int64_t gMemory = 512 * MiB;

struct Message {
    std::string text, caption;
};

// The tool-window calls in call order, and the fatal messages counted.
struct RecordingHost : HeadlessEngineHost {
    std::vector<std::string> calls;
    int fatals = 0;

    void note(const std::string& s) { calls.push_back(s); }
    bool called(const std::string& s) const {
        for (const std::string& c : calls)
            if (c == s) return true;
        return false;
    }

    void buttonTextZoom(const wxString& label) override { note("zoom " + std::string(label.utf8_str())); }
    void showToolWindow(bool show) override { note(show ? "show 1" : "show 0"); }
    void onTop() override { note("onTop"); }
    void backgroundColorBitmap() override { note("swatch"); }
    void fatalMessage(const wxString&, const wxString&) override { ++fatals; }
};

// The requests, hand-over flags and window placement as the program loads them.
inline void resetShared() {
    wyrleApp::clearRequestFlags();
    f_workState = 0;
    f_newBrushPreset = 0;
    f_showBcg = false;
    f_export = false;
    f_premultiAlpha = 0;
    f_fixedLoadPic = false;
    f_findAutoBcgColor = true;
    f_premultiplyAlpha = false;
    gSaveAs = false;
    gFileSaved = false;
    bMove = false;
    moveTo.set(0, 0);
    f_borderWidth = 0;
    f_borderHeight = 0;
    gGuiPositionX = 0;
    gGuiPositionY = -2;
    gBasePositionX = 201;
    gBasePositionY = 28;
    wyrleApp::key = 0;
    wyrleApp::KeyGlutGetModifiers = 0;
    gLogging = false;
}

// An engine of type E on a host of type H, made but not set up.
template <class E, class H>
class EngineFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.ok());
        cwd = std::make_unique<svctest::ScopedCwd>(dir.root());
        ASSERT_TRUE(cwd->ok());
        gMemory = 512 * MiB;
        platform::setMemoryProbe([]() { return gMemory; });
        guibridge::setPoster([](guibridge::Task task) { task(); });
        guibridge::setMessageSink([this](const wxString& text, const wxString& caption) {
            messages.push_back(Message{std::string(text.utf8_str()), std::string(caption.utf8_str())});
        });
        resetShared();
        newEngine();
    }
    void TearDown() override {
        engine.reset();
        guibridge::setMessageSink(nullptr);
        guibridge::setPoster(nullptr);
        platform::setMemoryProbe(nullptr);
        resetShared();
    }

    // Replaces the engine with a fresh one on the same host.
    void newEngine() {
        engine = std::make_unique<E>();
        engine->host = &host;
    }

    svctest::TempDir dir;
    std::unique_ptr<svctest::ScopedCwd> cwd;
    H host;
    std::unique_ptr<E> engine;
    std::vector<Message> messages;
};

}  // namespace enginetest
