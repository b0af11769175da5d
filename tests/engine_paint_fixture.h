#pragma once
// The real engine without a window, driven frame by frame: a host that
// records what the engine asks of the window and the tool window, and that
// "grabs the screen" from the engine's own screen image; the pointer and the
// buttons are set by the test.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "EngineGlobals.h"
#include "EngineHost.h"
#include "GuiBridge.h"
#include "Requests.h"
#include "WyrleGlobals.h"
#include "memory.h"
#include "ofImage.h"
#include "services_fixture.h"
#include "wyrleApp.h"

namespace painttest {

inline int64_t gMemory = int64_t(512) << 20;

struct Upload {
    int x, y, w, h;
};

struct PaintHost : HeadlessEngineHost {
    wyrleApp* engine = nullptr;
    bool lmb = false;
    int cursor = -1;
    int wakeUps = 0;
    std::vector<std::string> calls;  // tool-window operations in call order
    std::vector<Upload> uploads;
    std::string title;

    void note(const std::string& s) { calls.push_back(s); }
    void setWindowTitle(const std::string& t) override { title = t; }
    void buttonTextZoom(const wxString& label) override { note("zoom label " + std::string(label.utf8_str())); }
    void showToolWindow(bool show) override { note(show ? "show 1" : "show 0"); }
    void onTop() override { note("onTop"); }
    void backgroundColorBitmap() override { note("swatch"); }
    void fatalMessage(const wxString&, const wxString&) override { note("fatal"); }

