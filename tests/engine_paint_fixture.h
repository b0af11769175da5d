#pragma once
// The real engine set up on the default canvas and driven frame by frame: a
// host that also records the cursor, the uploads and the tool commands, and
// that "grabs the screen" from the engine's own screen image; the pointer and
// the buttons are set by the test.

#include <cstring>
#include <string>
#include <vector>

#include "engine_fixture.h"
#include "ofImage.h"

namespace painttest {

struct Upload {
    int x, y, w, h;
};

struct PaintHost : enginetest::RecordingHost {
    wyrleApp* engine = nullptr;
    bool lmb = false;
    int cursor = -1;
    int wakeUps = 0;
    std::vector<Upload> uploads;
    std::string title;

    void setWindowTitle(const std::string& t) override { title = t; }

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
};

// The drawing window shows the 800 x 600 default canvas at 100 % with its
// top-left corner at window (80, 41).
constexpr int kOffsetX = 80;
constexpr int kOffsetY = 41;

class PaintEngine : public enginetest::EngineFixture<wyrleApp, PaintHost> {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        if (HasFatalFailure()) return;
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

    // The brush library's New, the capture's first grab, then a stroke in
    // its box.
    void startCaptureWithASample() {
        f_newBrushPreset = 1;
        f_workState = kWorkFillFront;
        frame();
        ASSERT_EQ(f_newBrushPreset.load(), 2);
        stroke(400, 300, 560, 380, 10);
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
};

}  // namespace painttest
