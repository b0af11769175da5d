#include "GradientDialog.h"

#include <wx/artprov.h>
#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dcmemory.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/font.h>
#include <wx/msgdlg.h>
#include <wx/scrolwin.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/statbmp.h>
#include <wx/statline.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <algorithm>
#include <mutex>

#include "DialogKit.h"
#include "GuiPrompts.h"
#include "LibraryFiles.h"
#include "LibraryPictures.h"
#include "Log.h"
#include "MetadataHandler.h"
#include "Requests.h"
#include "WyrleGlobals.h"
#include "ofMath.h"
#include "wxColorStack.h"

// Identifiers come from wxNewId() in this order during static initialisation.
const long GradientDialog::ID_STATICLINE2 = wxNewId();
const long GradientDialog::ID_STATICBITMAP1 = wxNewId();
const long GradientDialog::ID_BITMAPBUTTON1 = wxNewId();
const long GradientDialog::ID_BITMAPBUTTON2 = wxNewId();
const long GradientDialog::ID_BITMAPBUTTON3 = wxNewId();
const long GradientDialog::ID_BITMAPBUTTON4 = wxNewId();
const long GradientDialog::ID_BITMAPBUTTON5 = wxNewId();
const long GradientDialog::ID_BITMAPBUTTON6 = wxNewId();
const long GradientDialog::ID_BITMAPBUTTON7 = wxNewId();
const long GradientDialog::ID_BITMAPBUTTON8 = wxNewId();
const long GradientDialog::ID_BITMAPBUTTON9 = wxNewId();
const long GradientDialog::ID_CHECKBOX1 = wxNewId();
const long GradientDialog::ID_CHECKBOX2 = wxNewId();
const long GradientDialog::ID_CHECKBOX3 = wxNewId();
const long GradientDialog::ID_CHECKBOX4 = wxNewId();
const long GradientDialog::ID_CHECKBOX5 = wxNewId();
const long GradientDialog::ID_CHECKBOX6 = wxNewId();
const long GradientDialog::ID_CHECKBOX7 = wxNewId();
const long GradientDialog::ID_CHECKBOX8 = wxNewId();
const long GradientDialog::ID_CHECKBOX9 = wxNewId();
const long GradientDialog::ID_CHECKBOXUSETIME = wxNewId();
const long GradientDialog::ID_STATICTEXT1 = wxNewId();
const long GradientDialog::ID_STATICTEXTTIMEVALUE = wxNewId();
const long GradientDialog::ID_SLIDERTIME = wxNewId();
const long GradientDialog::ID_BITMAPBUTTONLIST_DEFAULT = wxNewId();
const long GradientDialog::ID_BUTTONLIST_DEFAULT = wxNewId();
const long GradientDialog::ID_STATICTEXTLIST_Default = wxNewId();
const long GradientDialog::ID_STATICLINEDEFAULT = wxNewId();
const long GradientDialog::ID_STATICLINE3 = wxNewId();
const long GradientDialog::ID_SCROLLEDWINDOW = wxNewId();
const long GradientDialog::ID_BUTTONSAVEGRADIENT = wxNewId();
const long GradientDialog::ID_TEXTCTRLNEWGRADIENT = wxNewId();
const long GradientDialog::ID_BUTTONOKNEWGRADIENT = wxNewId();
const long GradientDialog::ID_BUTTONAPPLY = wxNewId();
const long GradientDialog::ID_BUTTON1 = wxNewId();

namespace {

const long kTabClip = wxTAB_TRAVERSAL | wxCLIP_CHILDREN;
const wxColour kLabelText(240, 240, 240);
const wxColour kButtonFace(240, 240, 240);

gradient::Rgb toRgb(const wxColour& c) { return gradient::Rgb{c.Red(), c.Green(), c.Blue()}; }
wxColour toColour(const gradient::Rgb& c) { return wxColour(c.r, c.g, c.b, 255); }

}  // namespace

