#include "SettingsDialog.h"

#include <wx/button.h>
#include <wx/sizer.h>

#include "DialogKit.h"
#include "Log.h"
#include "WyrleGlobals.h"

SettingsDialog::SettingsDialog(wxWindow* parent, wxWindowID, const wxPoint&, const wxSize&)
    : wxDialog(parent, wxID_ANY, _("Preferences"), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX),
      log(new Log("SettingDialog.log", gLogging.load())) {
    settings.Load();
    wxBoxSizer* root = new wxBoxSizer(wxVERTICAL);
    wxBoxSizer* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticText(this, wxID_ANY, _("Memory for undo (%)")), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    undoPercent = new wxSpinCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxSP_ARROW_KEYS,
                                 10, 90, 30);
    row->Add(undoPercent);
    root->Add(row, 0, wxALL, 8);
    undoSteps = new wxStaticText(this, wxID_ANY, wxEmptyString);
    root->Add(undoSteps, 0, wxLEFT | wxRIGHT, 8);
    root->Add(dialogkit::okCancelRow(this, okButton, cancelButton), 0, wxALIGN_RIGHT | wxALL, 4);
    SetSizerAndFit(root);
    CentreOnScreen();

    okButton->Bind(wxEVT_BUTTON, &SettingsDialog::OnButtonOkClick, this);
    cancelButton->Bind(wxEVT_BUTTON, &SettingsDialog::OnButtonCancelClick, this);
    Bind(wxEVT_INIT_DIALOG, &SettingsDialog::OnInit, this);
    Bind(wxEVT_CLOSE_WINDOW, &SettingsDialog::OnClose, this);
}

SettingsDialog::~SettingsDialog() { delete log; }

void SettingsDialog::OnInit(wxInitDialogEvent&) {
    undoPercent->SetValue(settings.undoPercent);
    undoSteps->SetLabel(wxString::Format(_("Undo steps: %i"), (f_undoMax.load() - 1) / 2));
    Layout();
}

void SettingsDialog::OnButtonOkClick(wxCommandEvent&) {
    settings.undoPercent = undoPercent->GetValue();
    settings.Save();
    dialogkit::finish(this);
}

void SettingsDialog::OnButtonCancelClick(wxCommandEvent&) { dialogkit::finish(this); }

void SettingsDialog::OnClose(wxCloseEvent&) { dialogkit::finish(this); }
