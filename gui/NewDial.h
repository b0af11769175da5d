#pragma once
// Stand-in for the "New Settings" dialog, to be replaced by the full dialog:
// canvas size, background colour and transparency, handed to the engine as
// request 1.

#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/textctrl.h>

class Log;
class wxButton;
class wxBitmapButton;

class NewDial : public wxDialog {
public:
    NewDial(wxWindow* parent, wxWindowID id = -1, const wxPoint& pos = wxDefaultPosition,
            const wxSize& size = wxDefaultSize);
    ~NewDial() override;

    void OnInit(wxInitDialogEvent& event);
    void OnButtonOkClick(wxCommandEvent& event);
    void OnButtonCancelClick(wxCommandEvent& event);
    void OnColourClick(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);

    wxTextCtrl* widthText;
    wxTextCtrl* heightText;
    wxBitmapButton* colourSwatch;
    wxCheckBox* alphaBox;
    wxButton* okButton;
    wxButton* cancelButton;
    wxColour background;
    Log* log;

private:
    void paintColour();
};