GradientDialog::GradientDialog(wxWindow* parent, wxWindowID, const wxPoint&, const wxSize&)
    : checkBoxUseTimeState_old(false),
      sliderTimeValue_old(0),
      colorButton(nullptr),
      frameGradientShown(nullptr),
      log(nullptr),
      newGradientOpen(false),
      gradients([] { return static_cast<int>(wxNewId()); }) {
    const long stopIds[kStops] = {ID_BITMAPBUTTON1, ID_BITMAPBUTTON2, ID_BITMAPBUTTON3,
                                  ID_BITMAPBUTTON4, ID_BITMAPBUTTON5, ID_BITMAPBUTTON6,
                                  ID_BITMAPBUTTON7, ID_BITMAPBUTTON8, ID_BITMAPBUTTON9};
    const long boxIds[kStops] = {ID_CHECKBOX1, ID_CHECKBOX2, ID_CHECKBOX3, ID_CHECKBOX4, ID_CHECKBOX5,
                                 ID_CHECKBOX6, ID_CHECKBOX7, ID_CHECKBOX8, ID_CHECKBOX9};

    Create(parent, wxID_ANY, _("Gradient Tool"), wxDefaultPosition, wxDefaultSize,
           wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxMINIMIZE_BOX | wxSTAY_ON_TOP | wxTAB_TRAVERSAL | wxCLIP_CHILDREN,
           "wxID_ANY");
    SetClientSize(wxSize(660, 400));
    Move(wxPoint(300, 35));
    SetMinSize(wxSize(-1, -1));
    SetFocus();
    SetBackgroundColour(wxColour(104, 100, 96));
    SetHelpText(_("Gradient Tool"));
    // The hidden Cancel would otherwise make Esc hand the gradient over through OK.
    SetEscapeId(wxID_NONE);

    // Alignment flags that have no effect in their sizer's direction are
    // left out: wx 3.2 asserts on them.
    wxBoxSizer* outer = new wxBoxSizer(wxVERTICAL);
    StaticLine2 = new wxStaticLine(this, ID_STATICLINE2, wxDefaultPosition, wxSize(0, 25), wxLI_HORIZONTAL,
                                   "ID_STATICLINE2");
    outer->Add(StaticLine2, 0, wxALIGN_CENTER, 0);
    preview = new wxStaticBitmap(this, ID_STATICBITMAP1, wxNullBitmap, wxDefaultPosition, wxSize(273, 30),
                                 wxBORDER_STATIC | kTabClip, "ID_STATICBITMAP1");
    outer->Add(preview, 0, wxBOTTOM | wxALIGN_CENTER, 6);

    // A swatch shows 20 x 20 and 25 x 25 pictures; it is sized once for the
    // larger with GTK's frame round it, so that neither covers the frame and
    // no picture moves the row.
    wxBoxSizer* swatchRow = new wxBoxSizer(wxHORIZONTAL);
    wxSize swatchSize(25, 25);
    for (int i = 0; i < kStops; ++i) {
        swatches[i] = new dialogkit::CompactButton<wxBitmapButton>(
            this, stopIds[i], GetOneColorBitmap(25, 25, *wxBLACK), wxDefaultPosition, wxSize(25, 25),
            wxBORDER_DOUBLE | kTabClip, wxDefaultValidator, wxString::Format("ID_BITMAPBUTTON%d", i + 1));
        swatchSize = dialogkit::fitPicture(swatches[i], wxSize(25, 25), wxSize(25, 25));
        swatches[i]->SetDefault();
        swatchRow->Add(swatches[i], 0, wxLEFT | wxRIGHT | wxALIGN_CENTER, 3);
    }
    outer->Add(swatchRow, 0, wxLEFT | wxRIGHT | wxALIGN_CENTER_HORIZONTAL, 15);

    // Each box stands centred under its swatch: on Windows the borders of 9
    // round a 13-pixel box make a column as wide as a swatch with its
    // borders; GTK's box is wider, so the column is kept and the box centred
    // in it, the row placed as the swatch row is.
    wxBoxSizer* stopRow = new wxBoxSizer(wxHORIZONTAL);
    const int column = swatchSize.x + 2 * 3;
    for (int i = 0; i < kStops; ++i) {
        checkBoxes[i] = new wxCheckBox(this, boxIds[i], wxEmptyString, wxDefaultPosition, wxDefaultSize, kTabClip,
                                       wxDefaultValidator, wxString::Format("ID_CHECKBOX%d", i + 1));
        checkBoxes[i]->SetValue(false);
        const int box = checkBoxes[i]->GetBestSize().x;
        const int left = std::max(0, (column - box) / 2);
        stopRow->AddSpacer(left);
        stopRow->Add(checkBoxes[i], 0, wxALIGN_CENTER_VERTICAL, 0);
        stopRow->AddSpacer(std::max(0, column - box - left));
    }
    outer->Add(stopRow, 0, wxLEFT | wxRIGHT | wxBOTTOM | wxALIGN_CENTER_HORIZONTAL, 15);

    wxBoxSizer* timing = new wxBoxSizer(wxVERTICAL);
    CheckBoxUseTime = new wxCheckBox(this, ID_CHECKBOXUSETIME, _("Use gradient timing"), wxDefaultPosition,
                                     wxDefaultSize, kTabClip, wxDefaultValidator, "ID_CHECKBOXUSETIME");
    CheckBoxUseTime->SetValue(true);
    CheckBoxUseTime->SetForegroundColour(kLabelText);
    timing->Add(CheckBoxUseTime, 0, wxLEFT | wxRIGHT | wxBOTTOM | wxALIGN_CENTER, 10);
    wxBoxSizer* valueRow = new wxBoxSizer(wxHORIZONTAL);
    StaticText1 = new wxStaticText(this, ID_STATICTEXT1, _("Value"), wxDefaultPosition, wxDefaultSize, kTabClip,
                                   "ID_STATICTEXT1");
    StaticText1->SetForegroundColour(kLabelText);
    valueRow->Add(StaticText1, 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, 25);
    StaticTextTimeValue = new wxStaticText(this, ID_STATICTEXTTIMEVALUE, _("3"), wxDefaultPosition, wxDefaultSize,
                                           kTabClip, "ID_STATICTEXTTIMEVALUE");
    StaticTextTimeValue->SetForegroundColour(kLabelText);
    valueRow->Add(StaticTextTimeValue, 0, wxLEFT | wxALIGN_CENTER_VERTICAL, 50);
    timing->Add(valueRow, 0, wxLEFT, 10);
    // GTK needs more than 21 pixels for a slider with marks on both sides:
    // at that height the thumb and the groove vanish.
    SliderTime = new wxSlider(this, ID_SLIDERTIME, 3, 1, 10, wxDefaultPosition, wxSize(125, -1),
                              wxSL_HORIZONTAL | wxSL_BOTH | kTabClip, wxDefaultValidator, "ID_SLIDERTIME");
    SliderTime->SetTick(1);
    timing->Add(SliderTime, 0, wxLEFT | wxRIGHT | wxBOTTOM, 5);
    outer->Add(timing, 0, wxLEFT | wxRIGHT | wxALIGN_CENTER, 25);

    ScrolledWindow = new LibraryRowsWindow(this, ID_SCROLLEDWINDOW, wxDefaultPosition, wxSize(400, 300),
                                           wxVSCROLL | wxBORDER_STATIC, "ID_SCROLLEDWINDOW");
    ScrolledWindow->SetMinSize(wxSize(400, 300));
    ScrolledWindow->SetBackgroundColour(wxColour(84, 80, 76));
    // GTK's padding would cut the rows' pictures and leave no room for "X".
    dialogkit::compactButtonsIn(ScrolledWindow);
    wxBoxSizer* panel = new wxBoxSizer(wxHORIZONTAL);
    wxBoxSizer* list = new wxBoxSizer(wxVERTICAL);
    wxBoxSizer* defaultRow = new wxBoxSizer(wxHORIZONTAL);
    BitmapButtonList_default = new dialogkit::CompactButton<wxBitmapButton>(
        ScrolledWindow, ID_BITMAPBUTTONLIST_DEFAULT, wxArtProvider::GetBitmap(wxART_CDROM, wxART_BUTTON),
        wxDefaultPosition, wxSize(160, 22), wxBU_AUTODRAW | kTabClip, wxDefaultValidator,
        "ID_BITMAPBUTTONLIST_DEFAULT");
    BitmapButtonList_default->SetDefault();
    defaultRow->Add(BitmapButtonList_default, 0, wxALIGN_CENTER_VERTICAL, 0);
    wxBoxSizer* defaultLabels = new wxBoxSizer(wxVERTICAL);
    ButtonList_Default = new wxButton(ScrolledWindow, ID_BUTTONLIST_DEFAULT, _("X"), wxDefaultPosition,
                                      wxSize(11, 11), kTabClip, wxDefaultValidator, "ID_BUTTONLIST_DEFAULT");
    ButtonList_Default->Disable();
    ButtonList_Default->Hide();
    ButtonList_Default->SetBackgroundColour(kButtonFace);
    ButtonList_Default->SetFont(wxFont(5, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false, "Arial"));
    defaultLabels->Add(ButtonList_Default, 0, wxLEFT, 75);
    StaticTextList_Default = new wxStaticText(ScrolledWindow, ID_STATICTEXTLIST_Default, _("Default Gradient"),
                                              wxDefaultPosition, wxSize(80, -1), kTabClip,
                                              "ID_STATICTEXTLIST_Default");
    StaticTextList_Default->SetForegroundColour(kLabelText);
    StaticTextList_Default->SetFont(wxFont(7, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL));
    defaultLabels->Add(StaticTextList_Default, 0, wxTOP, 10);
    defaultRow->Add(defaultLabels, 0, wxLEFT, 6);
    list->Add(defaultRow, 0, wxALL, 5);
    StaticLineDefault = new wxStaticLine(ScrolledWindow, ID_STATICLINEDEFAULT, wxDefaultPosition, wxSize(255, 1),
                                         wxLI_HORIZONTAL | kTabClip, "ID_STATICLINEDEFAULT");
    list->Add(StaticLineDefault, 0, wxRIGHT, 17);
    BoxSizerList = new wxBoxSizer(wxVERTICAL);
    list->Add(BoxSizerList, 0, 0, 0);
    panel->Add(list, 0, 0, 0);
    StaticLine3 = new wxStaticLine(ScrolledWindow, ID_STATICLINE3, wxDefaultPosition, wxSize(0, 210),
                                   wxLI_HORIZONTAL, "ID_STATICLINE3");
    panel->Add(StaticLine3, 0, wxALIGN_CENTER, 0);
    ScrolledWindow->SetSizer(panel);
    panel->Fit(ScrolledWindow);
    panel->SetSizeHints(ScrolledWindow);
    outer->Add(ScrolledWindow, 0, wxTOP | wxBOTTOM | wxALIGN_CENTER_HORIZONTAL, 5);

    wxBoxSizer* newRow = new wxBoxSizer(wxHORIZONTAL);
    ButtonSaveGradient = new wxButton(this, ID_BUTTONSAVEGRADIENT, _("New"), wxDefaultPosition, wxSize(43, 23), 0,
                                      wxDefaultValidator, "ID_BUTTONSAVEGRADIENT");
    ButtonSaveGradient->SetBackgroundColour(kButtonFace);
    newRow->Add(ButtonSaveGradient, 0, wxRIGHT | wxALIGN_CENTER, 5);
    TextCtrlNewGradient = new wxTextCtrl(this, ID_TEXTCTRLNEWGRADIENT, _("GradientName"), wxDefaultPosition,
                                         wxSize(140, 21), 0, wxDefaultValidator, "ID_TEXTCTRLNEWGRADIENT");
    TextCtrlNewGradient->Disable();
    newRow->Add(TextCtrlNewGradient, 0, wxTOP | wxALIGN_CENTER, 1);
    ButtonOkNewGradient = new dialogkit::CompactButton<wxButton>(this, ID_BUTTONOKNEWGRADIENT, _("OK"), wxDefaultPosition, wxSize(26, 23), 0,
                                       wxDefaultValidator, "ID_BUTTONOKNEWGRADIENT");
    ButtonOkNewGradient->Disable();
    ButtonOkNewGradient->SetBackgroundColour(kButtonFace);
    newRow->Add(ButtonOkNewGradient, 0, wxLEFT | wxALIGN_CENTER, 2);
    outer->Add(newRow, 0, wxALL | wxALIGN_CENTER, 5);

    wxBoxSizer* buttonRow = new wxBoxSizer(wxHORIZONTAL);
    Button_ok = new wxButton(this, wxID_OK, _("OK"), wxDefaultPosition, wxSize(70, 23), wxTAB_TRAVERSAL,
                             wxDefaultValidator, "wxID_OK");
    Button_ok->SetBackgroundColour(kButtonFace);
    buttonRow->Add(Button_ok, 0, wxLEFT | wxBOTTOM | wxALIGN_CENTER, 10);
    applyButton = new wxButton(this, ID_BUTTONAPPLY, _("Apply"), wxDefaultPosition, wxSize(70, 23), 0,
                               wxDefaultValidator, "ID_BUTTONAPPLY");
    applyButton->SetBackgroundColour(kButtonFace);
    buttonRow->Add(applyButton, 0, wxLEFT | wxRIGHT | wxBOTTOM | wxALIGN_CENTER, 10);
    Button_cancle = new wxButton(this, wxID_CANCEL, _("Cancel"), wxDefaultPosition, wxSize(20, 23),
                                 wxTAB_TRAVERSAL, wxDefaultValidator, "wxID_CANCEL");
    Button_cancle->Hide();
    buttonRow->Add(Button_cancle, 0, wxTOP | wxRIGHT | wxBOTTOM | wxALIGN_CENTER, 10);
    Button1 = new wxButton(this, ID_BUTTON1, _("Test"), wxDefaultPosition, wxSize(20, 23), 0, wxDefaultValidator,
                           "ID_BUTTON1");
    Button1->Hide();
    buttonRow->Add(Button1, 0, wxALIGN_CENTER, 0);
    outer->Add(buttonRow, 0, wxTOP | wxALIGN_CENTER, 15);

    SetSizer(outer);
    outer->Fit(this);
    outer->SetSizeHints(this);

    Connect(ID_BITMAPBUTTON1, wxEVT_COMMAND_BUTTON_CLICKED, wxCommandEventHandler(GradientDialog::OnBitmapButton1Click));
    Connect(ID_BITMAPBUTTON2, wxEVT_COMMAND_BUTTON_CLICKED, wxCommandEventHandler(GradientDialog::OnBitmapButton2Click));
    Connect(ID_BITMAPBUTTON3, wxEVT_COMMAND_BUTTON_CLICKED, wxCommandEventHandler(GradientDialog::OnBitmapButton3Click));
    Connect(ID_BITMAPBUTTON4, wxEVT_COMMAND_BUTTON_CLICKED, wxCommandEventHandler(GradientDialog::OnBitmapButton4Click));
    Connect(ID_BITMAPBUTTON5, wxEVT_COMMAND_BUTTON_CLICKED, wxCommandEventHandler(GradientDialog::OnBitmapButton5Click));
    Connect(ID_BITMAPBUTTON6, wxEVT_COMMAND_BUTTON_CLICKED, wxCommandEventHandler(GradientDialog::OnBitmapButton6Click));
    Connect(ID_BITMAPBUTTON7, wxEVT_COMMAND_BUTTON_CLICKED, wxCommandEventHandler(GradientDialog::OnBitmapButton7Click));
    Connect(ID_BITMAPBUTTON8, wxEVT_COMMAND_BUTTON_CLICKED, wxCommandEventHandler(GradientDialog::OnBitmapButton8Click));
    Connect(ID_BITMAPBUTTON9, wxEVT_COMMAND_BUTTON_CLICKED, wxCommandEventHandler(GradientDialog::OnBitmapButton9Click));
    Connect(ID_CHECKBOX1, wxEVT_COMMAND_CHECKBOX_CLICKED, wxCommandEventHandler(GradientDialog::OnCheckBox1Click));
    Connect(ID_CHECKBOX2, wxEVT_COMMAND_CHECKBOX_CLICKED, wxCommandEventHandler(GradientDialog::OnCheckBox2Click));
    Connect(ID_CHECKBOX3, wxEVT_COMMAND_CHECKBOX_CLICKED, wxCommandEventHandler(GradientDialog::OnCheckBox3Click));
    Connect(ID_CHECKBOX4, wxEVT_COMMAND_CHECKBOX_CLICKED, wxCommandEventHandler(GradientDialog::OnCheckBox4Click));
    Connect(ID_CHECKBOX5, wxEVT_COMMAND_CHECKBOX_CLICKED, wxCommandEventHandler(GradientDialog::OnCheckBox5Click));
    Connect(ID_CHECKBOX6, wxEVT_COMMAND_CHECKBOX_CLICKED, wxCommandEventHandler(GradientDialog::OnCheckBox6Click));
    Connect(ID_CHECKBOX7, wxEVT_COMMAND_CHECKBOX_CLICKED, wxCommandEventHandler(GradientDialog::OnCheckBox7Click));
    Connect(ID_CHECKBOX8, wxEVT_COMMAND_CHECKBOX_CLICKED, wxCommandEventHandler(GradientDialog::OnCheckBox8Click));
    Connect(ID_CHECKBOX9, wxEVT_COMMAND_CHECKBOX_CLICKED, wxCommandEventHandler(GradientDialog::OnCheckBox9Click));
    Connect(ID_CHECKBOXUSETIME, wxEVT_COMMAND_CHECKBOX_CLICKED,
            wxCommandEventHandler(GradientDialog::OnCheckBoxUseTimeClick));
    Connect(ID_SLIDERTIME, wxEVT_SCROLL_THUMBTRACK, wxScrollEventHandler(GradientDialog::OnSliderTimeCmdScrollThumbTrack));
    Connect(ID_SLIDERTIME, wxEVT_SCROLL_CHANGED, wxScrollEventHandler(GradientDialog::OnSliderTimeCmdScrollChanged));
    Connect(ID_BITMAPBUTTONLIST_DEFAULT, wxEVT_COMMAND_BUTTON_CLICKED,
            wxCommandEventHandler(GradientDialog::OnBitmapButtonList_defaultClick));
    // The list panel's own key presses come here too.
    ScrolledWindow->Connect(ID_SCROLLEDWINDOW, wxEVT_KEY_DOWN, wxKeyEventHandler(GradientDialog::OnKeyDown), nullptr,
                            this);
    Connect(ID_BUTTONSAVEGRADIENT, wxEVT_COMMAND_BUTTON_CLICKED,
            wxCommandEventHandler(GradientDialog::OnButtonSaveGradientClick));
    Connect(ID_BUTTONOKNEWGRADIENT, wxEVT_COMMAND_BUTTON_CLICKED,
            wxCommandEventHandler(GradientDialog::OnButtonOkNewGradient));
    Connect(wxID_OK, wxEVT_COMMAND_BUTTON_CLICKED, wxCommandEventHandler(GradientDialog::OnButton_okClick));
    Connect(ID_BUTTONAPPLY, wxEVT_COMMAND_BUTTON_CLICKED, wxCommandEventHandler(GradientDialog::OnButtonApplyClick));
    Connect(wxID_CANCEL, wxEVT_COMMAND_BUTTON_CLICKED, wxCommandEventHandler(GradientDialog::OnButton_cancleClick));
    Connect(ID_BUTTON1, wxEVT_COMMAND_BUTTON_CLICKED, wxCommandEventHandler(GradientDialog::OnButton1Click));
    Connect(wxID_ANY, wxEVT_INIT_DIALOG, wxInitDialogEventHandler(GradientDialog::OnInit));
    Connect(wxID_ANY, wxEVT_CLOSE_WINDOW, wxCloseEventHandler(GradientDialog::OnClose));
    Connect(wxID_ANY, wxEVT_KEY_DOWN, wxKeyEventHandler(GradientDialog::OnKeyDown));
    Connect(wxID_ANY, wxEVT_CHAR, wxKeyEventHandler(GradientDialog::OnKeyDown));

    metadataVersion = "150";
    log = new Log("GradientDialog.log", false);
    ScrolledWindow->setRows(&gradients, BoxSizerList,
                            {[this](wxWindow* list) { return makeRow(list); },
                             [this](LibraryRow& row, int index) { fillRow(row, index); }});

    const gradient::Stops start = gradient::defaultStops();
    for (int i = 0; i < kStops; ++i) {
        gradientArray[i] = toColour(start.colour[i]);
        checkBoxStateArray[i] = start.on[i];
        checkBoxes[i]->SetValue(start.on[i]);
    }
    for (int i = 0; i < kStops; ++i)
        swatches[i]->SetBitmapLabel(GetOneColorBitmap(20, 20, gradientArray[i]));
    redrawPreview();
    BitmapButtonList_default->SetBitmapLabel(GradientBitmap(160, 22));
    dialogkit::fitContent(BitmapButtonList_default);  // the whole picture, as in the rows below
    BitmapButtonList_default->Refresh();

    LoadGradients();
    ScrolledWindow->FitInside();
    ScrolledWindow->SetScrollRate(0, 5);
    newGradientOpen = false;
}

