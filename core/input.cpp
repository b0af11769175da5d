// The drawing window's keys and buttons: the key commands, the start and end
// of strokes and pans, and the cursor shapes. Everything runs on the render
// thread, between frames; a key waits in `key` for the next frame step.

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <wx/app.h>
#include <wx/log.h>

#include <algorithm>

#include "core/EngineGlobals.h"
#include "core/EngineHost.h"
#include "core/GuiBridge.h"
#include "core/Requests.h"
#include "core/WyrleGlobals.h"
#include "core/wyrleApp.h"
#include "framework/ofAppGlutWindow.h"
#include "framework/ofMath.h"
#include "platform/xinput.h"

unsigned char wyrleApp::key = 0;
int wyrleApp::KeyGlutGetModifiers = 1;
int wyrleApp::State = 3;
bool wyrleApp::Minimised = false;

namespace {

const int kCursorPan = GLUT_CURSOR_INFO;
const int kCursorNormal = GLUT_CURSOR_RIGHT_ARROW;

}  // namespace

void wyrleApp::keyboard_cb(unsigned char k, int, int) {
    key = k;
    const int glutMods = glutGetModifiers();
    // Only a Shift bit can be Caps Lock in disguise; ask the server then.
    KeyGlutGetModifiers = (glutMods & xinput::kShift) ? xinput::keyModifiers(glutMods, xinput::queryPointer())
                                                       : xinput::keyModifiers(glutMods, xinput::PointerState{});
}

void wyrleApp::stateFunc(int state) {
    State = state;
    ofAppGlutWindow::requestRedraw();
    if (!wxTheApp) return;
    guibridge::post([state]() { wxLogStatus("%i", state); });
}

void wyrleApp::windowStatusFunc(int status) {
    // On X11 a minimised window is unmapped, which freeglut reports as
    // hidden; it never sends the 0 x 0 reshape that would say so.
    Minimised = status == GLUT_HIDDEN;
    stateFunc(status == GLUT_HIDDEN || status == GLUT_FULLY_COVERED ? GLUT_NOT_VISIBLE : GLUT_VISIBLE);
}

bool wyrleApp::GetLMB() { return host->leftButtonDown(); }

void wyrleApp::keyPressed(int k) {
    modifiers = KeyGlutGetModifiers;
    if (requests::workState() != kWorkIdle) return;
    const bool ctrl = modifiers == xinput::kCtrl;
    const bool ctrlShift = modifiers == (xinput::kCtrl | xinput::kShift);
    switch (k) {
        case 14:  // Ctrl+N
            f_showCursor = false;
            host->toolCommand(ToolCommand::NewDialog);
            break;
        case 15:  // Ctrl+O
            f_showCursor = false;
            host->toolCommand(ToolCommand::LoadDialog);
            break;
        case 19:  // Ctrl+S, Ctrl+Shift+S
            if (ctrl) host->toolCommand(ToolCommand::Save);
            else if (ctrlShift) host->toolCommand(ToolCommand::SaveAsDialog);
            break;
        case 257:  // F1
            host->toolCommand(ToolCommand::HelpSelected);
            break;
        case 18:  // Ctrl+R
            requests::raise(f_setupBrushParameters);
            break;
        case 127:  // Delete
            requests::moveWorkState(kWorkIdle, kWorkClearFront);
            break;
        case 'q':
        case 'Q':
            f_eraserz = false;
            f_painterz = true;
            host->toolCommand(ToolCommand::BrushClick);
            break;
        case 'e':
        case 'E':
            f_eraserz = true;
            f_painterz = false;
            host->toolCommand(ToolCommand::EraserClick);
            break;
        case ' ':
            if (f_newBrushPreset.load() != 0) break;
            f_showCursor = false;
            bPan = true;
            host->setCursor(kCursorPan);
            break;
        case '+':
        case '=':
            host->toolCommand(ToolCommand::ZoomPlusClick);
            break;
        case '-':
        case '_':
            host->toolCommand(ToolCommand::ZoomMinusClick);
            break;
        case '/':
        case '?':
            host->toolCommand(ToolCommand::ZoomResetClick);
            break;
        case 2:  // Ctrl+B
            if (ctrl) host->toolCommand(ToolCommand::ShowBcgSelected);
            break;
        case 6:  // Ctrl+F
            if (ctrl) requests::raise(f_changeCollapse, 1);
            break;
        case 7:  // Ctrl+G
            if (ctrl) requests::raise(f_changeCollapse, 2);
            break;
        case 8:  // Ctrl+H (Backspace without Ctrl does nothing)
            if (ctrl) requests::raise(f_changeClearBack, 1);
            break;
        case '[':
        case '{':
            toolSize(false);
            break;
        case ']':
        case '}':
            toolSize(true);
            break;
        case 26:  // Ctrl+Z, Ctrl+Shift+Z
            if (ctrl) requests::moveWorkState(kWorkIdle, kWorkUndo);
            else if (ctrlShift) requests::moveWorkState(kWorkIdle, kWorkRedo);
            break;
        case '`':
        case '~':
            host->showToolWindow(false);
            host->showToolWindow(true);
            host->onTop();
            break;
        default:  // Ctrl+Q (17) and every other key: nothing
            break;
    }
}

