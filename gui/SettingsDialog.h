#pragma once
// Stand-in for the "Preferences" dialog, to be replaced by the full dialog:
// the share of free memory for undo, kept in "prefs.cfg".

#include <wx/dialog.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>

#include "SettingsHandler.h"

class Log;
class wxButton;

class SettingsDialog : public wxDialog {
public:
    SettingsDialog(wxWindow* parent, wxWindowID id = -1, const wxPoint& pos = wxDefaultPosition,
                   const wxSize& size = wxDefaultSize);
    ~SettingsDialog() override;

    void OnInit(wxInitDialogEvent& event);
    void OnButtonOkClick(wxCommandEvent& event);
    void OnButtonCancelClick(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);

    SettingsHandler settings;
    wxSpinCtrl* undoPercent;
    wxStaticText* undoSteps;
    wxButton* okButton;
    wxButton* cancelButton;
    Log* log;
};