GradientDialog::~GradientDialog() { delete log; }

// --- pictures -------------------------------------------------------------

wxBitmap GradientDialog::GetOneColorBitmap(int w, int h, const wxColour& colour) {
    // Opaque whatever the colour's alpha: a clear with alpha 0 would paint black.
    return dialogkit::solidBitmap(w, h, wxColour(colour.Red(), colour.Green(), colour.Blue()));
}

wxBitmap GradientDialog::GradientBitmap(int w, int h) const {
    wxColorStack stack(11);
    int index[kStops];
    for (int i = 0; i < kStops; ++i) {
        if (!checkBoxStateArray[i])
            continue;
        index[stack.counter] = i;
        stack.push(gradientArray[i]);
    }
    gradient::Rgb colour[kStops];
    for (int k = 0; k < stack.counter; ++k)
        colour[k] = toRgb(stack.items[k]);

    wxBitmap picture(w, h);
    wxMemoryDC dc;
    dc.SelectObject(picture);
    for (const gradient::Fill& fill : gradient::fillPlan(index, colour, stack.counter, w))
        dc.GradientFillLinear(wxRect(fill.x, 0, fill.width, h), toColour(fill.from), toColour(fill.to), wxRIGHT);
    dc.SelectObject(wxNullBitmap);
    return picture;
}

