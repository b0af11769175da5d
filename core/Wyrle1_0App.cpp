#include "core/Wyrle1_0App.h"

#include <wx/dialog.h>
#include <wx/image.h>

#include "core/BaseApp.h"
#include "core/WyrleGlobals.h"
#include "core/wyrleApp.h"
#include "gui/DialogKit.h"
#include "gui/WyrleMain.h"
#include "platform/win32.h"

wxBEGIN_EVENT_TABLE(Wyrle1_0App, wxApp)
    EVT_KEY_DOWN(Wyrle1_0App::OnKeyDown)
    EVT_KEY_UP(Wyrle1_0App::OnKeyUp)
    EVT_SET_FOCUS(Wyrle1_0App::SetFocus)
wxEND_EVENT_TABLE()

namespace {

// The engine's pan switch, when the engine exists and no capture runs.
void setPan(bool on) {
    if (f_newBrushPreset.load() != 0 || !bFrame.load())
        return;
    BaseApp::Instance()->withEngine([on](wyrleApp& engine) { engine.bPan.store(on); });
}

}  // namespace

AppKeyAction appKeyDownAction(int keyCode) {
    switch (keyCode) {
    case WXK_SPACE: return AppKeyAction::Pan;
    case '+': return AppKeyAction::ZoomIn;
    case WXK_TAB:
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER: return AppKeyAction::Swallow;
    default: return AppKeyAction::PassOn;
    }
}

bool Wyrle1_0App::OnInit() {
    wxInitAllImageHandlers();
    int bw = 0, bh = 0;
    computeBorders(platform::frameMetricX(), bw, bh);
    f_borderWidth.store(bw);
    f_borderHeight.store(bh);
    // The libraries' folders exist before the first dialog lists them.
    dialogkit::ensureLibraryFolders();
    frame = new WyrleFrame(nullptr, wxID_ANY);
    frame->Show(true);
    bFrame.store(true);
    SetTopWindow(frame);
    return true;
}

bool appKeyDown(WyrleFrame* frame, int keyCode) {
    switch (appKeyDownAction(keyCode)) {
    case AppKeyAction::Pan:
        setPan(true);
        return true;
    case AppKeyAction::ZoomIn:
        if (frame)
            frame->ZoomPlusClick();
        return false;
    case AppKeyAction::Swallow:
        return false;
    case AppKeyAction::PassOn:
        break;
    }
    return true;
}

bool appKeyUp(int keyCode) {
    if (keyCode == WXK_SPACE)
        setPan(false);
    return true;
}

bool keyBelongsToDialog(const wxObject* source) {
    // dynamic_cast: wxDynamicCast casts statically before it checks.
    const wxWindow* window = dynamic_cast<const wxWindow*>(source);
    return window && dynamic_cast<wxDialog*>(wxGetTopLevelParent(const_cast<wxWindow*>(window)));
}

void Wyrle1_0App::OnKeyDown(wxKeyEvent& event) {
    // GTK moves the focus between a dialog's fields only after this handler
    // has passed the key on; swallowing it here would join "640", Tab, "480".
    if (appKeyDownAction(event.GetKeyCode()) == AppKeyAction::Swallow && keyBelongsToDialog(event.GetEventObject())) {
        event.Skip();
        return;
    }
    event.Skip(appKeyDown(frame, event.GetKeyCode()));
}

void Wyrle1_0App::OnKeyUp(wxKeyEvent& event) {
    event.Skip(appKeyUp(event.GetKeyCode()));
}

void Wyrle1_0App::SetFocus(wxFocusEvent&) {}
