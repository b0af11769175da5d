// The engine without a window: set-up, the frame step, resizing, the canvas
// memory and its fallback, driven through a recording host and a recording
// engine.

#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "engine_fixture.h"

namespace {

using enginetest::gMemory;
using enginetest::MiB;

// Also records the window calls the set-up and resizing make.
struct FakeHost : enginetest::RecordingHost {
    void setWindowPosition(int x, int y) override {
        RecordingHost::setWindowPosition(x, y);
        note("position " + std::to_string(x) + " " + std::to_string(y));
    }
    void setWindowShape(int w, int h) override { note("shape " + std::to_string(w) + " " + std::to_string(h)); }
    void setFrameRate(int rate) override { note("frameRate " + std::to_string(rate)); }
    void installCallbacks() override { note("installCallbacks"); }
    void registerDialogs() override { note("registerDialogs"); }
    // Runs inside the actions that recompose the canvas (clear, fill, undo).
    std::function<void()> duringTitle;
    void setWindowTitle(const std::string&) override {
        if (duringTitle) duringTitle();
    }
};

// Records the frame step's calls; with `stub` set they do nothing else, so
// the order can be checked alone. Allocation failures can be injected.
struct TestEngine : wyrleApp {
    bool stub = false;
    std::vector<std::string> calls;
    std::function<void(const std::string&)> during;

    bool lmb = false;
    int failAt = INT_MIN;
    std::size_t failAbove = std::numeric_limits<std::size_t>::max();
    bool failAll = false;
    std::vector<int> frees;

    void note(const std::string& s) {
        calls.push_back(s);
        if (during) during(s);
    }
    void newArtwork() override {
        note("newArtwork");
        if (!stub) wyrleApp::newArtwork();
    }
    void loadArtwork() override {
        note("loadArtwork");
        if (!stub) wyrleApp::loadArtwork();
    }
    void saveArtwork(const SaveRequest& request) override {
        note("saveArtwork");
        if (!stub) wyrleApp::saveArtwork(request);
    }
    void paletka() override { note("paletka"); if (!stub) wyrleApp::paletka(); }
    void paletkaBasicHSV() override { note("paletkaBasicHSV"); if (!stub) wyrleApp::paletkaBasicHSV(); }
    void setupStrings() override { note("setupStrings"); if (!stub) wyrleApp::setupStrings(); }
    void setupBrushParameters() override { note("setupBrushParameters"); if (!stub) wyrleApp::setupBrushParameters(); }
    void updateParticles() override { note("updateParticles"); if (!stub) wyrleApp::updateParticles(); }
    void render() override { note("render"); if (!stub) wyrleApp::render(); }
    void keyPressed(int k) override { note("key " + std::to_string(k)); }
    void mouseReleased(int x, int y, int b) override {
        note("released " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(b));
    }
    bool GetLMB() override { return lmb; }

    void* allocateBlock(std::size_t bytes, int which, bool zeroed) override {
        if (failAll || which == failAt || bytes > failAbove) return nullptr;
        return wyrleApp::allocateBlock(bytes, which, zeroed);
    }
    void freeBlock(void* block, int which) override {
        frees.push_back(which);
        wyrleApp::freeBlock(block, which);
    }
};

class Engine : public enginetest::EngineFixture<TestEngine, FakeHost> {
protected:
    void withInterfaceImages() {
        ASSERT_EQ(::symlink(WYRLE_SOURCE_DIR "/data", (dir.root() + "/data").c_str()), 0);
    }
    void writePrefs(const std::string& text) { std::ofstream(dir.path("prefs.cfg")) << text; }
    void startUp() {
        engine->setup();
        engine->calls.clear();
        host.calls.clear();
        messages.clear();
    }
    void expectDefaultCanvas() {
        EXPECT_TRUE(engine->canvasReady);
        EXPECT_EQ(engine->canvasWidth, 800);
        EXPECT_EQ(engine->canvasHeight, 600);
        EXPECT_EQ(engine->frontSpan().bpp, 3);
        EXPECT_EQ(f_alphaBCG.load(), 0);
        const canvas::PixelSpan front = engine->frontSpan();
        for (std::size_t i = 0; i < front.bytes(); ++i)
            if (front.px[i] != 0) FAIL() << "front byte " << i << " is " << int(front.px[i]);
        EXPECT_EQ(engine->memoryFallbackLevel, 0);
        EXPECT_FALSE(engine->minimumRing);
    }
    void expectOneMemoryMessage() {
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, "Could not allocate enough memory, changing to default settings.");
        EXPECT_EQ(messages[0].caption, "Info: Not enough memory");
    }
};

}  // namespace