void GradientDialog::redrawPreview() {
    preview->SetBitmap(GradientBitmap(273, 30));
    preview->Refresh();
}

void GradientDialog::repaintColorButton() {
    if (!colorButton)
        return;
    colorButton->SetBitmapLabel(GradientBitmap(49, 50));
    colorButton->Refresh();
}

// --- stops ----------------------------------------------------------------

gradient::Stops GradientDialog::stops() const {
    gradient::Stops s;
    for (int i = 0; i < kStops; ++i) {
        s.colour[i] = toRgb(gradientArray[i]);
        s.on[i] = checkBoxStateArray[i];
    }
    return s;
}

void GradientDialog::SetBitmapButtonColor(wxBitmapButton* button) { colorButton = button; }

bool GradientDialog::SetBitmapButtonColor(wxBitmapButton* button, int index) {
    wxColourData data;
    prompts::prepareColourData(data, gradientArray[index]);
    if (!prompts::chooseColour(this, data))
        return false;
    const wxColour picked = data.GetColour();
    gradientArray[index] = wxColour(picked.Red(), picked.Green(), picked.Blue(), 255);
    checkBoxStateArray[index] = true;
    button->SetBitmapLabel(GetOneColorBitmap(20, 20, gradientArray[index]));
    return true;
}

bool GradientDialog::isLastCheckBox() const { return gradient::isLastStop(checkBoxStateArray); }

