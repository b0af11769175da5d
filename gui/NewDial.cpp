#include "NewDial.h"

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/statline.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "DialogKit.h"
#include "GuiPrompts.h"
#include "Log.h"
#include "Requests.h"
#include "WyrleGlobals.h"
#include "new_settings_model.h"

const long NewDial::ID_STATICTEXT2 = wxNewId();
const long NewDial::ID_BITMAPBUTTONBGCOLOR = wxNewId();
const long NewDial::ID_BUTTONWHITE = wxNewId();
const long NewDial::ID_BUTTONBLACK = wxNewId();
const long NewDial::ID_STATICTEXT4 = wxNewId();
const long NewDial::ID_TEXTCTRL1 = wxNewId();
const long NewDial::ID_STATICTEXT1 = wxNewId();
const long NewDial::ID_STATICTEXT5 = wxNewId();
const long NewDial::ID_TEXTCTRL2 = wxNewId();
const long NewDial::ID_STATICTEXT3 = wxNewId();
const long NewDial::ID_CHECKBOXUSEALPHA = wxNewId();
const long NewDial::ID_STATICLINE1 = wxNewId();
const long NewDial::ID_STATICTEXT7 = wxNewId();
const long NewDial::ID_STATICTEXT6 = wxNewId();
const long NewDial::ID_TEXTCTRL3 = wxNewId();
const long NewDial::ID_STATICLINE2 = wxNewId();
const long NewDial::ID_STATICTEXT8 = wxNewId();
const long NewDial::ID_STATICTEXT10 = wxNewId();
const long NewDial::ID_STATICTEXT11 = wxNewId();
const long NewDial::ID_STATICTEXT12 = wxNewId();
const long NewDial::ID_STATICTEXT9 = wxNewId();
const long NewDial::ID_STATICTEXT13 = wxNewId();
const long NewDial::ID_STATICTEXT14 = wxNewId();
const long NewDial::ID_STATICTEXT15 = wxNewId();

namespace {

const long kCentreV = wxALIGN_CENTER_VERTICAL;
const long kCentreH = wxALIGN_CENTER_HORIZONTAL;

std::string text(const wxTextCtrl* field) { return field->GetValue().utf8_string(); }

// The globals of a new artwork; the request itself is raised last.
void handOver(const newsettings::Plan& plan) {
    f_bcgR.store(plan.red);
    f_bcgG.store(plan.green);
    f_bcgB.store(plan.blue);
    f_sx.store(plan.width);
    f_sy.store(plan.height);
    f_alphaBCG.store(plan.alpha);
    f_alphaBCGsave.store(plan.alpha);
}

}  // namespace

