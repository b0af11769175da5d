#include "LoadDial.h"

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "DialogKit.h"
#include "GuiPrompts.h"
#include "Log.h"
#include "Requests.h"
#include "WyrleGlobals.h"

LoadDial::LoadDial(wxWindow* parent, wxWindowID, const wxPoint&, const wxSize&)
    : wxDialog(parent, wxID_ANY, _("Open"), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX),
      background(0, 0, 0),
      log(new Log("LoadDial.log", gLogging.load())) {
    wxBoxSizer* root = new wxBoxSizer(wxVERTICAL);
    root->Add(dialogkit::pathRow(this, pathText, browseButton), 0, wxEXPAND | wxALL, 8);
    autoColourBox = new wxCheckBox(this, wxID_ANY, _("Find the background colour"));
    autoColourBox->SetValue(true);
    root->Add(autoColourBox, 0, wxLEFT | wxRIGHT, 8);
    wxBoxSizer* colourRow = new wxBoxSizer(wxHORIZONTAL);
    colourRow->Add(new wxStaticText(this, wxID_ANY, _("Background")), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    colourSwatch = new wxBitmapButton(this, wxID_ANY, dialogkit::solidBitmap(40, 16, background));
    colourRow->Add(colourSwatch);
    root->Add(colourRow, 0, wxALL, 8);
    premultiplyBox = new wxCheckBox(this, wxID_ANY, _("Premultiply alpha"));
    root->Add(premultiplyBox, 0, wxLEFT | wxRIGHT, 8);
    root->Add(dialogkit::okCancelRow(this, okButton, cancelButton), 0, wxALIGN_RIGHT | wxALL, 4);
    SetSizerAndFit(root);
    CentreOnScreen();

    okButton->Bind(wxEVT_BUTTON, &LoadDial::OnButtonOkClick, this);
    cancelButton->Bind(wxEVT_BUTTON, &LoadDial::OnButtonCancleClick, this);
    browseButton->Bind(wxEVT_BUTTON, &LoadDial::OnBrowseClick, this);
    colourSwatch->Bind(wxEVT_BUTTON, &LoadDial::OnColourClick, this);
    Bind(wxEVT_INIT_DIALOG, &LoadDial::OnInit, this);
    Bind(wxEVT_CLOSE_WINDOW, &LoadDial::OnClose, this);
}

LoadDial::~LoadDial() { delete log; }

wxString LoadDial::startFolder() {
    if (gFileSaved.load()) {
        wxString folder = wxFileName(f_saveFile.get()).GetPath();
        if (!folder.empty())
            return folder;
    }
    return prompts::defaultFolder();
}

void LoadDial::OnInit(wxInitDialogEvent&) {
    pathText->ChangeValue(wxFileName(startFolder(), "").GetPathWithSep());
}

void LoadDial::OnBrowseClick(wxCommandEvent&) {
    wxFileDialog chooser(this, _("Select file"), startFolder(), wxEmptyString, wxFileSelectorDefaultWildcardStr,
                         wxFD_OPEN);
    const wxString path = prompts::openFile(chooser);
    if (!path.empty())
        pathText->ChangeValue(path);
}

void LoadDial::OnColourClick(wxCommandEvent&) {
    wxColourData data;
    prompts::prepareColourData(data, background);
    if (!prompts::chooseColour(this, data))
        return;
    background = data.GetColour();
    colourSwatch->SetBitmapLabel(dialogkit::solidBitmap(40, 16, background));
}

void LoadDial::OnButtonOkClick(wxCommandEvent&) {
    const wxString path = pathText->GetValue();
    f_loadFile.set(path);
    if (wxFileName::FileExists(path)) {
        f_bcgR_choose.store(background.Red());
        f_bcgG_choose.store(background.Green());
        f_bcgB_choose.store(background.Blue());
        f_findAutoBcgColor.store(autoColourBox->GetValue());
        f_premultiplyAlpha.store(premultiplyBox->GetValue());
        f_fixedLoadPic.store(false);
        requests::request(kWorkLoad);
    }
    dialogkit::finish(this);
}

void LoadDial::OnButtonCancleClick(wxCommandEvent&) { dialogkit::finish(this); }

void LoadDial::OnClose(wxCloseEvent&) { dialogkit::finish(this); }