void GradientDialog::editStopColour(int stop) {
    log->log("stop colour", stop);
    if (SetBitmapButtonColor(swatches[stop], stop))
        checkBoxes[stop]->SetValue(true);
    redrawPreview();
}

void GradientDialog::switchStop(int stop, wxCommandEvent& event) {
    log->log("stop switch", stop);
    if (event.IsChecked()) {
        checkBoxStateArray[stop] = true;
    } else {
        if (isLastCheckBox()) {
            checkBoxes[stop]->SetValue(true);
            return;
        }
        checkBoxStateArray[stop] = false;
    }
    redrawPreview();
}

void GradientDialog::OnBitmapButton1Click(wxCommandEvent&) { editStopColour(0); }
void GradientDialog::OnBitmapButton2Click(wxCommandEvent&) { editStopColour(1); }
void GradientDialog::OnBitmapButton3Click(wxCommandEvent&) { editStopColour(2); }
void GradientDialog::OnBitmapButton4Click(wxCommandEvent&) { editStopColour(3); }
void GradientDialog::OnBitmapButton5Click(wxCommandEvent&) { editStopColour(4); }
void GradientDialog::OnBitmapButton6Click(wxCommandEvent&) { editStopColour(5); }
void GradientDialog::OnBitmapButton7Click(wxCommandEvent&) { editStopColour(6); }
void GradientDialog::OnBitmapButton8Click(wxCommandEvent&) { editStopColour(7); }
void GradientDialog::OnBitmapButton9Click(wxCommandEvent&) { editStopColour(8); }
void GradientDialog::OnCheckBox1Click(wxCommandEvent& event) { switchStop(0, event); }
void GradientDialog::OnCheckBox2Click(wxCommandEvent& event) { switchStop(1, event); }
void GradientDialog::OnCheckBox3Click(wxCommandEvent& event) { switchStop(2, event); }
void GradientDialog::OnCheckBox4Click(wxCommandEvent& event) { switchStop(3, event); }
void GradientDialog::OnCheckBox5Click(wxCommandEvent& event) { switchStop(4, event); }
void GradientDialog::OnCheckBox6Click(wxCommandEvent& event) { switchStop(5, event); }
void GradientDialog::OnCheckBox7Click(wxCommandEvent& event) { switchStop(6, event); }
void GradientDialog::OnCheckBox8Click(wxCommandEvent& event) { switchStop(7, event); }
void GradientDialog::OnCheckBox9Click(wxCommandEvent& event) { switchStop(8, event); }

