#include "LoadDial.h"

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
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
#include "open_model.h"

const long LoadDial::ID_STATICTEXT1 = wxNewId();
const long LoadDial::ID_BITMAPBUTTONBGCOLOR = wxNewId();
const long LoadDial::ID_BUTTONWHITE = wxNewId();
const long LoadDial::ID_BUTTONBLACK = wxNewId();
const long LoadDial::ID_STATICLINE2 = wxNewId();
const long LoadDial::ID_CHECKBOXAUTOBASECOLOR = wxNewId();
const long LoadDial::ID_STATICTEXT2 = wxNewId();
const long LoadDial::ID_TEXTCTRL1 = wxNewId();
const long LoadDial::ID_BUTTONBROWSE1 = wxNewId();
const long LoadDial::ID_CHECKBOXPREMULTIPLY = wxNewId();
const long LoadDial::wxID_CANCLE = wxNewId();

namespace {

const long kCentreV = wxALIGN_CENTER_VERTICAL;
const long kCentreH = wxALIGN_CENTER_HORIZONTAL;

wxString utf8(const std::string& text) { return wxString::FromUTF8(text.c_str()); }

// The load's globals; the request itself is raised last.
void handOver(const openpicture::Plan& plan) {
    f_bcgR_choose.store(plan.red);
    f_bcgG_choose.store(plan.green);
    f_bcgB_choose.store(plan.blue);
    f_fixedLoadPic.store(false);
    f_findAutoBcgColor.store(plan.autoColour);
    f_premultiplyAlpha.store(plan.premultiply);
}

}  // namespace