    bool leftButtonDown() override { return lmb; }
    void setCursor(int c) override { cursor = c; }
    void wakeUpIdle() override { ++wakeUps; }
    void toolCommand(ToolCommand c) override {
        static const char* const names[] = {"NewDialog",     "LoadDialog",     "Save",          "SaveAsDialog",
                                            "HelpSelected",  "BrushClick",     "EraserClick",   "ZoomPlusClick",
                                            "ZoomMinusClick", "ZoomResetClick", "ShowBcgSelected"};
        note(names[static_cast<int>(c)]);
    }
    void sliderSize(int n) override { note("SliderSize " + std::to_string(n)); }
    void sliderEraserSize(int n) override { note("SliderEraserSize " + std::to_string(n)); }
    // What the window would show: the screen image itself.
    bool grabScreen(ofImage& image, int x, int y, int w, int h) override {
        const ofPixels& s = engine->screenImage.pixelBuffer;
        if (!s.allocated || x < 0 || y < 0 || x + w > s.width || y + h > s.height) return false;
        std::vector<unsigned char> box(static_cast<size_t>(w) * h * 3);
        for (int row = 0; row < h; ++row)
            std::memcpy(box.data() + static_cast<size_t>(row) * w * 3,
                        s.data + (static_cast<size_t>(y + row) * s.width + x) * 3, static_cast<size_t>(w) * 3);
        image.setFromPixels(box.data(), w, h, OF_IMAGE_COLOR);
        return true;
    }
    void uploadRect(ofImage& image, int x, int y, int w, int h) override {
        uploads.push_back({x, y, w, h});
        image.update();
    }
    bool called(const std::string& s) const {
        for (const std::string& c : calls)
            if (c == s) return true;
        return false;
    }
};

struct Message {
    std::string text, caption;
};

// The drawing window shows the 800 x 600 default canvas at 100 % with its
// top-left corner at window (80, 41).
constexpr int kOffsetX = 80;
constexpr int kOffsetY = 41;

class PaintEngine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.ok());
        cwd = std::make_unique<svctest::ScopedCwd>(dir.root());
        ASSERT_TRUE(cwd->ok());
        platform::setMemoryProbe([]() { return gMemory; });
        guibridge::setPoster([](guibridge::Task task) { task(); });
        guibridge::setMessageSink([this](const wxString& text, const wxString& caption) {
            messages.push_back(Message{std::string(text.utf8_str()), std::string(caption.utf8_str())});
        });
        resetShared();
        engine = std::make_unique<wyrleApp>();
        engine->host = &host;
        host.engine = engine.get();
        engine->mouseX = 400;
        engine->mouseY = 300;
        engine->setup();
        // Settle the chain at the pointer.
        frames(3);
        host.calls.clear();
        host.uploads.clear();
        host.wakeUps = 0;
        messages.clear();
    }
    void TearDown() override {
        engine.reset();
        guibridge::setMessageSink(nullptr);
        guibridge::setPoster(nullptr);
        platform::setMemoryProbe(nullptr);
        resetShared();
    }

    static void resetShared() {
        f_workState = 0;
        f_setPalette = false;
        f_setPaletteBasicHSV = false;
        f_setStrings = false;
        f_setupBrushParameters = false;
        f_centerTexture = false;
        f_changeShowBcg = 0;
        f_changeCollapse = 0;
        f_changeClearBack = 0;
        f_newBrushPreset = 0;
        f_newArtwork = false;
        f_showBcg = false;
        f_export = false;
        f_premultiAlpha = 0;
        f_fixedLoadPic = false;
        f_findAutoBcgColor = true;
        f_premultiplyAlpha = false;
        gSaveAs = false;
        gFileSaved = false;
        bMove = false;
        f_borderWidth = 0;
        f_borderHeight = 0;
        wyrleApp::key = 0;
        wyrleApp::KeyGlutGetModifiers = 0;
        gLogging = false;
    }

    // One frame of the program: the frame step, then the display.
    void frame() {
        engine->update();
        engine->draw();
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) frame();
    }
    // The pointer at window (x, y), then a frame.
    void moveTo(float x, float y) {
        engine->mouseX = static_cast<int>(x);
        engine->mouseY = static_cast<int>(y);
        frame();
    }
    // GLUT's button callback: the pointer, then the press or the release.
    void press(int button, int x, int y) {
        engine->mouseX = x;
        engine->mouseY = y;
        if (button == 0) host.lmb = true;
        engine->mousePressed(x, y, button);
    }
    void release(int button, int x, int y) {
        engine->mouseX = x;
        engine->mouseY = y;
        if (button == 0) host.lmb = false;
        engine->mouseReleased(x, y, button);
    }
    // A left-button stroke from (x0, y0) to (x1, y1) over `steps` frames,
    // then frames until it has faded out.
    void stroke(int x0, int y0, int x1, int y1, int steps = 20, int button = 0) {
        press(button, x0, y0);
        for (int i = 1; i <= steps; ++i)
            moveTo(x0 + (x1 - x0) * static_cast<float>(i) / steps, y0 + (y1 - y0) * static_cast<float>(i) / steps);
        release(button, x1, y1);
        settle();
    }
    // Frames until no stroke runs (at most two seconds of them).
    void settle() {
        for (int i = 0; i < 80 && (engine->strokeState != 0 || requests::workState() != 0); ++i) frame();
        frame();
    }
    void key(unsigned char k, int mods = 0) {
        wyrleApp::key = k;
        wyrleApp::KeyGlutGetModifiers = mods;
        frame();
    }

    bool bPanSet() const { return engine->bPan.load(); }

    std::vector<unsigned char> front() const {
        const ofPixels& p = engine->frontLayer.pixelBuffer;
        return std::vector<unsigned char>(p.data, p.data + static_cast<size_t>(p.width) * p.height * p.channelCount);
    }
    int changedPixels(const std::vector<unsigned char>& before) const {
        const std::vector<unsigned char> now = front();
        const int bpp = engine->frontLayer.pixelBuffer.channelCount;
        int n = 0;
        for (size_t i = 0; i + bpp <= now.size(); i += bpp)
            n += std::memcmp(&now[i], &before[i], static_cast<size_t>(bpp)) != 0;
        return n;
    }

    svctest::TempDir dir;
    std::unique_ptr<svctest::ScopedCwd> cwd;
    PaintHost host;
    std::unique_ptr<wyrleApp> engine;
    std::vector<Message> messages;
};

}  // namespace painttest
