#include "ExportDialog.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/font.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statline.h>
#include <wx/stattext.h>

#include "GuiPrompts.h"
#include "Log.h"
#include "Requests.h"
#include "WyrleGlobals.h"
#include "WyrleMain.h"

const long ExportDialog::ID_RADIOBUTTONPNG = wxNewId();
const long ExportDialog::ID_RADIOBUTTONTGA = wxNewId();
const long ExportDialog::ID_RADIOBUTTONTIF = wxNewId();
const long ExportDialog::ID_RADIOBUTTONBMP = wxNewId();
const long ExportDialog::ID_RADIOBUTTONJPG = wxNewId();
const long ExportDialog::ID_CHECKBOXSAVEALPHA = wxNewId();
const long ExportDialog::ID_CHECKBOXSAVEALPHASTRAIGHT = wxNewId();
const long ExportDialog::ID_STATICLINE2 = wxNewId();
const long ExportDialog::ID_STATICTEXT1 = wxNewId();
const long ExportDialog::wxID_CANCLE = wxNewId();

namespace {

using exportmodel::Format;

bool artworkHasAlpha() { return f_alphaBCG.load() == 1; }

// The export's globals; the request itself is raised last.
void handOver(const exportmodel::Plan& plan) {
    f_alphaBCGsave.store(plan.alphaSave);
    f_premultiAlpha.store(plan.straightAlpha);
    f_exportFile.set(wxString::FromUTF8(plan.exportFile.c_str()));
    f_export.store(true);
}

exportmodel::Answer answerOf(int reply) {
    if (reply == wxID_YES)
        return exportmodel::Answer::Yes;
    if (reply == wxID_NO)
        return exportmodel::Answer::No;
    return exportmodel::Answer::Other;
}

}  // namespace

ExportDialog::ExportDialog(wxWindow* parent, wxWindowID, const wxPoint&, const wxSize&)
    : wxDialog(parent, wxID_ANY, _("Export"), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxTAB_TRAVERSAL),
      log(new Log("ExportDialog.log", false)) {
    wxBoxSizer* main = new wxBoxSizer(wxVERTICAL);

    wxGridSizer* formats = new wxGridSizer(1, 5, 0, 0);
    RadioButtonPNG = new wxRadioButton(this, ID_RADIOBUTTONPNG, _("PNG"), wxDefaultPosition, wxDefaultSize,
                                       wxRB_GROUP);
    RadioButtonTGA = new wxRadioButton(this, ID_RADIOBUTTONTGA, _("TGA"));
    RadioButtonTIF = new wxRadioButton(this, ID_RADIOBUTTONTIF, _("TIF"));
    RadioButtonBMP = new wxRadioButton(this, ID_RADIOBUTTONBMP, _("BMP"));
    RadioButtonJPG = new wxRadioButton(this, ID_RADIOBUTTONJPG, _("JPG"));
    for (wxRadioButton* choice : {RadioButtonPNG, RadioButtonTGA, RadioButtonTIF, RadioButtonBMP, RadioButtonJPG})
        formats->Add(choice, 0, wxALL, 5);
    RadioButtonPNG->SetValue(true);
    main->Add(formats, 0, wxALL, 5);

    CheckBoxSaveAlpha = new wxCheckBox(this, ID_CHECKBOXSAVEALPHA, _("Transparent background (alpha)"));
    main->Add(CheckBoxSaveAlpha, 0, wxLEFT | wxRIGHT | wxTOP, 5);
    CheckBoxSaveAlphaStraight = new wxCheckBox(this, ID_CHECKBOXSAVEALPHASTRAIGHT,
                                               _("Straight alpha (unpremultiplied)"));
    main->Add(CheckBoxSaveAlphaStraight, 0, wxLEFT | wxTOP, 15);

    main->Add(new wxStaticLine(this, ID_STATICLINE2, wxDefaultPosition, wxSize(246, -1), wxLI_HORIZONTAL), 0,
              wxALL, 5);
    infoText = new wxStaticText(this, ID_STATICTEXT1,
                                _("Export is for exporting artwork to third party applications.\n- Straight alpha: "
                                  "Use for composing artwork with other\n pictures. Works best with black or white "
                                  "background color.\n"),
                                wxDefaultPosition, wxSize(250, 45));
    infoText->SetFont(wxFont(7, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false, "Arial"));
    main->Add(infoText, 0, wxLEFT | wxRIGHT, 5);

    wxBoxSizer* buttonRow = new wxBoxSizer(wxHORIZONTAL);
    okButton = new wxButton(this, wxID_OK, _("OK"), wxDefaultPosition, wxSize(70, 23));
    buttonRow->Add(okButton, 0, wxALL, 5);
    cancelButton = new wxButton(this, wxID_CANCLE, _("Cancel"), wxDefaultPosition, wxSize(70, 23));
    buttonRow->Add(cancelButton, 0, wxALL, 5);
    main->Add(buttonRow, 0, wxALL | wxALIGN_CENTER_HORIZONTAL, 5);

    SetSizer(main);
    main->Fit(this);
    main->SetSizeHints(this);
    // Where Windows puts a dialog of the default position.
    CentreOnScreen();

    Bind(wxEVT_RADIOBUTTON, &ExportDialog::OnRadioButtonPNGSelect, this, ID_RADIOBUTTONPNG);
    Bind(wxEVT_RADIOBUTTON, &ExportDialog::OnRadioButtonTGASelect, this, ID_RADIOBUTTONTGA);
    Bind(wxEVT_RADIOBUTTON, &ExportDialog::OnRadioButtonTIFSelect, this, ID_RADIOBUTTONTIF);
    Bind(wxEVT_RADIOBUTTON, &ExportDialog::OnRadioButtonBMPSelect, this, ID_RADIOBUTTONBMP);
    Bind(wxEVT_RADIOBUTTON, &ExportDialog::OnRadioButtonJPGSelect, this, ID_RADIOBUTTONJPG);
    Bind(wxEVT_CHECKBOX, &ExportDialog::OnCheckBoxSaveAlphaClick, this, ID_CHECKBOXSAVEALPHA);
    Bind(wxEVT_CHECKBOX, &ExportDialog::OnCheckBoxSaveAlphaStraightClick, this, ID_CHECKBOXSAVEALPHASTRAIGHT);
    Bind(wxEVT_BUTTON, &ExportDialog::OnButtonOkClick, this, wxID_OK);
    Bind(wxEVT_BUTTON, &ExportDialog::OnButtonCancleClick, this, wxID_CANCLE);
    Bind(wxEVT_INIT_DIALOG, &ExportDialog::OnInit, this);
    // Without a stock Cancel, GTK would turn Esc and the close box into OK
    // (the file selector); they only hide.
    SetEscapeId(wxID_NONE);

    showControls(exportmodel::onShow(controls(), artworkHasAlpha()));
}