TEST_F(Engine, SetUpBuildsTheDefaultCanvasAndItsRing) {
    withInterfaceImages();
    engine->mouseX = 10;
    engine->mouseY = 20;
    engine->setup();

    EXPECT_EQ(host.calls.front(), "installCallbacks");
    EXPECT_EQ(host.calls.back(), "registerDialogs");
    EXPECT_TRUE(host.called("position 201 28"));
    EXPECT_TRUE(host.called("frameRate 40"));
    EXPECT_TRUE(host.called("zoom 100 %"));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(f_workState.load(), 0);

    EXPECT_EQ(engine->maxCanvasWidth, 1728);
    EXPECT_EQ(engine->maxCanvasHeight, 1056);
    EXPECT_EQ(engine->viewWidth, 960);
    EXPECT_EQ(engine->viewHeight, 682);
    EXPECT_EQ(engine->screenImage.width, 1728);
    const canvas::PixelSpan backdrop = wyrleApp::spanOf(engine->backdropImage);
    EXPECT_EQ(backdrop.px[0], 114);
    EXPECT_EQ(backdrop.px[backdrop.bytes() - 1], 106);
    EXPECT_EQ(engine->frontThumbnail.width, 50);
    EXPECT_EQ(brushColor.width, 256);
    EXPECT_EQ(brushIconColor.width, 64);
    EXPECT_EQ(engine->iconFront.width, 52);
    EXPECT_EQ(engine->iconPaint.width, 100);

    expectDefaultCanvas();
    EXPECT_EQ(f_scalezRangePos.load(), 2);
    EXPECT_FLOAT_EQ(engine->canvasOffsetX, 80);
    EXPECT_FLOAT_EQ(engine->canvasOffsetY, 41);
    EXPECT_TRUE(f_additive.load());
    EXPECT_TRUE(f_showCursor.load());

    // The ring: depth from 512 MiB at 30 %, buffer 0 holds the front layer.
    EXPECT_EQ(f_undoPercent.load(), 30);
    EXPECT_EQ(f_usePhysMem.load(), 161061273);
    EXPECT_EQ(f_undoMax.load(), 93);
    EXPECT_EQ(engine->undoBufferCount, 94);
    EXPECT_EQ(engine->undoFrameBytes, 800u * 600u * 3u);
    EXPECT_EQ(std::memcmp(engine->undoBuffers[0], engine->frontSpan().px, engine->undoFrameBytes), 0);
    EXPECT_EQ(engine->undoPos, 0);
    EXPECT_EQ(engine->undoOldest, 0);
    EXPECT_EQ(engine->undoRedoEnd, 2);
    EXPECT_EQ(engine->undoHasBack[0], -1);
    EXPECT_EQ(engine->allocFailIndex, -1);
    for (int i = 0; i < 800 * 600; ++i)
        if (engine->pixelMap[i] != 0) FAIL() << "pixel map entry " << i;

    // The default gradient and brush colour are built.
    EXPECT_EQ(paletteR[800], 109);
    EXPECT_EQ(paletteBasicR, 244);

    // Every trail point of the chain lies on the pointer.
    for (int i = 0; i < kParticleCount; ++i) {
        ASSERT_EQ(engine->nowX[i], 10);
        ASSERT_EQ(engine->last3X[i], 10);
        ASSERT_EQ(engine->last2Y[i], 20);
    }
}

TEST_F(Engine, SetUpGoesOnWithoutTheInterfaceImages) {
    engine->setup();
    EXPECT_TRUE(engine->canvasReady);
    EXPECT_EQ(engine->iconFront.width, 0);
    EXPECT_EQ(f_workState.load(), 0);
    engine->update();
}