LoadDial::LoadDial(wxWindow* parent, wxWindowID, const wxPoint&, const wxSize&)
    : wxDialog(parent, wxID_ANY, _("Open"), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxTAB_TRAVERSAL),
      browsed(false),
      background(0, 0, 0),
      log(nullptr) {
    const long tab = wxTAB_TRAVERSAL;
    wxBoxSizer* main = new wxBoxSizer(wxVERTICAL);

    wxBoxSizer* backgroundRow = new wxBoxSizer(wxHORIZONTAL);
    backgroundRow->Add(new wxStaticText(this, ID_STATICTEXT1, _("Background color:"), wxDefaultPosition,
                                        wxDefaultSize, tab),
                       0, wxLEFT | kCentreV, 33);
    // GTK's padding would leave the 25 x 25 swatch a thin stripe of its colour.
    colourSwatch = new dialogkit::CompactButton<wxBitmapButton>(
        this, ID_BITMAPBUTTONBGCOLOR, GetOneColorBitmap(25, 25, *wxBLACK), wxDefaultPosition, wxSize(25, 25),
        wxBU_AUTODRAW | wxBORDER_DOUBLE | tab);
    dialogkit::fitPicture(colourSwatch, wxSize(25, 25), wxSize(25, 25));
    colourSwatch->SetDefault();
    colourSwatch->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_ACTIVECAPTION));
    backgroundRow->Add(colourSwatch, 0, wxLEFT | kCentreV, 10);
    whiteButton = new wxButton(this, ID_BUTTONWHITE, _("White"), wxDefaultPosition, wxSize(45, 23), tab);
    backgroundRow->Add(whiteButton, 0, wxLEFT | wxTOP | wxBOTTOM | kCentreV, 10);
    blackButton = new wxButton(this, ID_BUTTONBLACK, _("Black"), wxDefaultPosition, wxSize(45, 23), tab);
    backgroundRow->Add(blackButton, 0, wxLEFT | kCentreV, 4);
    backgroundRow->Add(new wxStaticLine(this, ID_STATICLINE2, wxDefaultPosition, wxSize(-1, 30),
                                        wxLI_VERTICAL | tab),
                       0, wxLEFT | wxRIGHT | kCentreV, 10);
    autoColourBox = new wxCheckBox(this, ID_CHECKBOXAUTOBASECOLOR, _("Auto background color"), wxDefaultPosition,
                                   wxDefaultSize, tab);
    autoColourBox->SetValue(true);
    // A margin at the dialog's edge, where the layout has the label touch it.
    backgroundRow->Add(autoColourBox, 0, wxRIGHT | kCentreV, 10);
    main->Add(backgroundRow, 0, wxTOP, 15);

    wxBoxSizer* pictureRow = new wxBoxSizer(wxHORIZONTAL);
    pictureRow->Add(new wxStaticText(this, ID_STATICTEXT2, _("Open picture:"), wxDefaultPosition, wxDefaultSize,
                                     tab),
                    0, wxLEFT | kCentreV, 53);
    // The "C:\" of the original: the default folder, as a folder.
    pathText = new wxTextCtrl(this, ID_TEXTCTRL1, wxFileName::DirName(prompts::defaultFolder()).GetPathWithSep(),
                              wxDefaultPosition, wxSize(200, -1), wxTE_PROCESS_ENTER | tab);
    pictureRow->Add(pathText, 1, wxLEFT | kCentreV, 10);
    browseButton = new wxButton(this, ID_BUTTONBROWSE1, _("Browse"), wxDefaultPosition, wxSize(60, 23), tab);
    pictureRow->Add(browseButton, 0, wxALL | kCentreV, 5);
    main->Add(pictureRow, 0, wxRIGHT, 35);

    wxBoxSizer* alphaRow = new wxBoxSizer(wxHORIZONTAL);
    wxBoxSizer* alphaInner = new wxBoxSizer(wxHORIZONTAL);
    premultiplyBox = new wxCheckBox(this, ID_CHECKBOXPREMULTIPLY, _("Premultiply Alpha"));
    premultiplyBox->SetValue(false);
    alphaInner->Add(premultiplyBox, 0, wxLEFT | kCentreV, 100);
    alphaRow->Add(alphaInner, 0, wxTOP | wxBOTTOM | kCentreV, 10);
    main->Add(alphaRow, 0, wxLEFT, 29);

    wxBoxSizer* buttonRow = new wxBoxSizer(wxHORIZONTAL);
    okButton = new wxButton(this, wxID_OK, _("OK"), wxDefaultPosition, wxSize(70, 23), tab);
    buttonRow->Add(okButton, 0, wxALL | kCentreV, 10);
    cancelButton = new wxButton(this, wxID_CANCLE, _("Cancel"), wxDefaultPosition, wxSize(70, 23), tab);
    buttonRow->Add(cancelButton, 0, wxTOP | wxBOTTOM | wxRIGHT | kCentreV, 10);
    main->Add(buttonRow, 0, wxLEFT | wxRIGHT | wxTOP | kCentreH, 10);

    SetSizer(main);
    main->Fit(this);
    main->SetSizeHints(this);
    // Where Windows puts a dialog of the default position.
    CentreOnScreen();

    Bind(wxEVT_BUTTON, &LoadDial::OnBitmapButtonBgColorClick, this, ID_BITMAPBUTTONBGCOLOR);
    Bind(wxEVT_BUTTON, &LoadDial::OnButtonWhiteClick, this, ID_BUTTONWHITE);
    Bind(wxEVT_BUTTON, &LoadDial::OnButtonBlackClick, this, ID_BUTTONBLACK);
    Bind(wxEVT_CHECKBOX, &LoadDial::OnCheckBoxAutoBaseColorClick, this, ID_CHECKBOXAUTOBASECOLOR);
    Bind(wxEVT_BUTTON, &LoadDial::OnButtonBrowse1Click, this, ID_BUTTONBROWSE1);
    Bind(wxEVT_CHECKBOX, &LoadDial::OnCheckBoxPremultiplyClick, this, ID_CHECKBOXPREMULTIPLY);
    Bind(wxEVT_BUTTON, &LoadDial::OnButtonOkClick, this, wxID_OK);
    Bind(wxEVT_BUTTON, &LoadDial::OnButtonCancleClick, this, wxID_CANCLE);
    Bind(wxEVT_INIT_DIALOG, &LoadDial::OnInit, this);
    // Enter in the path text does nothing (it would open the colour dialog).
    Bind(wxEVT_TEXT_ENTER, [](wxCommandEvent&) {}, ID_TEXTCTRL1);
    // Without a stock Cancel, GTK would turn Esc and the close box into OK;
    // they only hide. Esc is the close box, as in a Windows dialog.
    SetEscapeId(wxID_NONE);
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_ESCAPE && event.GetModifiers() == wxMOD_NONE)
            Close();
        else
            event.Skip();
    });

    log = new Log("LoadDial.log", gLogging.load());
    background = *wxBLACK;
    fileFilter =
        "All files (*.*)|*.*|BMP files (*.bmp)|*.bmp|JPG files (*.jpg)|*.jpg|PNG files (*.png)|*.png|"
        "TIFF files (*.tif)|*.tif|TGA files (*.tga)|*.tga|PSD files (*.psd)|*.psd|GIF files (*.gif)|*.gif|";
    startFolder = gFileSaved.load() ? f_saveFile.get() : prompts::defaultFolder();
    dialogkit::setSwatchColour(colourSwatch, background, *wxBLACK);
}