NewDial::NewDial(wxWindow* parent, wxWindowID, const wxPoint&, const wxSize&)
    : wxDialog(parent, wxID_ANY, _("New Settings"), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxTAB_TRAVERSAL),
      background(0, 0, 0),
      log(nullptr) {
    const long tab = wxTAB_TRAVERSAL;
    wxBoxSizer* main = new wxBoxSizer(wxVERTICAL);

    wxBoxSizer* backgroundRow = new wxBoxSizer(wxHORIZONTAL);
    backgroundRow->Add(new wxStaticText(this, ID_STATICTEXT2, _("Background color:"), wxDefaultPosition,
                                        wxDefaultSize, tab),
                       0, wxLEFT | kCentreV, 40);
    // GTK's padding would leave the 25 x 25 swatch a thin stripe of its colour.
    colourSwatch = new dialogkit::CompactButton<wxBitmapButton>(
        this, ID_BITMAPBUTTONBGCOLOR, GetOneColorBitmap(25, 25, *wxBLACK), wxDefaultPosition, wxSize(25, 25),
        wxBU_AUTODRAW | wxBORDER_DOUBLE | tab);
    dialogkit::fitPicture(colourSwatch, wxSize(25, 25), wxSize(25, 25));
    colourSwatch->SetDefault();
    colourSwatch->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_ACTIVECAPTION));
    backgroundRow->Add(colourSwatch, 0, wxLEFT | wxRIGHT | kCentreV, 10);
    whiteButton = new wxButton(this, ID_BUTTONWHITE, _("White"), wxDefaultPosition, wxSize(45, 23), tab);
    backgroundRow->Add(whiteButton, 0, wxTOP | wxBOTTOM | kCentreV, 10);
    blackButton = new wxButton(this, ID_BUTTONBLACK, _("Black"), wxDefaultPosition, wxSize(45, 23), tab);
    backgroundRow->Add(blackButton, 0, wxLEFT | kCentreV, 4);
    main->Add(backgroundRow, 0, wxTOP, 15);

    wxBoxSizer* sizeBlock = new wxBoxSizer(wxVERTICAL);
    wxBoxSizer* widthRow = new wxBoxSizer(wxHORIZONTAL);
    widthRow->Add(new wxStaticText(this, ID_STATICTEXT4, _("Width:"), wxDefaultPosition, wxDefaultSize, tab), 0,
                  wxLEFT | kCentreV, 94);
    widthText = new wxTextCtrl(this, ID_TEXTCTRL1, _("800"), wxDefaultPosition, wxSize(55, 20),
                               wxTE_PROCESS_ENTER | tab);
    dialogkit::fitText(widthText, "00000");
    widthText->SetFocus();
    widthRow->Add(widthText, 0, wxLEFT | kCentreV, 10);
    widthRow->Add(new wxStaticText(this, ID_STATICTEXT1, _("pixels"), wxDefaultPosition, wxDefaultSize, tab), 1,
                  wxLEFT | wxRIGHT | kCentreV, 5);
    sizeBlock->Add(widthRow, 0, wxTOP | wxBOTTOM | wxRIGHT, 5);
    wxBoxSizer* heightRow = new wxBoxSizer(wxHORIZONTAL);
    heightRow->Add(new wxStaticText(this, ID_STATICTEXT5, _("Height:"), wxDefaultPosition, wxDefaultSize, tab), 0,
                   wxLEFT | kCentreV, 91);
    heightText = new wxTextCtrl(this, ID_TEXTCTRL2, _("600"), wxDefaultPosition, wxSize(55, 20),
                                wxTE_PROCESS_ENTER | tab);
    dialogkit::fitText(heightText, "00000");
    heightRow->Add(heightText, 0, wxLEFT | kCentreV, 10);
    heightRow->Add(new wxStaticText(this, ID_STATICTEXT3, _("pixels"), wxDefaultPosition, wxDefaultSize, tab), 1,
                   wxLEFT | wxRIGHT | kCentreV, 5);
    sizeBlock->Add(heightRow, 0, wxBOTTOM | wxRIGHT, 12);
    wxBoxSizer* alphaRow = new wxBoxSizer(wxHORIZONTAL);
    alphaBox = new wxCheckBox(this, ID_CHECKBOXUSEALPHA, _("Transparent (Alpha)"), wxDefaultPosition,
                              wxDefaultSize, tab);
    alphaBox->SetValue(false);
    alphaRow->Add(alphaBox, 0, wxLEFT | kCentreV, 86);
    sizeBlock->Add(alphaRow, 0, wxLEFT, 50);
    main->Add(sizeBlock, 0, wxRIGHT, 70);

    wxBoxSizer* infoBlock = new wxBoxSizer(wxVERTICAL);
    infoBlock->Add(new wxStaticLine(this, ID_STATICLINE1, wxDefaultPosition, wxSize(250, -1), wxLI_HORIZONTAL), 0,
                   wxALL | kCentreH, 5);
    infoBlock->Add(new wxStaticText(this, ID_STATICTEXT7, _("Picture Size Info:")), 0, wxBOTTOM | kCentreH, 10);
    wxBoxSizer* infoRow = new wxBoxSizer(wxHORIZONTAL);
    wxBoxSizer* dpiBox = new wxBoxSizer(wxHORIZONTAL);
    dpiBox->Add(new wxStaticText(this, ID_STATICTEXT6, _("DPI:")), 0, wxRIGHT | kCentreV, 10);
    dpiText = new wxTextCtrl(this, ID_TEXTCTRL3, _("72"), wxDefaultPosition, wxSize(36, 20), 0);
    dialogkit::fitText(dpiText, "000");
    dpiBox->Add(dpiText, 0, wxRIGHT | kCentreV, 5);
    infoRow->Add(dpiBox, 0, wxLEFT | wxRIGHT | wxBOTTOM | kCentreV, 4);
    infoRow->Add(new wxStaticLine(this, ID_STATICLINE2, wxDefaultPosition, wxSize(-1, 45), wxLI_VERTICAL), 0,
                 wxLEFT | wxRIGHT | wxBOTTOM, 5);
    wxBoxSizer* measures = new wxBoxSizer(wxVERTICAL);
    wxBoxSizer* cmRow = new wxBoxSizer(wxHORIZONTAL);
    widthCm = new wxStaticText(this, ID_STATICTEXT8, _("100"));
    heightCm = new wxStaticText(this, ID_STATICTEXT11, _("100"));
    cmRow->Add(widthCm, 0, wxLEFT, 5);
    cmRow->Add(new wxStaticText(this, ID_STATICTEXT10, _("x")), 0, wxLEFT, 5);
    cmRow->Add(heightCm, 0, wxLEFT, 5);
    cmRow->Add(new wxStaticText(this, ID_STATICTEXT12, _("cm")), 0, wxLEFT, 5);
    measures->Add(cmRow, 0, 0, 0);
    wxBoxSizer* inchRow = new wxBoxSizer(wxHORIZONTAL);
    widthInch = new wxStaticText(this, ID_STATICTEXT9, _("100"));
    heightInch = new wxStaticText(this, ID_STATICTEXT14, _("100"));
    inchRow->Add(widthInch, 0, wxLEFT, 5);
    inchRow->Add(new wxStaticText(this, ID_STATICTEXT13, _("x")), 0, wxLEFT, 5);
    inchRow->Add(heightInch, 0, wxLEFT, 5);
    inchRow->Add(new wxStaticText(this, ID_STATICTEXT15, _("inch")), 0, wxLEFT, 5);
    measures->Add(inchRow, 0, wxTOP, 5);
    // The read-out's width follows its numbers; held at its width for sizes
    // of five digits, it no longer moves the DPI box as it changes.
    wxStaticText* numbers[] = {widthCm, heightCm, widthInch, heightInch};
    for (wxStaticText* number : numbers)
        number->SetLabel("00000.00");
    measures->SetMinSize(measures->CalcMin());
    for (wxStaticText* number : numbers)
        number->SetLabel(_("100"));
    infoRow->Add(measures, 0, wxTOP, 3);
    infoBlock->Add(infoRow, 0, wxLEFT, 44);
    main->Add(infoBlock, 0, wxTOP | kCentreH, 10);

    wxBoxSizer* buttonRow = new wxBoxSizer(wxHORIZONTAL);
    okButton = new wxButton(this, wxID_OK, _("OK"), wxDefaultPosition, wxSize(70, 23), tab);
    buttonRow->Add(okButton, 0, wxALL | kCentreV, 10);
    cancelButton = new wxButton(this, wxID_CANCEL, _("Cancel"), wxDefaultPosition, wxSize(70, 23), tab);
    buttonRow->Add(cancelButton, 0, wxTOP | wxBOTTOM | wxRIGHT | kCentreV, 10);
    main->Add(buttonRow, 0, wxLEFT | wxRIGHT | kCentreH, 20);

    SetSizer(main);
    main->Fit(this);
    main->SetSizeHints(this);
    // Where Windows puts a dialog of the default position.
    CentreOnScreen();

    // Bound on the dialog by id, so the close box and Esc, which arrive as
    // the standard Cancel command, reach Cancel too.
    Bind(wxEVT_BUTTON, &NewDial::OnButtonColorClick, this, ID_BITMAPBUTTONBGCOLOR);
    Bind(wxEVT_BUTTON, &NewDial::OnButtonWhiteClick, this, ID_BUTTONWHITE);
    Bind(wxEVT_BUTTON, &NewDial::OnButtonBlackClick, this, ID_BUTTONBLACK);
    Bind(wxEVT_TEXT, &NewDial::OnTextCtrlWidthText, this, ID_TEXTCTRL1);
    Bind(wxEVT_TEXT, &NewDial::OnTextCtrlWidthText, this, ID_TEXTCTRL2);
    Bind(wxEVT_CHECKBOX, &NewDial::OnCheckBoxUseAlphaClick, this, ID_CHECKBOXUSEALPHA);
    Bind(wxEVT_TEXT, &NewDial::OnTextCtrlWidthText, this, ID_TEXTCTRL3);
    Bind(wxEVT_BUTTON, &NewDial::OnButtonOkClick, this, wxID_OK);
    Bind(wxEVT_BUTTON, &NewDial::OnButtonCancelClick, this, wxID_CANCEL);
    Bind(wxEVT_INIT_DIALOG, &NewDial::OnInit, this);
    // Width and height keep Enter for themselves: it does nothing there.
    auto keepEnter = [](wxCommandEvent&) {};
    Bind(wxEVT_TEXT_ENTER, keepEnter, ID_TEXTCTRL1);
    Bind(wxEVT_TEXT_ENTER, keepEnter, ID_TEXTCTRL2);

    dialogkit::setSwatchColour(colourSwatch, background, *wxBLACK);
    log = new Log("NewDial.log", gLogging.load());
}

