#include "ExportDialog.h"

#include <wx/button.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>

#include "DialogKit.h"
#include "GuiPrompts.h"
#include "Log.h"
#include "Requests.h"
#include "WyrleGlobals.h"
#include "WyrleMain.h"

ExportDialog::ExportDialog(wxWindow* parent, wxWindowID, const wxPoint&, const wxSize&)
    : wxDialog(parent, wxID_ANY, _("Export"), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX),
      log(new Log("ExportDialog.log", false)) {
    wxBoxSizer* root = new wxBoxSizer(wxVERTICAL);
    root->Add(dialogkit::pathRow(this, pathText, browseButton), 0, wxEXPAND | wxALL, 8);
    alphaBox = new wxCheckBox(this, wxID_ANY, _("Save with alpha"));
    root->Add(alphaBox, 0, wxLEFT | wxRIGHT, 8);
    straightAlphaBox = new wxCheckBox(this, wxID_ANY, _("Straight alpha"));
    root->Add(straightAlphaBox, 0, wxALL, 8);
    root->Add(dialogkit::okCancelRow(this, okButton, cancelButton), 0, wxALIGN_RIGHT | wxALL, 4);
    SetSizerAndFit(root);
    CentreOnScreen();

    okButton->Bind(wxEVT_BUTTON, &ExportDialog::OnButtonOkClick, this);
    cancelButton->Bind(wxEVT_BUTTON, &ExportDialog::OnButtonCancleClick, this);
    browseButton->Bind(wxEVT_BUTTON, &ExportDialog::OnBrowseClick, this);
    Bind(wxEVT_INIT_DIALOG, &ExportDialog::OnInit, this);
    Bind(wxEVT_CLOSE_WINDOW, &ExportDialog::OnClose, this);
}

ExportDialog::~ExportDialog() { delete log; }

wxString ExportDialog::proposedFile() {
    if (gSaveAs.load() && !f_exportFile.empty())
        return f_exportFile.get();
    wxFileName name(f_loadFile.get());
    if (name.GetName().empty())
        name.SetName("wyrleArtwork");
    if (!name.IsAbsolute())
        name.SetPath(prompts::defaultFolder());
    name.SetExt("png");
    return name.GetFullPath();
}

void ExportDialog::OnInit(wxInitDialogEvent&) {
    pathText->ChangeValue(proposedFile());
    alphaBox->SetValue(f_alphaBCG.load() != 0);
}

void ExportDialog::OnBrowseClick(wxCommandEvent&) {
    const wxString types = toolwindow::saveFileTypes(wxFileName(pathText->GetValue()).GetExt());
    wxFileName current(pathText->GetValue());
    prompts::SaveAnswer answer =
        prompts::saveFile(this, _("Export"), current.GetPath(), current.GetFullName(), types);
    if (!answer.path.empty())
        pathText->ChangeValue(toolwindow::withTypeExtension(answer.path, types, answer.filterIndex));
}

void ExportDialog::OnButtonOkClick(wxCommandEvent&) {
    f_alphaBCGsave.store(alphaBox->GetValue() ? 1 : 0);
    f_premultiAlpha.store(straightAlphaBox->GetValue() ? 1 : 0);
    const wxString path = pathText->GetValue();
    if (path.empty())
        return;
    if (wxFileName::Exists(path)) {
        const int reply = prompts::question(_("File already exists. Do you want to overwrite it?"), _("Info"),
                                            wxYES_NO | wxNO_DEFAULT | wxICON_INFORMATION);
        if (reply == wxID_NO)
            return;
        if (reply != wxID_YES) {
            prompts::message(_("Unexpected Dialog return code!"), _("info"));
            return;
        }
    }
    f_exportFile.set(path);
    f_export.store(true);
    requests::request(kWorkSave);
    dialogkit::finish(this);
}

void ExportDialog::OnButtonCancleClick(wxCommandEvent&) { dialogkit::finish(this); }

void ExportDialog::OnClose(wxCloseEvent&) { dialogkit::finish(this); }