LoadDial::~LoadDial() { delete log; }

wxBitmap LoadDial::GetOneColorBitmap(int w, int h, wxColour colour) { return dialogkit::solidBitmap(w, h, colour); }

void LoadDial::OnInit(wxInitDialogEvent&) {
    log->log("OnInit");
    const openpicture::Showing showing = openpicture::onShow(
        gFileSaved.load(), f_saveFile.get().utf8_string(), prompts::defaultFolder().utf8_string(),
        pathText->GetValue().utf8_string());
    startFolder = utf8(showing.startFolder);
    if (utf8(showing.pathText) != pathText->GetValue())
        pathText->ChangeValue(utf8(showing.pathText));
}

void LoadDial::OnBitmapButtonBgColorClick(wxCommandEvent&) {
    dialogkit::pickSwatchColour(this, colourSwatch, background);
}

void LoadDial::OnButtonWhiteClick(wxCommandEvent&) { dialogkit::setSwatchColour(colourSwatch, background, *wxWHITE); }

void LoadDial::OnButtonBlackClick(wxCommandEvent&) { dialogkit::setSwatchColour(colourSwatch, background, *wxBLACK); }

void LoadDial::OnCheckBoxAutoBaseColorClick(wxCommandEvent&) {}

void LoadDial::OnCheckBoxPremultiplyClick(wxCommandEvent&) {}

void LoadDial::OnButtonBrowse1Click(wxCommandEvent&) {
    wxString folder = utf8(openpicture::browseStart(browsed, pathText->GetValue().utf8_string(),
                                                    startFolder.utf8_string()));
    // GTK cannot start in a file: it starts in the file's folder.
    if (!wxFileName::DirExists(folder))
        folder = wxFileName(folder).GetPath();
    wxString filter = fileFilter;
    while (filter.EndsWith("|"))
        filter.RemoveLast();
    wxFileDialog chooser(this, "Choose a file", folder, wxEmptyString, filter, wxFD_OPEN);
    const wxString path = prompts::openFile(chooser);
    if (path.empty())
        return;
    pathText->ChangeValue(path);
    browsed = true;
}

void LoadDial::OnButtonOkClick(wxCommandEvent&) {
    const wxString path = pathText->GetValue();
    // A folder is no picture; only a file counts.
    const openpicture::Plan plan =
        openpicture::planOpen(path.utf8_string(), wxFileName::FileExists(path), autoColourBox->GetValue(),
                              premultiplyBox->GetValue(), background.Red(), background.Green(), background.Blue());
    f_loadFile.set(path);
    if (plan.request) {
        log->log("load", plan.loadFile.c_str());
        handOver(plan);
        Hide();
        requests::request(kWorkLoad);
    } else {
        Hide();
    }
    f_showCursor.store(true);
}

void LoadDial::OnButtonCancleClick(wxCommandEvent&) {
    Hide();
    f_showCursor.store(true);
}