TEST_F(Engine, UndoShareComesFromThePreferencesClamped) {
    const struct { const char* prefs; int percent, undoMax; } cases[] = {
        {"UndoPercent = 5\n", 10, 17},
        {"UndoPercent = 95\n", 90, 201},
        {"UndoPercent = abc\n", 30, 93},
    };
    for (const auto& c : cases) {
        writePrefs(c.prefs);
        newEngine();
        engine->setup();
        EXPECT_EQ(f_undoPercent.load(), c.percent) << c.prefs;
        EXPECT_EQ(f_undoMax.load(), c.undoMax) << c.prefs;
        EXPECT_EQ(engine->undoBufferCount, c.undoMax + 1) << c.prefs;
    }
}

TEST_F(Engine, ARequestRaisedBeforeSetUpIsKept) {
    f_workState = kWorkSave;
    engine->setup();
    EXPECT_EQ(f_workState.load(), kWorkSave);
    engine->calls.clear();
    engine->update();
    EXPECT_EQ(engine->calls.front(), "saveArtwork");
    EXPECT_EQ(f_workState.load(), 0);
}

TEST_F(Engine, FrameStepTakesEveryRequestOnceInOrder) {
    startUp();
    engine->stub = true;
    f_workState = kWorkNewArtwork;
    f_setPalette = true;
    f_setPaletteBasicHSV = true;
    f_setStrings = true;
    f_setupBrushParameters = true;
    engine->update();
    EXPECT_EQ(engine->calls, (std::vector<std::string>{"newArtwork", "paletka", "paletkaBasicHSV", "setupStrings",
                                                       "setupBrushParameters", "updateParticles", "render"}));
    EXPECT_FALSE(f_setPalette.load());
    EXPECT_FALSE(f_setPaletteBasicHSV.load());
    EXPECT_FALSE(f_setStrings.load());
    EXPECT_FALSE(f_setupBrushParameters.load());
    EXPECT_EQ(f_workState.load(), 0);

    engine->calls.clear();
    engine->update();
    EXPECT_EQ(engine->calls, (std::vector<std::string>{"updateParticles", "render"}));

    // Each code is tested after the one before it ran, so a code written
    // meanwhile is taken in the same frame.
    engine->calls.clear();
    engine->during = [](const std::string& call) {
        if (call == "newArtwork") f_workState = kWorkSave;
    };
    f_workState = kWorkNewArtwork;
    engine->update();
    EXPECT_EQ(engine->calls, (std::vector<std::string>{"newArtwork", "saveArtwork", "updateParticles", "render"}));

    // A flag raised again while its action runs is kept for the next frame.
    engine->calls.clear();
    engine->during = [](const std::string& call) {
        if (call == "setupStrings") f_setStrings = true;
    };
    f_setStrings = true;
    engine->update();
    engine->during = nullptr;
    engine->update();
    int resets = 0;
    for (const std::string& c : engine->calls) resets += c == "setupStrings";
    EXPECT_EQ(resets, 2);
}

TEST_F(Engine, ACodeWrittenAgainWhileItsActionRunsIsTakenInTheNextFrame) {
    // Ctrl+S during a long save, Clear or Fill asked for again while the
    // last one runs: the second request must not vanish with the first.
    startUp();
    f_saveFile.set(wxString::FromUTF8(dir.path("again.png").c_str()));
    struct Case {
        int code;
        const char* action;  // where the test writes the code again
    };
    for (const Case c : {Case{kWorkSave, "saveArtwork"}, Case{kWorkClearFront, "title"},
                         Case{kWorkFillFront, "title"}}) {
        SCOPED_TRACE(c.code);
        int runs = 0;
        auto again = [&c, &runs]() {
            if (++runs == 1) f_workState = c.code;
        };
        engine->during = [&](const std::string& call) {
            if (call == c.action) again();
        };
        host.duringTitle = [&]() {
            if (std::string(c.action) == "title") again();
        };
        f_workState = c.code;
        engine->update();
        EXPECT_EQ(runs, 1);
        EXPECT_EQ(f_workState.load(), c.code) << "the second request was lost";
        engine->update();
        EXPECT_EQ(runs, 2);
        EXPECT_EQ(f_workState.load(), 0);
        engine->during = nullptr;
        host.duringTitle = nullptr;
    }
}