void GradientDialog::OnCheckBoxUseTimeClick(wxCommandEvent&) {}

// --- timing ---------------------------------------------------------------

void GradientDialog::onSliderTime(wxScrollEvent& event) {
    const int p = event.GetPosition();
    f_perpixelzTimeVal.store(ofMap(p, 1, 10, 1, 10, false));
    StaticTextTimeValue->SetLabel(wxString::Format("%i", p));
}

void GradientDialog::OnSliderTimeCmdScrollThumbTrack(wxScrollEvent& event) { onSliderTime(event); }
void GradientDialog::OnSliderTimeCmdScrollChanged(wxScrollEvent& event) { onSliderTime(event); }

// --- snapshot and hand-over -----------------------------------------------

void GradientDialog::takeStopSnapshot() {
    for (int i = 0; i < kStops; ++i) {
        checkBoxStateArray_old[i] = checkBoxStateArray[i];
        gradientArray_old[i] = gradientArray[i];
    }
}

void GradientDialog::OnInit(wxInitDialogEvent&) {
    log->log("OnInit");
    takeStopSnapshot();
    checkBoxUseTimeState_old = CheckBoxUseTime->GetValue();
    sliderTimeValue_old = SliderTime->GetValue();
    staticTextTimeValue_old = StaticTextTimeValue->GetLabel();
}

void GradientDialog::PreClose() {
    for (int i = 0; i < kStops; ++i) {
        checkBoxStateArray[i] = checkBoxStateArray_old[i];
        gradientArray[i] = gradientArray_old[i];
    }
    for (int i = 0; i < kStops; ++i)
        checkBoxes[i]->SetValue(checkBoxStateArray_old[i]);
    for (int i = 0; i < kStops; ++i)
        swatches[i]->SetBitmapLabel(GetOneColorBitmap(25, 25, gradientArray[i]));
    redrawPreview();
    CheckBoxUseTime->SetValue(checkBoxUseTimeState_old);
    SliderTime->SetValue(sliderTimeValue_old);
    StaticTextTimeValue->SetLabel(staticTextTimeValue_old);
    // A timing value that was never applied must not reach the brush, a
    // preset or a gradient file either.
    f_perpixelzTimeVal.store(ofMap(sliderTimeValue_old, 1, 10, 1, 10, false));
}

void GradientDialog::PostPalette() {
    {
        std::lock_guard<std::mutex> lock(gPaletteMutex);
        gradient::writePalette(stops(), paletteRadd, paletteGadd, paletteBadd, paletteSet, kPaletteSize);
    }
    requests::raise(f_setPalette);
}

namespace {

void handOverTiming(const gradient::Timing& timing) {
    if (timing.writesMode)
        f_perpixelzMode.store(timing.mode);
    f_perpixelzTime.store(timing.time);
}

}  // namespace

void GradientDialog::OnButtonApplyClick(wxCommandEvent&) {
    repaintColorButton();
    PostPalette();
    handOverTiming(gradient::applyTiming(CheckBoxUseTime->GetValue(), f_perpixelzTimeVal.load()));
    for (int i = 0; i < kStops; ++i) {
        gradientArray_old[i] = gradientArray[i];
        checkBoxStateArray_old[i] = checkBoxes[i]->GetValue();
    }
    f_showCursor.store(true);
}

void GradientDialog::OnButton_okClick(wxCommandEvent&) {
    repaintColorButton();
    Show(false);
    PostPalette();
    handOverTiming(gradient::okTiming(CheckBoxUseTime->GetValue(), f_perpixelzTimeVal.load()));
    if (frameGradientShown)
        *frameGradientShown = false;
    f_showCursor.store(true);
}

void GradientDialog::OnButton_cancleClick(wxCommandEvent&) { dialogkit::finish(this); }

void GradientDialog::OnClose(wxCloseEvent&) {
    PreClose();
    if (frameGradientShown)
        *frameGradientShown = false;
    Show(false);
}

void GradientDialog::OnKeyDown(wxKeyEvent&) { prompts::message(_("OnKeyDown"), wxMessageBoxCaptionStr); }

