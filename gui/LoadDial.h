#pragma once
// Stand-in for the "Open" dialog, to be replaced by the full dialog: a
// picture to open with its background-colour options, handed to the engine
// as request 2.

#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/textctrl.h>

class Log;
class wxButton;
class wxBitmapButton;

class LoadDial : public wxDialog {
public:
    LoadDial(wxWindow* parent, wxWindowID id = -1, const wxPoint& pos = wxDefaultPosition,
             const wxSize& size = wxDefaultSize);
    ~LoadDial() override;

    void OnInit(wxInitDialogEvent& event);
    void OnButtonOkClick(wxCommandEvent& event);
    void OnButtonCancleClick(wxCommandEvent& event);
    void OnBrowseClick(wxCommandEvent& event);
    void OnColourClick(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);

    // The folder a showing starts in: that of the last native save, else
    // the default folder.
    static wxString startFolder();

    wxTextCtrl* pathText;
    wxButton* browseButton;
    wxCheckBox* autoColourBox;
    wxBitmapButton* colourSwatch;
    wxCheckBox* premultiplyBox;
    wxButton* okButton;
    wxButton* cancelButton;
    wxColour background;
    Log* log;
};