NewDial::~NewDial() { delete log; }

wxBitmap NewDial::GetOneColorBitmap(int w, int h, wxColour colour) { return dialogkit::solidBitmap(w, h, colour); }

void NewDial::refreshReadout() {
    const newsettings::Readout readout = newsettings::sizeReadout(text(widthText), text(heightText), text(dpiText));
    widthCm->SetLabel(readout.widthCm);
    heightCm->SetLabel(readout.heightCm);
    widthInch->SetLabel(readout.widthInch);
    heightInch->SetLabel(readout.heightInch);
    Layout();
}

void NewDial::OnInit(wxInitDialogEvent&) {
    log->log("OnInit");
    refreshReadout();
}

void NewDial::OnTextCtrlWidthText(wxCommandEvent&) { refreshReadout(); }

void NewDial::OnCheckBoxUseAlphaClick(wxCommandEvent&) {}

void NewDial::OnButtonColorClick(wxCommandEvent&) { dialogkit::pickSwatchColour(this, colourSwatch, background); }

void NewDial::OnButtonWhiteClick(wxCommandEvent&) { dialogkit::setSwatchColour(colourSwatch, background, *wxWHITE); }

void NewDial::OnButtonBlackClick(wxCommandEvent&) { dialogkit::setSwatchColour(colourSwatch, background, *wxBLACK); }

void NewDial::OnButtonOkClick(wxCommandEvent&) {
    const newsettings::Plan plan = newsettings::planNewArtwork(
        text(widthText), text(heightText), alphaBox->GetValue(), background.Red(), background.Green(), background.Blue());
    if (!plan.accepted) {
        prompts::message(_("Only numbers are allowed as width and height parameter."), _("Info"), this);
        return;
    }
    log->log("new artwork", plan.width);
    handOver(plan);
    Hide();
    requests::request(kWorkNewArtwork);
    f_showCursor.store(true);
}

void NewDial::OnButtonCancelClick(wxCommandEvent&) {
    Hide();
    f_showCursor.store(true);
}