TEST_F(Engine, KeysAndTheLeftButtonAreTakenAtTheFrameStep) {
    startUp();
    engine->stub = true;
    wyrleApp::key = 'a';
    wyrleApp::key = 'b';  // typed before the frame: replaces the first
    engine->update();
    EXPECT_EQ(engine->calls.front(), "key 98");
    EXPECT_EQ(wyrleApp::key, 0);

    // A release seen by the poll ends a running stroke, even outside the window.
    engine->calls.clear();
    engine->strokeState = 2;
    engine->lmb = true;
    engine->update();
    engine->lmb = false;
    engine->update();
    EXPECT_EQ(engine->calls[2], "released 0 0 0");
    // Not while the stroke has not started running.
    engine->calls.clear();
    engine->strokeState = 1;
    engine->lmb = true;
    engine->update();
    engine->lmb = false;
    engine->update();
    for (const std::string& c : engine->calls) EXPECT_NE(c, "released 0 0 0");
}

TEST_F(Engine, DockingSnapsAMovingWindowBesideTheToolWindow) {
    startUp();
    engine->stub = true;
    gGuiPositionX = 100;
    gGuiPositionY = 100;
    host.posX = 500;
    host.posY = 500;
    engine->update();
    EXPECT_FALSE(host.called("position 298 81"));
    host.posX = 300;
    host.posY = 80;
    engine->update();
    EXPECT_TRUE(host.called("position 298 81"));
    EXPECT_EQ(gBasePositionX.load(), 300);

    // Standing still in the band does not snap.
    host.calls.clear();
    host.posX = 300;
    host.posY = 80;
    engine->update();
    host.calls.clear();
    engine->update();
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(Engine, PanningMovesTheCanvasWithinTheViewClamp) {
    startUp();
    engine->stub = true;
    engine->mouseX = 10;
    engine->update();
    engine->strokeState = 1;
    engine->bPan = true;
    engine->mouseX = 30;
    engine->update();
    EXPECT_FLOAT_EQ(engine->canvasOffsetX, 100);
    EXPECT_EQ(engine->redrawMode, 3);
    EXPECT_FLOAT_EQ(engine->screenOffsetX, 100);
    engine->mouseX = 3000;
    engine->update();
    EXPECT_FLOAT_EQ(engine->canvasOffsetX, 720);

    // No pan during a brush capture or without a stroke.
    f_newBrushPreset = 2;
    engine->mouseX = 0;
    engine->update();
    EXPECT_FLOAT_EQ(engine->canvasOffsetX, 720);
    f_newBrushPreset = 0;
    engine->strokeState = 0;
    engine->mouseX = 300;
    engine->update();
    EXPECT_FLOAT_EQ(engine->canvasOffsetX, 720);
}

TEST_F(Engine, ResizingDocksMinimisesAndRestoresTheToolWindow) {
    startUp();
    host.winW = 1730;
    host.winH = 700;
    engine->windowResized(0, 0);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"position 201 28", "shape 1715 700", "show 0", "show 1", "onTop"}));
    int x = 9, y = 9;
    moveTo.get(x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, -2);
    EXPECT_TRUE(bMove.load());
    EXPECT_EQ(engine->viewWidth, 1728);

    host.calls.clear();
    host.winW = host.winH = 0;
    engine->windowResized(0, 0);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"show 0"}));
    EXPECT_FALSE(engine->toolWindowShown);

    host.calls.clear();
    host.winW = 900;
    host.winH = 650;
    engine->windowResized(0, 0);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"show 0", "show 1", "onTop"}));
    EXPECT_EQ(engine->redrawMode, 2);
    // The view is wider than the canvas: centred.
    EXPECT_FLOAT_EQ(engine->canvasOffsetX, 50);
    EXPECT_FLOAT_EQ(engine->canvasOffsetY, 25);
}

TEST_F(Engine, BrushParametersAreHeldToTheirRanges) {
    startUp();
    engine->stub = true;
    f_PartNum = 1000;
    f_PartStep = 0;
    f_paintDetail = 9;
    f_fadez = -3;
    f_velInf = std::numeric_limits<float>::quiet_NaN();
    f_opacityz = 0;
    f_modes = 7;
    engine->update();
    EXPECT_EQ(engine->brush.partNum, 300);
    EXPECT_EQ(engine->brush.partStep, 1);
    EXPECT_EQ(engine->brush.paintDetail, 4);
    EXPECT_EQ(engine->brush.fadez, 0);
    EXPECT_FLOAT_EQ(engine->brush.velInf, 0.15f);
    EXPECT_EQ(engine->brush.opacityz, 1);
    EXPECT_EQ(engine->brush.modes, 2);
    f_PartNum = -5;
    engine->update();
    EXPECT_EQ(engine->brush.partNum, 2);
    f_PartNum = 100;
    f_PartStep = 1;
    f_paintDetail = 1;
    f_fadez = 10;
    f_velInf = 0.15f;
    f_opacityz = 40;
    f_modes = 0;
}

