#pragma once
// Temporary stand-in for the tool window: a plain frame with a Quit item that
// starts the render thread as the last step of its construction, until the
// tool window itself lands.

#include <wx/frame.h>

class BaseApp;

class WyrleFrame : public wxFrame {
public:
    WyrleFrame(wxWindow* parent, wxWindowID id = wxID_ANY);

    // What the engine asks of the tool window; no-ops in the stand-in.
    void NewDialog() {}
    void LoadDialog() {}
    void Save() {}
    void SaveDialog() {}
    void SetSliderSize(int) {}
    void SetSliderEraserSize(int) {}
    void SetZoomLabel(const wxString&) {}
    void ZoomPlusClick() {}
    void ZoomMinusClick() {}
    void ZoomResetClick() {}
    void BrushClick() {}
    void EraserClick() {}
    void ShowBcgSelected() {}
    void HelpSelected() {}
    void OnTop() {}
    void backgroundColorBitmap() {}

    bool bBrushesShown = false;
    bool bGradientShown = false;
    wxWindow* gradientDialog = nullptr;
    wxWindow* saveBrushDialog = nullptr;
    BaseApp* baseApp = nullptr;

private:
    void OnQuit(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
};
