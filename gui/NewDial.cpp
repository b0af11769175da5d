#include "NewDial.h"

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "DialogKit.h"
#include "GuiPrompts.h"
#include "Log.h"
#include "Requests.h"
#include "WyrleGlobals.h"

NewDial::NewDial(wxWindow* parent, wxWindowID, const wxPoint&, const wxSize&)
    : wxDialog(parent, wxID_ANY, _("New Settings"), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX),
      background(0, 0, 0),
      log(new Log("NewDial.log", gLogging.load())) {
    wxFlexGridSizer* grid = new wxFlexGridSizer(2, 4, 6);
    grid->Add(new wxStaticText(this, wxID_ANY, _("Width")), 0, wxALIGN_CENTER_VERTICAL);
    widthText = new wxTextCtrl(this, wxID_ANY, "800");
    grid->Add(widthText);
    grid->Add(new wxStaticText(this, wxID_ANY, _("Height")), 0, wxALIGN_CENTER_VERTICAL);
    heightText = new wxTextCtrl(this, wxID_ANY, "600");
    grid->Add(heightText);
    grid->Add(new wxStaticText(this, wxID_ANY, _("Background")), 0, wxALIGN_CENTER_VERTICAL);
    colourSwatch = new wxBitmapButton(this, wxID_ANY, dialogkit::solidBitmap(40, 16, background));
    grid->Add(colourSwatch);
    grid->AddSpacer(0);
    alphaBox = new wxCheckBox(this, wxID_ANY, _("Transparent background"));
    grid->Add(alphaBox);

    wxBoxSizer* root = new wxBoxSizer(wxVERTICAL);
    root->Add(grid, 0, wxALL, 8);
    root->Add(dialogkit::okCancelRow(this, okButton, cancelButton), 0, wxALIGN_RIGHT | wxALL, 4);
    SetSizerAndFit(root);
    CentreOnScreen();

    okButton->Bind(wxEVT_BUTTON, &NewDial::OnButtonOkClick, this);
    cancelButton->Bind(wxEVT_BUTTON, &NewDial::OnButtonCancelClick, this);
    colourSwatch->Bind(wxEVT_BUTTON, &NewDial::OnColourClick, this);
    Bind(wxEVT_INIT_DIALOG, &NewDial::OnInit, this);
    Bind(wxEVT_CLOSE_WINDOW, &NewDial::OnClose, this);
}

NewDial::~NewDial() { delete log; }

void NewDial::paintColour() { colourSwatch->SetBitmapLabel(dialogkit::solidBitmap(40, 16, background)); }

void NewDial::OnInit(wxInitDialogEvent&) {
    if (f_sx.load() > 0 && f_sy.load() > 0) {
        widthText->ChangeValue(wxString::Format("%i", f_sx.load()));
        heightText->ChangeValue(wxString::Format("%i", f_sy.load()));
    }
    background = wxColour(f_bcgR.load(), f_bcgG.load(), f_bcgB.load());
    paintColour();
    alphaBox->SetValue(f_alphaBCG.load() != 0);
}

void NewDial::OnColourClick(wxCommandEvent&) {
    wxColourData data;
    prompts::prepareColourData(data, background);
    if (!prompts::chooseColour(this, data))
        return;
    background = data.GetColour();
    paintColour();
}

void NewDial::OnButtonOkClick(wxCommandEvent&) {
    long w = 0, h = 0;
    if (!widthText->GetValue().ToLong(&w) || !heightText->GetValue().ToLong(&h)) {
        prompts::message(_("Only numbers are allowed as width and height parameter."), _("Info"));
        return;
    }
    f_bcgR.store(background.Red());
    f_bcgG.store(background.Green());
    f_bcgB.store(background.Blue());
    // The engine refuses what it cannot hold; the dialog only keeps the
    // numbers sane.
    f_sx.store(static_cast<int>(w < 10 ? 10 : (w > 100000 ? 100000 : w)));
    f_sy.store(static_cast<int>(h < 10 ? 10 : (h > 100000 ? 100000 : h)));
    const int alpha = alphaBox->GetValue() ? 1 : 0;
    f_alphaBCG.store(alpha);
    f_alphaBCGsave.store(alpha);
    requests::request(kWorkNewArtwork);
    dialogkit::finish(this);
}

void NewDial::OnButtonCancelClick(wxCommandEvent&) { dialogkit::finish(this); }

void NewDial::OnClose(wxCloseEvent&) { dialogkit::finish(this); }