TEST_F(Engine, ReleaseFreesExactlyWhatTheLastSetUpAllocated) {
    startUp();
    engine->clearMemoryLoad();
    engine->frees.clear();

    engine->failAt = 5;
    EXPECT_FALSE(engine->setupParameters());
    EXPECT_EQ(engine->allocFailIndex, 5);
    EXPECT_FALSE(engine->canvasReady);
    engine->clearMemoryLoad();
    EXPECT_EQ(engine->frees, (std::vector<int>{0, 1, 2, 3, 4, -2, wyrleApp::kPixelMapFailed}));
    engine->frees.clear();
    engine->clearMemoryLoad();
    EXPECT_TRUE(engine->frees.empty());

    engine->failAt = wyrleApp::kPixelMapFailed;
    EXPECT_FALSE(engine->setupParameters());
    EXPECT_EQ(engine->allocFailIndex, wyrleApp::kPixelMapFailed);
    engine->clearMemoryLoad();
    EXPECT_TRUE(engine->frees.empty());

    engine->failAt = INT_MIN;
    EXPECT_TRUE(engine->setupParameters());
    EXPECT_EQ(engine->allocFailIndex, -1);
    engine->clearMemory();
    EXPECT_EQ(engine->frees.size(), 94u + 2u);
    EXPECT_EQ(engine->frontPixels, nullptr);
    EXPECT_EQ(engine->screenPixels, nullptr);
}

