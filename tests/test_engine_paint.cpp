// The engine's input and painting wired together, without a window: key
// commands, strokes and pans as event sequences, painting along a drag, the
// eraser, undo and redo, the screen image and its uploads, the brush-preset
// capture.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "core/FileNames.h"
#include "tests/engine_paint_fixture.h"
// After the engine headers, which bring GLEW first.
#include <GL/freeglut.h>
#include "core/pixels/screen.h"
#include "platform/xinput.h"

using painttest::kOffsetX;
using painttest::kOffsetY;
using painttest::PaintEngine;

namespace {

std::string joined(const std::vector<std::string>& calls) {
    std::string s;
    for (const std::string& c : calls) s += (s.empty() ? "" : ", ") + c;
    return s;
}

// Distance of point p from the segment a-b.
float segmentDistance(float px, float py, float ax, float ay, float bx, float by) {
    const float dx = bx - ax, dy = by - ay;
    float t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy);
    t = std::min(1.0f, std::max(0.0f, t));
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

}  // namespace

TEST_F(PaintEngine, KeyCommandsFollowTheTableOnlyWhileTheSlotIsIdle) {
    const int ctrl = xinput::kCtrl, ctrlShift = xinput::kCtrl | xinput::kShift;
    struct Case {
        int key, mods, slot, capture;
        const char* calls;  // tool-window operations, in order
        int slotAfter;
        std::function<bool()> also;
    };
    const auto none = [] { return true; };
    const Case cases[] = {
        {19, ctrl, 0, 0, "Save", 0, none},
        {19, ctrlShift, 0, 0, "SaveAsDialog", 0, none},
        {19, 0, 0, 0, "", 0, none},
        {26, ctrl, 0, 0, "", 7, none},
        {26, ctrlShift, 0, 0, "", 8, none},
        {26, ctrl | xinput::kAlt, 0, 0, "", 0, none},
        {127, 0, 0, 0, "", 4, none},
        {2, ctrl, 0, 0, "ShowBcgSelected", 0, none},
        {2, ctrlShift, 0, 0, "", 0, none},
        {8, 0, 0, 0, "", 0, [] { return f_changeClearBack.load() == 0; }},  // Backspace
        {8, ctrl, 0, 0, "", 0, [] { return f_changeClearBack.load() == 1; }},
        {8, ctrlShift, 0, 0, "", 0, [] { return f_changeClearBack.load() == 0; }},
        {6, ctrl, 0, 0, "", 0, [] { return f_changeCollapse.load() == 1; }},
        {7, ctrl, 0, 0, "", 0, [] { return f_changeCollapse.load() == 2; }},
        {257, 0, 0, 0, "HelpSelected", 0, none},
        {14, ctrl, 0, 0, "NewDialog", 0, [] { return !f_showCursor.load(); }},
        {15, ctrl, 0, 0, "LoadDialog", 0, [] { return !f_showCursor.load(); }},
        {18, ctrl, 0, 0, "", 0, [] { return f_setupBrushParameters.load(); }},
        {17, ctrl, 0, 0, "", 0, none},
        {'=', 0, 0, 0, "ZoomPlusClick", 0, none},
        {'+', xinput::kShift, 0, 0, "ZoomPlusClick", 0, none},
        {'_', 0, 0, 0, "ZoomMinusClick", 0, none},
        {'?', 0, 0, 0, "ZoomResetClick", 0, none},
        {'E', 0, 0, 0, "EraserClick", 0, [] { return f_eraserz.load() && !f_painterz.load(); }},
        {'`', 0, 0, 0, "show 0, show 1, onTop", 0, none},
        {' ', 0, 0, 0, "", 0, [this] { return bPanSet() && host.cursor == 2 && !f_showCursor.load(); }},
        // A capture keeps the view still.
        {' ', 0, 0, 2, "", 0, [this] { return !bPanSet() && f_showCursor.load(); }},
        // Nothing while a stroke runs or a request waits.
        {19, ctrl, 10, 0, "", 10, none},
        {257, 0, 10, 0, "", 10, none},
        {127, 0, 3, 0, "", 3, none},
        {26, ctrl, 41, 0, "", 41, none},
        {'E', 0, 7, 0, "", 7, [] { return f_painterz.load(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("key " + std::to_string(c.key) + " mods " + std::to_string(c.mods) + " slot " +
                     std::to_string(c.slot));
        host.calls.clear();
        host.cursor = -1;
        engine->bPan = false;
        f_showCursor = true;
        f_painterz = true;
        f_eraserz = false;
        f_changeClearBack = 0;
        f_changeCollapse = 0;
        f_setupBrushParameters = false;
        f_newBrushPreset = c.capture;
        f_workState = c.slot;
        wyrleApp::KeyGlutGetModifiers = c.mods;
        engine->keyPressed(c.key);
        EXPECT_EQ(joined(host.calls), c.calls);
        EXPECT_EQ(f_workState.load(), c.slotAfter);
        EXPECT_TRUE(c.also());
    }
    f_newBrushPreset = 0;
    f_workState = 0;
}

TEST_F(PaintEngine, KeysWaitForTheFrameStepAndReleasesActAtOnce) {
    // Typed between two frames, only the second key is taken.
    wyrleApp::key = 'q';
    wyrleApp::key = 'e';
    wyrleApp::KeyGlutGetModifiers = 0;
    EXPECT_TRUE(host.calls.empty());
    frame();
    EXPECT_EQ(joined(host.calls), "EraserClick");

    // Releases need no idle slot.
    f_workState = kWorkStroke;
    engine->bPan = true;
    f_showCursor = false;
    engine->keyReleased(' ');
    EXPECT_FALSE(engine->bPan.load());
    EXPECT_TRUE(f_showCursor.load());
    EXPECT_EQ(host.cursor, 0);
    f_showCursor = false;
    host.cursor = -1;
    engine->keyReleased('P');
    EXPECT_TRUE(f_showCursor.load());
    EXPECT_EQ(host.cursor, 0);
    f_showCursor = false;
    engine->keyReleased('x');
    EXPECT_FALSE(f_showCursor.load());
    f_showCursor = true;
    f_workState = 0;

    // A space bar tapped between two frames leaves no pan behind.
    wyrleApp::key = ' ';
    engine->keyReleased(' ');
    frame();
    EXPECT_FALSE(engine->bPan.load());
    EXPECT_TRUE(f_showCursor.load());
}

TEST_F(PaintEngine, ToolSizeKeysStepTheBrushOrTheEraser) {
    struct Case {
        bool brush;
        float before;
        bool larger;
        float after;
        const char* call;
    };
    const Case cases[] = {
        {true, 100, false, 97, "SliderSize 96"},   {true, 100, true, 103, "SliderSize 102"},
        {true, 2, false, 2, "SliderSize 1"},       {true, 3, false, 2, "SliderSize 1"},
        {true, 300, true, 300, "SliderSize 300"},  {true, 1000, false, 293, "SliderSize 292"},
        {false, 35, false, 33.3f, "SliderEraserSize 33"}, {false, 1, false, 1, "SliderEraserSize 1"},
        {false, 200, true, 200, "SliderEraserSize 200"},  {false, 35, true, 36.7f, "SliderEraserSize 36"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.brush ? "brush " : "eraser ") + std::to_string(c.before));
        host.calls.clear();
        f_painterz = c.brush;
        f_eraserz = !c.brush;
        if (c.brush)
            f_PartNum = static_cast<int>(c.before);
        else
            f_eraserzSize = c.before;
        wyrleApp::KeyGlutGetModifiers = 0;
        engine->keyPressed(c.larger ? ']' : '[');
        if (c.brush)
            EXPECT_EQ(f_PartNum.load(), static_cast<int>(c.after));
        else
            EXPECT_NEAR(f_eraserzSize.load(), c.after, 1e-4f);
        EXPECT_EQ(joined(host.calls), c.call);
        // The chain is not reset.
        EXPECT_FALSE(f_setStrings.load());
    }
    f_painterz = true;
    f_eraserz = false;
    f_PartNum = 100;
}

TEST(KeyModifiers, CountShiftCtrlAndAltButNeverTheLocks) {
    struct Case {
        int glut;
        bool ok, caps, shiftKey;
        int expected;
    };
    const Case cases[] = {
        {2, true, false, false, 2},  // Ctrl
        {3, true, false, true, 3},   // Ctrl+Shift
        {3, true, true, false, 2},   // Ctrl with Caps Lock: freeglut reports Shift
        {3, true, true, true, 3},    // Ctrl+Shift with Caps Lock
        {1, true, true, false, 0},
        {7, true, false, true, 7},
        {3, false, false, false, 3},  // no server to ask: as GLUT said
        {2 | 8 | 16, true, false, false, 2},
    };
    for (const Case& c : cases) {
        xinput::PointerState now;
        now.ok = c.ok;
        now.capsLock = c.caps;
        now.shift = c.shiftKey;
        EXPECT_EQ(xinput::keyModifiers(c.glut, now), c.expected) << c.glut << " caps " << c.caps;
    }
}

TEST_F(PaintEngine, StrokesAndPansRunAsTheButtonsSay) {
    const int x = 400, y = 300;
    struct Outcome {
        int strokeState, slot;
        bool pan;
        int pushes;
        int painted;  // 1 yes, 0 no, -1 either
    };
    struct Case {
        const char* what;
        std::function<void()> events;
        Outcome expected;
    };
    const auto moves = [this](int n, int dx, int dy) {
        for (int i = 1; i <= n; ++i) moveTo(400.0f + dx * i, 300.0f + dy * i);
    };
    const Case cases[] = {
        {"a fading stroke runs on after the release until it has faded",
         [&] {
             press(0, x, y);
             EXPECT_EQ(engine->strokeState, 1);
             EXPECT_EQ(f_workState.load(), kWorkStroke);
             moves(10, 12, 6);
             EXPECT_EQ(engine->strokeState, 2);
             release(0, 520, 360);
             EXPECT_EQ(engine->strokeState, 2);
             EXPECT_EQ(f_workState.load(), kWorkStroke);
             settle();
         },
         {0, 0, false, 1, 1}},
        {"without fading the release ends the stroke at once",
         [&] {
             f_fadez = 0;
             press(0, x, y);
             moves(10, 12, 6);
             release(0, 520, 360);
             EXPECT_EQ(engine->strokeState, 0);
             EXPECT_EQ(f_workState.load(), 0);
             frame();
         },
         {0, 0, false, 1, 1}},
        {"an unreadable fade fades like the reset brush, at the release as in the frames",
         [&] {
             f_fadez = std::numeric_limits<float>::quiet_NaN();
             press(0, x, y);
             moves(10, 12, 6);
             release(0, 520, 360);
             EXPECT_EQ(engine->strokeState, 2);
             settle();
         },
         {0, 0, false, 1, 1}},
        {"a click between two frames still ends",
         [&] {
             press(0, x, y);
             release(0, x, y);
             settle();
         },
         {0, 0, false, 1, -1}},
        {"a release outside the window is seen by the poll",
         [&] {
             press(0, x, y);
             moves(10, 12, 6);
             host.lmb = false;  // no callback: the button went up elsewhere
             settle();
         },
         {0, 0, false, 1, 1}},
        {"space and a left drag pan without painting or storing",
         [&] {
             key(' ');
             EXPECT_TRUE(bPanSet());
             press(0, x, y);
             moves(10, -8, 5);
             EXPECT_FLOAT_EQ(engine->canvasOffsetX, kOffsetX - 80);
             EXPECT_FLOAT_EQ(engine->canvasOffsetY, kOffsetY + 50);
             release(0, 320, 350);
             EXPECT_EQ(engine->strokeState, 0);
             engine->keyReleased(' ');
             frame();
         },
         {0, 0, false, 0, 0}},
        {"a right drag pans, its release ends the pan",
         [&] {
             press(2, x, y);
             EXPECT_EQ(host.cursor, 2);
             moves(10, 5, 0);
             EXPECT_FLOAT_EQ(engine->canvasOffsetX, kOffsetX + 50);
             release(2, 450, 300);
             EXPECT_EQ(host.cursor, 0);
             frame();
         },
         {0, 0, false, 0, 0}},
        {"a pan counts only the motion after its press",
         [&] {
             press(2, x + 200, y + 100);  // the pointer jumped there since the last frame
             frame();
             EXPECT_FLOAT_EQ(engine->canvasOffsetX, kOffsetX);
             EXPECT_FLOAT_EQ(engine->canvasOffsetY, kOffsetY);
             moveTo(x + 210, y + 100);
             EXPECT_FLOAT_EQ(engine->canvasOffsetX, kOffsetX + 10);
             release(2, x + 210, y + 100);
             frame();
         },
         {0, 0, false, 0, 0}},
        {"the wheel does nothing",
         [&] {
             for (int b : {3, 4}) {
                 press(b, x, y);
                 release(b, x, y);
             }
             frame();
         },
         {0, 0, false, 0, 0}},
        {"a left press does not replace a waiting request, and its release stores nothing",
         [&] {
             f_workState = kWorkRedo;
             press(0, x, y);
             EXPECT_EQ(engine->strokeState, 0);
             EXPECT_EQ(f_workState.load(), kWorkRedo);
             release(0, x, y);
             frame();
         },
         {0, 0, false, 0, 0}},
        {"a middle press leaves a waiting request to run",
         [&] {
             f_workState = kWorkRedo;
             press(1, x, y);
             EXPECT_TRUE(bPanSet());
             EXPECT_EQ(f_workState.load(), kWorkRedo);
             frame();
             EXPECT_EQ(f_workState.load(), 0);
             release(1, x, y);
             frame();
         },
         {0, 0, false, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        f_fadez = 10;
        engine->canvasOffsetX = kOffsetX;
        engine->canvasOffsetY = kOffsetY;
        engine->updateScreenOffsets();
        moveTo(x, y);
        frames(3);
        const std::vector<unsigned char> before = front();
        const int pos = engine->undoPos;
        c.events();
        EXPECT_EQ(engine->strokeState, c.expected.strokeState);
        EXPECT_EQ(f_workState.load(), c.expected.slot);
        EXPECT_EQ(bPanSet(), c.expected.pan);
        EXPECT_EQ((engine->undoPos - pos) / 2, c.expected.pushes);
        if (c.expected.painted >= 0) {
            EXPECT_EQ(changedPixels(before) > 0, c.expected.painted == 1);
        }
    }
    f_fadez = 10;
}

TEST_F(PaintEngine, ADragPaintsAlongItsPathAndUndoAndRedoRestoreIt) {
    const std::vector<unsigned char> blank = front();
    const int x0 = 300, y0 = 250, x1 = 650, y1 = 430;
    stroke(x0, y0, x1, y1, 30);
    const std::vector<unsigned char> painted = front();

    // Paint lies along the drag and nowhere far from it.
    int near = 0, far = 0;
    float farthest = 0;
    for (int cy = 0; cy < 600; ++cy)
        for (int cx = 0; cx < 800; ++cx) {
            const size_t i = (static_cast<size_t>(cy) * 800 + cx) * 3;
            if (painted[i] + painted[i + 1] + painted[i + 2] == 0) continue;
            const float d = segmentDistance(cx + kOffsetX, cy + kOffsetY, x0, y0, x1, y1);
            farthest = std::max(farthest, d);
            (d < 60 ? near : far)++;
        }
    EXPECT_GT(near, 1000);
    EXPECT_EQ(far, 0) << "farthest paint " << farthest << " px from the drag";
    // The screen shows it.
    const int mid = 3 * ((y0 + y1) / 2 * engine->maxCanvasWidth + (x0 + x1) / 2);
    const ofPixels& screen = engine->screenImage.pixelBuffer;
    int lit = 0;
    for (int dy = -20; dy <= 20; ++dy)
        for (int dx = -20; dx <= 20; ++dx) {
            const unsigned char* p = screen.data + mid + 3 * (dy * engine->maxCanvasWidth + dx);
            lit += p[0] + p[1] + p[2] > 0;
        }
    EXPECT_GT(lit, 0);

    // Undo and redo, then a new stroke drops the redo.
    f_workState = kWorkUndo;
    frame();
    EXPECT_EQ(front(), blank);
    EXPECT_EQ(f_workState.load(), 0);
    f_workState = kWorkRedo;
    frame();
    EXPECT_EQ(front(), painted);
    f_workState = kWorkUndo;
    frame();
    stroke(200, 500, 260, 520, 5);
    const std::vector<unsigned char> second = front();
    f_workState = kWorkRedo;
    frame();
    EXPECT_EQ(front(), second);
    EXPECT_EQ(f_workState.load(), 0);
}

TEST_F(PaintEngine, AStrokeInterruptedByAPanButtonStillGoesIntoTheUndoRing) {
    // One stroke stored first, so a lost step shows as Undo going too far.
    stroke(200, 200, 300, 260, 10);
    const std::vector<unsigned char> first = front();
    for (const int panButton : {1, 2}) {
        SCOPED_TRACE(panButton);
        const int pos = engine->undoPos;
        press(0, 300, 300);
        for (int i = 1; i <= 10; ++i) moveTo(300 + 20 * i, 300 + 10 * i);
        // The other button goes down and up while the left one is held.
        press(panButton, 500, 400);
        frame();
        release(panButton, 500, 400);
        frame();
        const std::vector<unsigned char> painted = front();
        ASSERT_NE(painted, first);
        release(0, 500, 400);
        settle();
        EXPECT_NE(engine->undoPos, pos) << "the stroke was not stored";
        EXPECT_EQ(front(), painted);

        // Undo takes back exactly this stroke, and redo brings it back.
        f_workState = kWorkUndo;
        frame();
        EXPECT_EQ(front(), first);
        f_workState = kWorkRedo;
        frame();
        EXPECT_EQ(front(), painted);
        f_workState = kWorkUndo;
        frame();
        ASSERT_EQ(front(), first);
    }
}

TEST_F(PaintEngine, MinimisingTheDrawingWindowHidesTheToolWindowUntilItIsRestored) {
    struct Step {
        int status;  // what freeglut reports
        std::vector<std::string> calls;
    };
    const Step steps[] = {
        {GLUT_FULLY_COVERED, {}},  // covered by another window: nothing
        {GLUT_HIDDEN, {"show 0"}},
        {GLUT_HIDDEN, {}},
        {GLUT_FULLY_RETAINED, {"show 0", "show 1", "onTop"}},
        {GLUT_PARTIALLY_RETAINED, {}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.status);
        host.calls.clear();
        host.uploads.clear();
        wyrleApp::windowStatusFunc(s.status);
        frame();
        frame();
        EXPECT_EQ(host.calls, s.calls);
        EXPECT_EQ(wyrleApp::State, s.status == GLUT_HIDDEN || s.status == GLUT_FULLY_COVERED ? GLUT_NOT_VISIBLE
                                                                                            : GLUT_VISIBLE);
        // Restored, the whole picture is drawn again.
        if (s.status == GLUT_FULLY_RETAINED) {
            ASSERT_FALSE(host.uploads.empty());
            EXPECT_EQ(host.uploads[0].w, engine->maxCanvasWidth);
        }
    }
    wyrleApp::Minimised = false;
}

TEST_F(PaintEngine, PaintingFramesRedrawAndUploadOnlyWhatChanged) {
    const ofPixels& screen = engine->screenImage.pixelBuffer;
    const int fullArea = engine->maxCanvasWidth * engine->maxCanvasHeight;
    std::vector<unsigned char> full(static_cast<size_t>(fullArea) * 3);
    // The screen image as a full redraw makes it.
    const auto fullRedraw = [&] {
        std::memcpy(full.data(), engine->backdropImage.pixelBuffer.data, full.size());
        const ofPixels& d = engine->displayImage.pixelBuffer;
        const ScreenMapping m{engine->zoomRatio, f_scalez.load(), engine->screenOffsetX, engine->screenOffsetY};
        const VisibleRect v = visibleRect(engine->viewWidth, engine->viewHeight, d.width, d.height, m);
        redrawScreen(canvas::PixelSpan{d.data, d.width, d.height, d.channelCount},
                     canvas::PixelSpan{full.data(), engine->maxCanvasWidth, engine->maxCanvasHeight, 3},
                     {v.visibleMinX, v.visibleMaxX, v.visibleMinY, v.visibleMaxY}, m, false);
    };
    for (int zoom : {2, 4}) {
        SCOPED_TRACE("zoom index " + std::to_string(zoom));
        f_scalezRangePos = zoom;
        f_centerTexture = true;
        frames(2);
        host.uploads.clear();
        press(0, 350, 300);
        int partial = 0;
        for (int i = 1; i <= 25; ++i) {
            moveTo(350.0f + 14 * i, 300.0f + 5 * i);
            fullRedraw();
            ASSERT_EQ(std::memcmp(screen.data, full.data(), full.size()), 0) << "frame " << i;
            ASSERT_FALSE(host.uploads.empty());
            const painttest::Upload u = host.uploads.back();
            if (u.w * u.h < fullArea / 4) ++partial;
            host.uploads.clear();
        }
        EXPECT_GT(partial, 20);
        release(0, 700, 425);
        settle();
        // The end of the stroke redraws and uploads the whole view.
        fullRedraw();
        EXPECT_EQ(std::memcmp(screen.data, full.data(), full.size()), 0);
    }
}

TEST_F(PaintEngine, TheEraserPullsPaintBackAndEndsAtTheRelease) {
    stroke(300, 300, 600, 400, 25);
    const std::vector<unsigned char> painted = front();
    const auto lightAlong = [this] {
        long sum = 0;
        const std::vector<unsigned char> f = front();
        for (unsigned char c : f) sum += c;
        return sum;
    };
    const long before = lightAlong();
    const int pos = engine->undoPos;
    key('e');
    press(0, 300, 300);
    for (int i = 1; i <= 25; ++i) moveTo(300.0f + 12 * i, 300.0f + 4 * i);
    release(0, 600, 400);
    // An eraser stroke ends at the release and goes into the ring.
    EXPECT_EQ(engine->strokeState, 0);
    EXPECT_EQ(f_workState.load(), 0);
    frame();
    EXPECT_EQ(engine->undoPos, pos + 2);
    EXPECT_LT(lightAlong(), before / 4);
    // Erasing never brightens a dark background.
    const std::vector<unsigned char> erased = front();
    for (size_t i = 0; i < erased.size(); ++i) ASSERT_LE(erased[i], painted[i]);
    key('q');
}

TEST_F(PaintEngine, BrushCaptureGrabsTheBoxAndLeavesNoTraceInTheArtwork) {
    // A small canvas, so the box shows backdrop around it.
    f_sx = 120;
    f_sy = 100;
    f_workState = kWorkNewArtwork;
    frames(2);
    const std::vector<unsigned char> blank = front();
    stroke(180, 150, 420, 420, 10);
    const std::vector<unsigned char> painted = front();
    ASSERT_NE(painted, blank);
    const int pos = engine->undoPos;

    // The library's New: back layer hidden, capture requested, canvas filled.
    f_showBcg = true;
    f_newBrushPreset = 1;
    f_workState = kWorkFillFront;
    frame();
    EXPECT_EQ(f_newBrushPreset.load(), 2);
    EXPECT_FALSE(f_showBcg.load());
    EXPECT_FLOAT_EQ(f_scalez.load(), 1.0f);
    EXPECT_EQ(engine->captureBoxX, 480 - 128);
    EXPECT_EQ(engine->captureBoxY, 341 - 128);
    EXPECT_EQ(front(), blank);
    {
        std::lock_guard<std::mutex> lock(gBrushPreviewMutex);
        ASSERT_EQ(brushColor.pixelBuffer.width, 256);
        ASSERT_EQ(brushIconColor.pixelBuffer.width, 64);
        EXPECT_FALSE(brushColor.useTexture);
        EXPECT_FALSE(brushIconColor.useTexture);
        // The box's corner is backdrop, its centre the black canvas.
        const unsigned char* c = brushColor.pixelBuffer.data;
        EXPECT_EQ(c[0], 114);
        EXPECT_EQ(c[2], 106);
        const unsigned char* mid = c + (128 * 256 + 128) * 3;
        EXPECT_EQ(mid[0] + mid[1] + mid[2], 0);
        // The first icon keeps the backdrop as grabbed.
        const unsigned char* icon = brushIconColor.pixelBuffer.data;
        EXPECT_EQ(icon[0], 114);
        EXPECT_EQ(icon[1], 110);
    }

    // A stroke in the box; the grab after it puts the icon's backdrop in the
    // background colour. Undo is dropped and nothing is stored.
    stroke(450, 320, 510, 360, 10);
    {
        std::lock_guard<std::mutex> lock(gBrushPreviewMutex);
        const unsigned char* icon = brushIconColor.pixelBuffer.data;
        int backdrop = 0;
        for (int i = 0; i < 64 * 64; ++i)
            backdrop += icon[3 * i] == 114 && icon[3 * i + 1] == 110 && icon[3 * i + 2] == 106;
        EXPECT_EQ(backdrop, 0);
        EXPECT_EQ(icon[0] + icon[1] + icon[2], 0);
        long light = 0;
        for (int i = 0; i < 256 * 256 * 3; ++i) light += brushColor.pixelBuffer.data[i];
        EXPECT_GT(light, 0);
    }
    const std::vector<unsigned char> sample = front();
    EXPECT_NE(sample, blank);
    f_workState = kWorkUndo;
    frame();
    EXPECT_EQ(f_workState.load(), 0);
    EXPECT_EQ(front(), sample);
    EXPECT_EQ(engine->undoPos, pos);

    // The end: the artwork comes back from the ring.
    f_newBrushPreset = 3;
    frame();
    EXPECT_EQ(f_newBrushPreset.load(), 0);
    EXPECT_EQ(front(), painted);
    frames(2);
    EXPECT_EQ(engine->undoPos, pos);
    // The capture's fill no longer counts as a clear canvas: Delete clears.
    f_workState = kWorkClearFront;
    frame();
    EXPECT_EQ(front(), blank);
}

// The end of a capture asked for when none runs (the library's Save OK
// without "New") leaves the view, the layers and the canvas alone.
TEST_F(PaintEngine, ACaptureEndWithNoCaptureRunningChangesNothing) {
    stroke(300, 300, 600, 400, 20);
    f_scalezRangePos = 1;
    f_centerTexture = true;
    f_showBcg = true;
    frame();
    ASSERT_FLOAT_EQ(f_scalez.load(), 1.5f);
    const std::vector<unsigned char> painted = front();
    const float offsetX = engine->canvasOffsetX, offsetY = engine->canvasOffsetY;
    const int pos = engine->undoPos;

    f_newBrushPreset = 3;
    frame();
    EXPECT_EQ(f_newBrushPreset.load(), 0);
    EXPECT_FLOAT_EQ(f_scalez.load(), 1.5f);
    EXPECT_FLOAT_EQ(engine->canvasOffsetX, offsetX);
    EXPECT_FLOAT_EQ(engine->canvasOffsetY, offsetY);
    EXPECT_TRUE(f_showBcg.load());
    EXPECT_FALSE(f_centerTexture.load());
    EXPECT_EQ(front(), painted);
    EXPECT_EQ(engine->undoPos, pos);
    // Nor does it end the next capture before its first sample.
    f_newBrushPreset = 1;
    frame();
    EXPECT_EQ(f_newBrushPreset.load(), 2);
}

// The library's close box turns 2 into 3: the canvas comes back exactly as it
// was before "New", whatever was painted into the box.
TEST_F(PaintEngine, ACaptureEndedByTheCloseBoxRestoresTheCanvasExactly) {
    stroke(200, 200, 700, 500, 20);
    const std::vector<unsigned char> before = front();
    f_newBrushPreset = 1;
    f_workState = kWorkFillFront;
    frame();
    ASSERT_EQ(f_newBrushPreset.load(), 2);
    stroke(400, 300, 560, 380, 10);
    ASSERT_NE(front(), before);
    int capturing = 2;
    ASSERT_TRUE(f_newBrushPreset.compare_exchange_strong(capturing, 3));
    frame();
    EXPECT_EQ(f_newBrushPreset.load(), 0);
    EXPECT_EQ(front(), before);
}

// "New" or OK pressed while the capture's last stroke still fades out: its
// tail must not go on painting into the artwork given back.
TEST_F(PaintEngine, ACaptureEndedDuringAFadingStrokeGivesTheArtworkBackUntouched) {
    stroke(200, 200, 700, 500, 20);
    const std::vector<unsigned char> before = front();
    const int pos = engine->undoPos;
    f_newBrushPreset = 1;
    f_workState = kWorkFillFront;
    frame();
    ASSERT_EQ(f_newBrushPreset.load(), 2);
    press(0, 400, 300);
    for (int i = 1; i <= 10; ++i) moveTo(400 + 16 * i, 300 + 8 * i);
    release(0, 560, 380);
    frame();
    ASSERT_NE(engine->strokeState, 0) << "the stroke no longer fades: the case is not shown";
    int capturing = 2;
    ASSERT_TRUE(f_newBrushPreset.compare_exchange_strong(capturing, 3));
    frame();
    EXPECT_EQ(f_newBrushPreset.load(), 0);
    EXPECT_EQ(engine->strokeState, 0);
    settle();
    frames(5);
    EXPECT_EQ(front(), before);
    EXPECT_EQ(engine->undoPos, pos) << "the tail went into the undo ring";
    // The next stroke paints as usual.
    stroke(300, 300, 500, 300, 10);
    EXPECT_NE(front(), before);
}

namespace {

// The pixels of a picture file as the engine would open it; empty when it
// cannot be read.
std::vector<unsigned char> filePixels(const std::string& path) {
    MyOfImage picture;
    picture.setUseTexture(false);
    if (!picture.loadImage(path)) return {};
    const ofPixels& p = picture.pixelBuffer;
    return std::vector<unsigned char>(p.data, p.data + static_cast<size_t>(p.width) * p.height * p.channelCount);
}

}  // namespace

// Ctrl+S, Save As or Export during a capture: the front layer holds the
// capture's sample then. The file must get the artwork, once the capture has
// given it back, and a save asked before an export stays a save.
TEST_F(PaintEngine, SavesAskedDuringACaptureWriteTheArtworkOnceItEnds) {
    stroke(200, 200, 700, 500, 20);
    const std::vector<unsigned char> painted = front();
    const std::string saved = dir.path("a.png"), exported = dir.path("e.tga");
    f_saveFile.set(wxString::FromUTF8(saved.c_str()));
    f_workState = kWorkSave;
    frame();
    ASSERT_EQ(filePixels(saved), painted);
    const std::string before = svctest::readFile(saved);

    startCaptureWithASample();
    const std::vector<unsigned char> sample = front();
    ASSERT_NE(sample, painted);

    // Save (the file name kept), then an export with its own options.
    f_export = false;
    f_workState = kWorkSave;
    frame();
    f_exportFile.set(wxString::FromUTF8(exported.c_str()));
    f_export = true;
    f_workState = kWorkSave;
    frames(3);
    EXPECT_EQ(f_workState.load(), 0);
    EXPECT_EQ(svctest::readFile(saved), before) << "written during the capture";
    EXPECT_FALSE(svctest::exists(exported)) << "exported during the capture";
    // Painting in the box goes on while they wait.
    stroke(420, 320, 540, 360, 10);
    EXPECT_NE(front(), sample);
    EXPECT_EQ(f_newBrushPreset.load(), 2);

    ::unlink(saved.c_str());
    f_newBrushPreset = 3;
    frames(2);
    EXPECT_EQ(f_newBrushPreset.load(), 0);
    EXPECT_EQ(front(), painted);
    EXPECT_EQ(filePixels(saved), painted) << "the save was lost or wrote the sample";
    EXPECT_EQ(filePixels(exported), painted) << "the export was lost or wrote the sample";
    EXPECT_TRUE(messages.empty());
    // Each ran once.
    ::unlink(saved.c_str());
    frames(2);
    EXPECT_FALSE(svctest::exists(saved));
}

// New and Open (artwork or back layer) asked during a capture wait for its
// end too: the capture gives back the artwork first, then they act on it.
TEST_F(PaintEngine, NewAndOpenAskedDuringACaptureWaitForItsEnd) {
    std::vector<unsigned char> painted;
    const std::string picture = dir.path("picture.png");
    {
        MyOfImage p;
        p.setUseTexture(false);
        p.allocate(800, 600, OF_IMAGE_COLOR);
        std::memset(p.getPixels(), 90, 800 * 600 * 3);
        ASSERT_TRUE(p.saveImage(picture));
    }
    struct Case {
        const char* what;
        std::function<void()> ask;
        std::function<void()> expect;
    };
    const Case cases[] = {
        {"new artwork",
         [] {
             f_sx = 320;
             f_sy = 200;
             f_workState = kWorkNewArtwork;
         },
         [this] {
             EXPECT_EQ(engine->canvasWidth, 320);
             EXPECT_EQ(front(), std::vector<unsigned char>(320 * 200 * 3, 0));
         }},
        {"back layer",
         [&picture] {
             f_fixedLoadPic = true;
             f_loadFileBcg.set(wxString::FromUTF8(picture.c_str()));
             f_workState = kWorkLoad;
         },
         [&] {
             EXPECT_EQ(front(), painted);
             const ofPixels& back = engine->backLayer.pixelBuffer;
             EXPECT_EQ(back.data[0], 90);
             EXPECT_TRUE(f_showBcg.load());
         }},
        {"open artwork",
         [&picture] {
             f_fixedLoadPic = false;
             f_loadFile.set(wxString::FromUTF8(picture.c_str()));
             f_workState = kWorkLoad;
         },
         [&] { EXPECT_EQ(front(), filePixels(picture)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        f_sx = 800;
        f_sy = 600;
        f_workState = kWorkNewArtwork;
        frames(2);
        stroke(200, 200, 700, 500, 20);
        painted = front();
        ASSERT_NE(painted, std::vector<unsigned char>(painted.size(), 0));
        startCaptureWithASample();
        const std::vector<unsigned char> sample = front();
        c.ask();
        frames(3);
        EXPECT_EQ(f_workState.load(), 0);
        EXPECT_EQ(f_newBrushPreset.load(), 2) << "the request ended the capture";
        EXPECT_EQ(front(), sample);
        f_newBrushPreset = 3;
        frames(2);
        EXPECT_EQ(f_newBrushPreset.load(), 0);
        c.expect();
        f_showBcg = false;
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(PaintEngine, LayerKeysSwapAndMergeThroughTheRing) {
    stroke(300, 300, 600, 400, 20);
    const std::vector<unsigned char> painted = front();
    // Ctrl+F swaps: the painting goes to the back layer.
    key(6, xinput::kCtrl);
    frame();
    const ofPixels& back = engine->backLayer.pixelBuffer;
    EXPECT_EQ(std::vector<unsigned char>(back.data, back.data + painted.size()), painted);
    EXPECT_NE(front(), painted);
    // Undo brings both layers back.
    f_workState = kWorkUndo;
    frame();
    EXPECT_EQ(front(), painted);
    for (size_t i = 0; i < painted.size(); ++i) ASSERT_EQ(back.data[i], 0);
}

TEST_F(PaintEngine, ZoomRequestsKeepTheViewCentreAndRetitle) {
    f_scalezRangePos = 1;
    f_centerTexture = true;
    frame();
    EXPECT_FLOAT_EQ(f_scalez.load(), 1.5f);
    // The canvas point under the view's centre stays there.
    EXPECT_NEAR((480 / 1.5f) - engine->canvasOffsetX, 400, 1e-3);
    EXPECT_NE(host.title.find(" | 150% | "), std::string::npos);
    EXPECT_FALSE(f_centerTexture.load());
    f_scalezRangePos = 2;
    f_centerTexture = true;
    frame();
}