ExportDialog::~ExportDialog() { delete log; }

bool ExportDialog::FileExists(const char* path) { return WyrleFrame::FileExists(path); }

exportmodel::Controls ExportDialog::controls() const {
    exportmodel::Controls c;
    c.format = RadioButtonJPG->GetValue()   ? Format::Jpg
               : RadioButtonTGA->GetValue() ? Format::Tga
               : RadioButtonTIF->GetValue() ? Format::Tif
               : RadioButtonBMP->GetValue() ? Format::Bmp
                                            : Format::Png;
    c.transparentChecked = CheckBoxSaveAlpha->GetValue();
    c.transparentEnabled = CheckBoxSaveAlpha->IsEnabled();
    c.straightChecked = CheckBoxSaveAlphaStraight->GetValue();
    c.straightEnabled = CheckBoxSaveAlphaStraight->IsEnabled();
    c.jpgEnabled = RadioButtonJPG->IsEnabled();
    return c;
}

void ExportDialog::showControls(const exportmodel::Controls& c) {
    CheckBoxSaveAlpha->SetValue(c.transparentChecked);
    CheckBoxSaveAlpha->Enable(c.transparentEnabled);
    CheckBoxSaveAlphaStraight->SetValue(c.straightChecked);
    CheckBoxSaveAlphaStraight->Enable(c.straightEnabled);
    RadioButtonJPG->Enable(c.jpgEnabled);
}

void ExportDialog::selectFormat(Format format) {
    showControls(exportmodel::onFormat(controls(), format, artworkHasAlpha()));
}

void ExportDialog::OnInit(wxInitDialogEvent&) {
    log->log("OnInit");
    showControls(exportmodel::onShow(controls(), artworkHasAlpha()));
}

void ExportDialog::OnRadioButtonPNGSelect(wxCommandEvent&) { selectFormat(Format::Png); }
void ExportDialog::OnRadioButtonTGASelect(wxCommandEvent&) { selectFormat(Format::Tga); }
void ExportDialog::OnRadioButtonTIFSelect(wxCommandEvent&) { selectFormat(Format::Tif); }
void ExportDialog::OnRadioButtonBMPSelect(wxCommandEvent&) { selectFormat(Format::Bmp); }
void ExportDialog::OnRadioButtonJPGSelect(wxCommandEvent&) {
    if (RadioButtonJPG->GetValue())
        selectFormat(Format::Jpg);
}

void ExportDialog::OnCheckBoxSaveAlphaClick(wxCommandEvent&) {
    showControls(exportmodel::onTransparentClick(controls(), CheckBoxSaveAlpha->GetValue()));
}

void ExportDialog::OnCheckBoxSaveAlphaStraightClick(wxCommandEvent&) {}

void ExportDialog::OnButtonOkClick(wxCommandEvent&) {
    const exportmodel::Controls c = controls();
    const std::string proposal = exportmodel::proposal(gSaveAs.load(), f_exportFile.get().utf8_string(),
                                                       f_loadFile.get().utf8_string(),
                                                       prompts::defaultFolder().utf8_string());
    const exportmodel::DefaultName start = exportmodel::defaultName(proposal);
    const wxString ext = exportmodel::extension(c.format);
    const wxString types = "*." + ext + "|*." + ext;
    const prompts::SaveAnswer answer =
        prompts::saveFile(this, wxString::Format(_("Save %s file"), wxString::FromUTF8(gTitle.c_str())),
                          wxString::FromUTF8(start.folder.c_str()), wxString::FromUTF8(start.name.c_str()), types);
    // GTK leaves a bare name bare; it gets the chosen format's extension.
    const wxString path = toolwindow::withTypeExtension(answer.path, types, answer.filterIndex);
    const std::string utf8Path = path.utf8_string();
    const bool exists = FileExists(utf8Path.c_str());
    exportmodel::Answer reply = exportmodel::Answer::None;
    if (exportmodel::asksOverwrite(utf8Path, exists))
        reply = answerOf(prompts::askOverwrite(this));
    const exportmodel::Plan plan = exportmodel::planExport(c, utf8Path, exists, reply);
    if (plan.unexpected) {
        prompts::message(_("Unexpected Dialog return code!"), _("info"), this);
        return;
    }
    if (plan.request) {
        log->log("export", plan.exportFile.c_str());
        handOver(plan);
        requests::request(kWorkSave);
    }
    Hide();
    f_showCursor.store(true);
}

void ExportDialog::OnButtonCancleClick(wxCommandEvent&) {
    Hide();
    f_showCursor.store(true);
}