TEST_F(Engine, CanvasesThatCannotBeHeldFallBackToTheDefault) {
    struct Case {
        const char* what;
        int w, h, alpha;
        std::function<void(TestEngine&)> arrange;
    };
    const Case cases[] = {
        {"beyond the largest canvas", 70000, 70000, 0, [](TestEngine&) {}},
        {"more than the free memory", 4000, 3000, 1, [](TestEngine&) { gMemory = 8 * MiB; }},
        {"allocation fails", 2000, 2000, 0, [](TestEngine& e) { e.failAbove = 10 * MiB; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        newEngine();
        gMemory = 512 * MiB;
        startUp();
        c.arrange(*engine);
        f_sx = c.w;
        f_sy = c.h;
        f_alphaBCG = c.alpha;
        f_bcgR = 255;
        f_workState = kWorkNewArtwork;
        engine->update();
        expectOneMemoryMessage();
        expectDefaultCanvas();
        EXPECT_EQ(f_sx.load(), 800);
        EXPECT_EQ(f_bcgR.load(), 0);
        EXPECT_EQ(f_workState.load(), 0);
        EXPECT_EQ(host.fatals, 0);
    }
}

TEST_F(Engine, WhenEvenTheDefaultCanvasFailsTheProgramEndsWithoutRecursion) {
    startUp();
    engine->failAll = true;
    f_sx = 1000;
    f_sy = 1000;
    f_workState = kWorkNewArtwork;
    engine->update();
    expectOneMemoryMessage();
    EXPECT_EQ(host.fatals, 1);
    EXPECT_FALSE(engine->canvasReady);
    EXPECT_TRUE(engine->halted);
    // One attempt at the asked size, one at the default, one with the smallest ring.
    int attempts = 0;
    for (const std::string& c : engine->calls) attempts += c == "newArtwork";
    EXPECT_EQ(attempts, 3);

    // The frame step does nothing more while the program ends.
    engine->calls.clear();
    f_workState = kWorkNewArtwork;
    engine->update();
    engine->draw();
    EXPECT_TRUE(engine->calls.empty());
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(host.fatals, 1);
}

TEST_F(Engine, ExitReleasesTheBuffersAndReportsTheFrameRate) {
    startUp();
    gLogging = true;
    testing::internal::CaptureStdout();
    engine->exit();
    const std::string out = testing::internal::GetCapturedStdout();
    gLogging = false;
    EXPECT_NE(out.find("wyrleApp::exit, frames per second: "), std::string::npos);
    EXPECT_EQ(engine->log, nullptr);
    EXPECT_EQ(engine->pixelMap, nullptr);
    EXPECT_EQ(engine->undoBuffers, nullptr);
    EXPECT_EQ(engine->frontPixels, nullptr);
}

TEST_F(Engine, AFrameIsDrawnOnlyWhenWhatItShowsChanged) {
    engine->setup();
    engine->update();
    engine->draw();
    // Nothing changed since the draw.
    EXPECT_FALSE(engine->frameNeedsDrawing(wyrleApp::requestsWaiting()));

    struct Case {
        const char* what;
        std::function<void(TestEngine&)> change;
    };
    const Case cases[] = {
        {"a zoom request", [](TestEngine&) { requests::raise(f_centerTexture); }},
        {"a request code", [](TestEngine&) { requests::request(kWorkClearFront); }},
        {"a key", [](TestEngine&) { wyrleApp::key = '+'; }},
        {"a resize", [](TestEngine& e) { e.windowResized(900, 600); }},
        {"a new screen image", [](TestEngine& e) { ++e.screenVersion; }},
        {"the layer panel hidden", [](TestEngine&) { f_changeShowLayers = 0; }},
        {"a running stroke", [](TestEngine& e) { e.strokeState = 2; }},
        {"a capture", [](TestEngine&) { f_newBrushPreset = 2; }},
        {"a cursor mark moved a pixel", [](TestEngine& e) { e.last2X[1] += 1.0f; }},
    };
    for (const Case& c : cases) {
        c.change(*engine);
        EXPECT_TRUE(engine->frameNeedsDrawing(wyrleApp::requestsWaiting())) << c.what;
        enginetest::resetShared();
        f_changeShowLayers = 1;
        engine->strokeState = 0;
        engine->draw();
        EXPECT_FALSE(engine->frameNeedsDrawing(wyrleApp::requestsWaiting())) << "after drawing " << c.what;
    }

    // The chain resting at the pointer trembles by less than a pixel.
    engine->last2X[2] += 0.6f;
    engine->last2Y[3] -= 0.6f;
    EXPECT_FALSE(engine->frameNeedsDrawing(false));
}

// When only the brush cursor moved, the frame asks for the box around all its
// marks, where they were drawn and where they are now, not the whole window;
// anything else asks for the whole window.
TEST_F(Engine, OnlyTheCursorMovedRedrawsTheBoxAroundItsMarks) {
    const bool shown = f_showCursor.load();
    f_showCursor = true;
    engine->setup();
    engine->update();
    engine->draw();
    for (int i = 1; i < kParticleCount; ++i) {
        engine->last2X[i] = 400.0f + static_cast<float>(i % 7);
        engine->last2Y[i] = 300.0f + static_cast<float>(i % 5);
    }
    engine->last2X[5] = 380.0f;
    engine->draw();
    // One mark leaves x = 380 for the cluster, two more leave the cluster.
    engine->last2X[5] = 402.0f;
    engine->last2X[3] = 420.0f;
    engine->last2Y[4] = 290.5f;
    ASSERT_TRUE(engine->frameNeedsDrawing(false));
    const wyrleApp::RedrawBox box = engine->redrawBox;
    ASSERT_FALSE(box.whole());
    // Marks run from x to x + 1, drawn from 380 and now up to 421, at rows
    // 290.5 to 304.
    EXPECT_LE(box.x, 379);
    EXPECT_GE(box.x + box.w, 423);
    EXPECT_LE(box.y, 289);
    EXPECT_GE(box.y + box.h, 306);
    EXPECT_LT(box.w * box.h, 60 * 30);

    engine->draw();
    engine->last2X[3] = 440.0f;
    wyrleApp::key = '+';
    EXPECT_TRUE(engine->frameNeedsDrawing(wyrleApp::requestsWaiting()));
    EXPECT_TRUE(engine->redrawBox.whole()) << "a key and a cursor move";
    wyrleApp::key = 0;

    // A cursor that is not shown is not redrawn for moving.
    engine->draw();
    f_showCursor = false;
    engine->draw();
    engine->last2X[3] = 460.0f;
    EXPECT_FALSE(engine->frameNeedsDrawing(false));
    f_showCursor = shown;
}