// --- gradient library -----------------------------------------------------

std::string GradientDialog::intToString(int value) { return gradientfile::intToString(value); }

std::vector<std::string> GradientDialog::explode(const std::string& text, const std::string& delim) {
    return gradientfile::explode(text, delim);
}

bool GradientDialog::decodeBool(const std::string& text) { return gradientfile::decodeBool(text); }

bool GradientDialog::isFileNameValid(const wxString& name) { return dialogkit::isFileNameValid(name); }

bool GradientDialog::FileExists(const char* path) {
    return wxFileName::Exists(wxString::FromUTF8(path), wxFILE_EXISTS_ANY);
}

wxString GradientDialog::gradientPath(int row) const {
    return dialogkit::workPath({"Gradients", wxString::FromUTF8(gradients[row].name)});
}

wxBitmapButton* GradientDialog::rowButton(int row) const { return ScrolledWindow->pictureOf(row); }

wxButton* GradientDialog::rowXButton(int row) const { return ScrolledWindow->removeOf(row); }

namespace {

const wxSize kRowPicture(160, 22);

// A file that is no gradient picture shows an empty row.
wxBitmap readRowPicture(const wxString& path) {
    wxImage image;
    return librarypictures::load(path, image) ? wxBitmap(image) : wxBitmap();
}

}  // namespace

LibraryRow GradientDialog::makeRow(wxWindow* list) {
    // The picture, and "X" above the name to its right, a thin line below.
    LibraryRow row;
    row.picture = new dialogkit::CompactButton<wxBitmapButton>(
        list, wxID_ANY, dialogkit::solidBitmap(kRowPicture.x, kRowPicture.y, list->GetBackgroundColour()),
        wxDefaultPosition, kRowPicture, wxBORDER_STATIC | wxBU_AUTODRAW, wxDefaultValidator, "ID_BITMAPBUTTONLIST");
    dialogkit::fitContent(row.picture);
    // Exact fit: GTK would otherwise make it as wide as a dialog button.
    row.remove = new dialogkit::CompactButton<wxButton>(list, wxID_ANY, _("X"), wxDefaultPosition, wxSize(11, 11),
                                                        wxBU_EXACTFIT, wxDefaultValidator, "ID_BUTTONLIST_DEFAULT");
    row.remove->SetBackgroundColour(kButtonFace);
    row.remove->SetFont(wxFont(5, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL));
    dialogkit::fitContent(row.remove);
    row.name = new wxStaticText(list, ID_STATICTEXTLIST_Default, wxEmptyString, wxDefaultPosition, wxSize(81, -1), 0,
                                "ID_STATICTEXTLIST_");
    row.name->SetForegroundColour(kLabelText);
    row.name->SetFont(wxFont(7, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL));
    row.line = new wxStaticLine(list, ID_STATICLINEDEFAULT, wxDefaultPosition, wxSize(255, 1), wxLI_HORIZONTAL,
                                "ID_STATICLINEDEFAULT");

    row.layout = layRow(row, RowLayout{5, 2, wxALIGN_RIGHT | wxRIGHT, 0, 2});

    row.picture->Bind(wxEVT_BUTTON, &GradientDialog::OnBitmapButtonListClick, this);
    row.remove->Bind(wxEVT_BUTTON, &GradientDialog::OnXButtonListClick, this);
    return row;
}

void GradientDialog::fillRow(LibraryRow& row, int index) {
    const wxString path = gradientPath(index);
    row.picture->SetBitmapLabel(readRowPicture(path));
    row.name->SetLabel(wxFileName(path).GetName());
}

wxBitmap GradientDialog::rowPicture(int row) const {
    if (wxBitmapButton* shown = rowButton(row))
        return shown->GetBitmapLabel();
    return readRowPicture(gradientPath(row));
}

bool GradientDialog::LoadGradients() {
    std::vector<std::string> names;
    if (!dialogkit::listLibrary(dialogkit::workPath({"Gradients"}), names)) {
        prompts::message(_("Directory can not be opened."), _("Error 01"));
        return false;
    }
    for (const std::string& name : names)
        log->log("gradient", name.c_str());
    gradients.assign(std::move(names));
    ScrolledWindow->update();
    return true;
}

void GradientDialog::showGradientFile(const std::string& fileName, bool written) {
    if (!ScrolledWindow->followFile(dialogkit::workPath({"Gradients"}).utf8_string(), fileName, written))
        prompts::message(_("Directory can not be opened."), _("Error 01"));  // as a listing says
}

void GradientDialog::OnButtonSaveGradientClick(wxCommandEvent&) {
    newGradientOpen = !newGradientOpen;
    TextCtrlNewGradient->Enable(newGradientOpen);
    ButtonOkNewGradient->Enable(newGradientOpen);
}

void GradientDialog::OnButtonOkNewGradient(wxCommandEvent&) {
    const wxString refusal = dialogkit::nameRefusal(TextCtrlNewGradient->GetValue(), _("Gradient"));
    if (!refusal.empty()) {
        prompts::message(refusal, _("Info"), this);
        return;
    }
    TextCtrlNewGradient->Disable();
    ButtonOkNewGradient->Disable();
    newGradientOpen = false;
    const wxString path = dialogkit::workPath({"Gradients", TextCtrlNewGradient->GetValue() + ".png"});
    const std::string comment =
        gradientfile::BuildGradientComment(stops(), CheckBoxUseTime->GetValue(), f_perpixelzTimeVal.load());
    log->log(comment);
    const bool exists = FileExists(path.utf8_string().c_str());
    log->log(exists ? "FILE EXISTS" : "File doesnt exist yet");
    gradientfile::Answer answer = gradientfile::Answer::Yes;
    if (exists) {
        const int reply = prompts::askOverwrite(this);
        answer = reply == wxID_YES  ? gradientfile::Answer::Yes
                 : reply == wxID_NO ? gradientfile::Answer::No
                                    : gradientfile::Answer::Other;
    }
    const gradientfile::SaveOutcome outcome = gradientfile::saveOutcome(true, exists, answer);
    if (outcome.unexpected)
        prompts::message(_("Unexpected wxMessageDialog return code!"), _("Unexpected wxMessageDialog return code!"),
                         this);
    if (outcome.write)
        writeGradientFile(path, comment, exists);
    if (outcome.rebuild)
        showGradientFile((TextCtrlNewGradient->GetValue() + ".png").utf8_string(), outcome.write);
}

