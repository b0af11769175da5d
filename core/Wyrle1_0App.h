#pragma once

#include <wx/app.h>

class WyrleFrame;

// What the application's key handler does with a key the tool window did
// not handle.
enum class AppKeyAction { PassOn, Pan, ZoomIn, Swallow };
AppKeyAction appKeyDownAction(int keyCode);
// The key handlers' work; true when the event is to be passed on.
bool appKeyDown(WyrleFrame* frame, int keyCode);
bool appKeyUp(int keyCode);
// True when the key event came from a window inside one of our dialogs,
// where Tab and Enter keep their own meaning.
bool keyBelongsToDialog(const wxObject* source);

class Wyrle1_0App : public wxApp {
public:
    bool OnInit() override;

    void OnKeyDown(wxKeyEvent& event);
    void OnKeyUp(wxKeyEvent& event);
    void SetFocus(wxFocusEvent& event);

    WyrleFrame* frame = nullptr;

private:
    wxDECLARE_EVENT_TABLE();
};

wxDECLARE_APP(Wyrle1_0App);