void wyrleApp::toolSize(bool larger) {
    if (f_painterz.load()) {
        // A preset may have left the count outside the slots; the result is
        // held within them either way.
        const int n = clampPartNum(f_PartNum.load());
        const double step = n * 0.02 + 1;
        const int next = static_cast<int>(larger ? n + step : n - step);
        f_PartNum = clampPartNum(next);
        host->sliderSize(static_cast<int>(ofMap(static_cast<float>(f_PartNum.load()), 2, 300, 1, 300)));
    }
    if (f_eraserz.load()) {
        const float size = std::min(200.0f, std::max(1.0f, f_eraserzSize.load()));
        const float step = size * 0.02f + 1;
        f_eraserzSize = larger ? std::min(200.0f, size + step) : std::max(1.0f, size - step);
        host->sliderEraserSize(static_cast<int>(f_eraserzSize.load()));
    }
}

void wyrleApp::keyReleased(int k) {
    if (k == ' ') {
        // Tapped between two frames: the press still waits for the frame
        // step, and must not start a pan after the bar is already up.
        if (key == ' ') key = 0;
        bPan = false;
        f_showCursor = true;
        host->setCursor(kCursorNormal);
    }
    if (k == 'p' || k == 'P') {
        f_showCursor = true;
        host->setCursor(kCursorNormal);
    }
}

void wyrleApp::mouseMoved(int, int) {}
void wyrleApp::mouseDragged(int, int, int) {}

void wyrleApp::mousePressed(int x, int y, int button) {
    if (button != 0 && button != 1 && button != 2) return;  // the wheel's "buttons" 3 and 4
    // The next frame step measures the pointer's motion from the press, so
    // a pan does not jump by what the pointer did before it.
    pointerX = static_cast<float>(x);
    pointerY = static_cast<float>(y);
    if (button == 0) {
        // A left press starts at slot 0 or 10 only; a waiting code stays.
        if (!requests::beginStroke()) return;
        eraserIdle = false;
        strokeState = 1;
        releasedBeforeStart = false;
        leftStroke = !bPan.load();
        return;
    }
    // Middle and right pan.
    if (f_newBrushPreset.load() == 0) {
        // A waiting request is not replaced: it runs in the next frame
        // while the pan goes on.
        requests::beginStroke();
        eraserIdle = false;
        strokeState = 1;
        releasedBeforeStart = false;
        f_showCursor = false;
        bPan = true;
        host->setCursor(kCursorPan);
    }
}

void wyrleApp::mouseReleased(int, int, int button) {
    if (button == 0) {
        const bool stroke = leftStroke;
        leftStroke = false;
        // Nothing runs (the press was refused, a new canvas or a middle or
        // right press ended the stroke): nothing to end, but a stroke that
        // painted still goes into the undo ring.
        if (strokeState == 0) {
            if (stroke) undoPending = regrabPending = true;
            return;
        }
        const bool pan = bPan.load();
        // The fade as the next frame will clamp it, so both agree on whether the stroke fades out.
        const bool endsNow = !(snapshotBrushParams().fadez > 0) || f_eraserz.load() || pan;
        if (strokeState != 0 && endsNow) {
            strokeState = 0;
            requests::endStroke();
            redrawMode = 2;
        } else if (strokeState == 1) {
            releasedBeforeStart = true;
        }
        if (stroke) undoPending = true;
        strokeEndPending = true;
        regrabPending = true;
        return;
    }
    if (button == 1 || button == 2) {
        bPan = false;
        strokeState = 0;
        requests::endStroke();
        f_showCursor = true;
        redrawMode = 2;
        host->setCursor(kCursorNormal);
    }
}