void GradientDialog::writeGradientFile(const wxString& path, const std::string& comment, bool existed) {
    // Picture and comment go into a side file that replaces the gradient only
    // once the picture is written, so a failed save leaves no broken gradient.
    wxImage picture;
    if (preview->GetBitmap().IsOk()) {
        picture = preview->GetBitmap().ConvertToImage();
        picture.Rescale(160, 22, wxIMAGE_QUALITY_HIGH);
    }
    const wxString part = librarypictures::writeBeside(picture, path);
    if (part.empty()) {
        prompts::message(_("Error when saving Image: ") + path, wxMessageBoxCaptionStr);
        return;
    }
    {
        MetadataHandler handler(part);
        if (!handler.WriteCommentPng(comment.c_str())) {
            prompts::message(existed ? _("Error writing metadata into the gradient file.")
                                     : _("Error writing metadata into gradient file."),
                             wxMessageBoxCaptionStr);
        }
        if (!handler.ReadCommentPng())
            prompts::message(_("Error reading metadata from the gradient file."), wxMessageBoxCaptionStr);
    }
    if (!libraryfiles::replaceWith(part.utf8_string(), path.utf8_string()))
        prompts::message(_("Error when saving Image: ") + path, wxMessageBoxCaptionStr);
}

void GradientDialog::setStops(const gradient::Stops& s, int swatchSize) {
    for (int i = 0; i < kStops; ++i)
        checkBoxes[i]->SetValue(s.on[i]);
    for (int i = 0; i < kStops; ++i)
        checkBoxStateArray[i] = s.on[i];
    for (int i = 0; i < kStops; ++i) {
        gradientArray[i] = toColour(s.colour[i]);
        swatches[i]->SetBitmapLabel(GetOneColorBitmap(swatchSize, swatchSize, gradientArray[i]));
    }
}

int GradientDialog::foundRow(int row) const {
    if (row < 0)
        prompts::message(_("Event Id could not be identified."), wxMessageBoxCaptionStr);
    return row;
}

void GradientDialog::OnBitmapButtonListClick(wxCommandEvent& event) {
    const int row = foundRow(gradients.findPicture(event.GetId()));
    if (row < 0)
        return;
    MetadataHandler handler(gradientPath(row));
    if (handler.CommentExistsPNG()) {
        log->log("Metadata exist in gradient file.");
        if (!handler.ReadCommentPng()) {
            prompts::message(_("Error reading metadata from the gradient file."), wxMessageBoxCaptionStr);
            return;
        }
        if (const std::optional<gradient::Stops> read = gradientfile::ParseGradientComment(handler.comment))
            setStops(*read, 25);
    } else {
        log->log("Metadata do not exist in gradient file.");
        // A picture without settings: all nine stops, coloured from its top
        // row; black where the row has no picture.
        const wxBitmap shown = rowPicture(row);
        const wxImage picture = shown.IsOk() ? shown.ConvertToImage() : wxImage();
        gradient::Stops sampled;
        for (int i = 0; i < kStops; ++i) {
            const int x = gradientfile::kSampleX[i];
            sampled.on[i] = true;
            sampled.colour[i] = gradient::Rgb{0, 0, 0};
            if (picture.IsOk() && x < picture.GetWidth() && picture.GetHeight() > 0)
                sampled.colour[i] = gradient::Rgb{picture.GetRed(x, 0), picture.GetGreen(x, 0), picture.GetBlue(x, 0)};
        }
        setStops(sampled, 25);
    }
    redrawPreview();
}

void GradientDialog::OnBitmapButtonList_defaultClick(wxCommandEvent&) {
    const gradient::Stops start = gradient::defaultStops();
    for (int i = 0; i < kStops; ++i)
        checkBoxes[i]->SetValue(start.on[i]);
    for (int i = 0; i < kStops; ++i) {
        checkBoxStateArray[i] = start.on[i];
        gradientArray[i] = toColour(start.colour[i]);
    }
    redrawPreview();
    for (int i = 0; i < kStops; ++i)
        swatches[i]->SetBitmapLabel(GetOneColorBitmap(20, 20, gradientArray[i]));
}

void GradientDialog::OnXButtonListClick(wxCommandEvent& event) {
    const int row = foundRow(gradients.findDelete(event.GetId()));
    if (row < 0)
        return;
    const wxString path = gradientPath(row);
    const int reply = prompts::question(_("Do you want to delete '") + wxFileName(path).GetName() + _("' gradient?"),
                                        _("Info"), wxYES_NO | wxNO_DEFAULT | wxICON_INFORMATION, this);
    if (reply == wxID_YES) {
        if (!libraryfiles::removeEntry(path.utf8_string())) {
            prompts::message(_("Gradient file could not be deleted."), wxMessageBoxCaptionStr);
            return;
        }
        const std::string name = gradients[row].name;
        gradients.remove(name);
        ScrolledWindow->update();
    } else if (reply != wxID_NO) {
        prompts::message(_("Unexpected wxMessageDialog return code!"), _("Unexpected wxMessageDialog return code!"),
                         this);
    }
}

// The hidden "Test" button: nothing shows it, and it does nothing.
void GradientDialog::OnButton1Click(wxCommandEvent&) {}
