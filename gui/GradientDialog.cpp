#include "GradientDialog.h"

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/image.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include <mutex>

#include "DialogKit.h"
#include "GuiPrompts.h"
#include "Log.h"
#include "Requests.h"
#include "WyrleGlobals.h"
#include "ofMath.h"

namespace {

const unsigned char kDefaultStops[9][3] = {{213, 25, 32}, {222, 132, 21}, {222, 197, 26}, {47, 194, 57},  {4, 167, 225},
                                           {13, 95, 216}, {121, 56, 170}, {212, 0, 126},  {213, 25, 32}};

unsigned char mix(unsigned char a, unsigned char b, double t) {
    return static_cast<unsigned char>(a + (b - a) * t + 0.5);
}

}  // namespace

GradientDialog::GradientDialog(wxWindow* parent, wxWindowID, const wxPoint&, const wxSize&)
    : wxDialog(parent, wxID_ANY, _("Gradient Tool"), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxSTAY_ON_TOP),
      checkBoxUseTimeState_old(true),
      sliderTimeValue_old(3),
      colorButton(nullptr),
      frameGradientShown(nullptr),
      log(new Log("GradientDialog.log", false)) {
    SetBackgroundColour(wxColour(104, 100, 96));
    wxBoxSizer* root = new wxBoxSizer(wxVERTICAL);
    wxBoxSizer* stops = new wxBoxSizer(wxHORIZONTAL);
    for (int i = 0; i < kStops; ++i) {
        gradientArray[i] = wxColour(kDefaultStops[i][0], kDefaultStops[i][1], kDefaultStops[i][2]);
        checkBoxStateArray[i] = (i == 0 || i == 4 || i == 8);
        gradientArray_old[i] = gradientArray[i];
        checkBoxStateArray_old[i] = checkBoxStateArray[i];
        wxBoxSizer* column = new wxBoxSizer(wxVERTICAL);
        swatches[i] = new wxBitmapButton(this, wxID_ANY, GetOneColorBitmap(25, 25, gradientArray[i]));
        column->Add(swatches[i], 0, wxALIGN_CENTER_HORIZONTAL);
        checkBoxes[i] = new wxCheckBox(this, wxID_ANY, wxEmptyString);
        checkBoxes[i]->SetValue(checkBoxStateArray[i]);
        column->Add(checkBoxes[i], 0, wxALIGN_CENTER_HORIZONTAL | wxTOP, 2);
        stops->Add(column, 0, wxALL, 1);
        swatches[i]->Bind(wxEVT_BUTTON, [this, i](wxCommandEvent&) { OnStopColourClick(i); });
        checkBoxes[i]->Bind(wxEVT_CHECKBOX, [this, i](wxCommandEvent& e) { OnStopCheckClick(i, e.IsChecked()); });
    }
    root->Add(stops, 0, wxALL, 6);
    preview = new wxStaticBitmap(this, wxID_ANY, GradientBitmap(273, 30));
    root->Add(preview, 0, wxALIGN_CENTER_HORIZONTAL | wxLEFT | wxRIGHT, 6);

    wxBoxSizer* timing = new wxBoxSizer(wxHORIZONTAL);
    CheckBoxUseTime = new wxCheckBox(this, wxID_ANY, _("Use gradient timing"));
    CheckBoxUseTime->SetForegroundColour(wxColour(240, 240, 240));
    CheckBoxUseTime->SetValue(true);
    timing->Add(CheckBoxUseTime, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    SliderTime = new wxSlider(this, wxID_ANY, 3, 1, 10, wxDefaultPosition, wxSize(100, -1));
    timing->Add(SliderTime, 0, wxALIGN_CENTER_VERTICAL);
    StaticTextTimeValue = new wxStaticText(this, wxID_ANY, "3");
    StaticTextTimeValue->SetForegroundColour(wxColour(240, 240, 240));
    timing->Add(StaticTextTimeValue, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 4);
    root->Add(timing, 0, wxALL, 6);

    wxBoxSizer* buttons = new wxBoxSizer(wxHORIZONTAL);
    applyButton = new wxButton(this, wxID_ANY, _("Apply"));
    buttons->Add(applyButton, 0, wxALL, 4);
    wxSizer* okCancel = dialogkit::okCancelRow(this, okButton, cancelButton);
    buttons->Add(okCancel);
    root->Add(buttons, 0, wxALIGN_RIGHT | wxALL, 4);
    SetSizerAndFit(root);
    CentreOnScreen();

    applyButton->Bind(wxEVT_BUTTON, &GradientDialog::OnButtonApplyClick, this);
    okButton->Bind(wxEVT_BUTTON, &GradientDialog::OnButton_okClick, this);
    cancelButton->Bind(wxEVT_BUTTON, &GradientDialog::OnButton_cancleClick, this);
    SliderTime->Bind(wxEVT_SCROLL_THUMBTRACK, &GradientDialog::OnSliderTimeCmdScrollChanged, this);
    SliderTime->Bind(wxEVT_SCROLL_CHANGED, &GradientDialog::OnSliderTimeCmdScrollChanged, this);
    Bind(wxEVT_INIT_DIALOG, &GradientDialog::OnInit, this);
    Bind(wxEVT_CLOSE_WINDOW, &GradientDialog::OnClose, this);
}

GradientDialog::~GradientDialog() { delete log; }

wxBitmap GradientDialog::GetOneColorBitmap(int w, int h, const wxColour& colour) {
    return dialogkit::solidBitmap(w, h, colour);
}

wxBitmap GradientDialog::GradientBitmap(int w, int h) const {
    if (w < 1)
        w = 1;
    if (h < 1)
        h = 1;
    int at[kStops];
    wxColour colour[kStops];
    int n = 0;
    for (int i = 0; i < kStops; ++i) {
        if (!checkBoxStateArray[i])
            continue;
        // The last stop sits on the last column, so both ends show their colour.
        at[n] = i * (w - 1) / 8;
        colour[n] = gradientArray[i];
        ++n;
    }
    if (n == 0) {
        at[0] = 0;
        colour[0] = wxColour(255, 0, 0);
        at[1] = w - 1;
        colour[1] = wxColour(0, 0, 255);
        n = 2;
    }
    wxImage image(w, h);
    for (int x = 0; x < w; ++x) {
        wxColour c = colour[0];
        if (x >= at[n - 1]) {
            c = colour[n - 1];
        } else {
            for (int k = 0; k + 1 < n; ++k) {
                if (x >= at[k] && x < at[k + 1]) {
                    double t = static_cast<double>(x - at[k]) / (at[k + 1] - at[k]);
                    c = wxColour(mix(colour[k].Red(), colour[k + 1].Red(), t),
                                 mix(colour[k].Green(), colour[k + 1].Green(), t),
                                 mix(colour[k].Blue(), colour[k + 1].Blue(), t));
                    break;
                }
            }
        }
        for (int y = 0; y < h; ++y)
            image.SetRGB(x, y, c.Red(), c.Green(), c.Blue());
    }
    return wxBitmap(image);
}

void GradientDialog::SetBitmapButtonColor(wxBitmapButton* button) { colorButton = button; }

bool GradientDialog::isLastCheckBox() const {
    int on = 0;
    for (bool b : checkBoxStateArray)
        on += b ? 1 : 0;
    return on == 1;
}

void GradientDialog::takeSnapshot() {
    for (int i = 0; i < kStops; ++i) {
        checkBoxStateArray_old[i] = checkBoxStateArray[i];
        gradientArray_old[i] = gradientArray[i];
    }
    checkBoxUseTimeState_old = CheckBoxUseTime->GetValue();
    sliderTimeValue_old = SliderTime->GetValue();
    staticTextTimeValue_old = StaticTextTimeValue->GetLabel();
}

void GradientDialog::refreshStops() {
    for (int i = 0; i < kStops; ++i) {
        checkBoxes[i]->SetValue(checkBoxStateArray[i]);
        swatches[i]->SetBitmapLabel(GetOneColorBitmap(25, 25, gradientArray[i]));
    }
    preview->SetBitmap(GradientBitmap(273, 30));
    preview->Refresh();
}

void GradientDialog::OnInit(wxInitDialogEvent&) { takeSnapshot(); }

void GradientDialog::PreClose() {
    for (int i = 0; i < kStops; ++i) {
        checkBoxStateArray[i] = checkBoxStateArray_old[i];
        gradientArray[i] = gradientArray_old[i];
    }
    refreshStops();
    CheckBoxUseTime->SetValue(checkBoxUseTimeState_old);
    SliderTime->SetValue(sliderTimeValue_old);
    StaticTextTimeValue->SetLabel(staticTextTimeValue_old);
}

void GradientDialog::PostPalette() {
    {
        std::lock_guard<std::mutex> lock(gPaletteMutex);
        for (int k = 0; k < kPaletteSize; ++k)
            paletteRadd[k] = paletteGadd[k] = paletteBadd[k] = paletteSet[k] = 0;
        for (int i = 0; i < kStops; ++i) {
            if (!checkBoxStateArray[i])
                continue;
            const int k = i * 400;
            paletteSet[k] = 1;
            paletteRadd[k] = gradientArray[i].Red();
            paletteGadd[k] = gradientArray[i].Green();
            paletteBadd[k] = gradientArray[i].Blue();
        }
    }
    requests::raise(f_setPalette);
}

void GradientDialog::repaintColorButton() {
    if (!colorButton)
        return;
    colorButton->SetBitmapLabel(GradientBitmap(49, 50));
    colorButton->Refresh();
}

void GradientDialog::OnStopColourClick(int stop) {
    wxColourData data;
    prompts::prepareColourData(data, gradientArray[stop]);
    if (prompts::chooseColour(this, data)) {
        gradientArray[stop] = data.GetColour();
        checkBoxStateArray[stop] = true;
        checkBoxes[stop]->SetValue(true);
        swatches[stop]->SetBitmapLabel(GetOneColorBitmap(20, 20, gradientArray[stop]));
    }
    preview->SetBitmap(GradientBitmap(273, 30));
    preview->Refresh();
}

void GradientDialog::OnStopCheckClick(int stop, bool checked) {
    if (!checked && isLastCheckBox() && checkBoxStateArray[stop]) {
        // The last stop stays on.
        checkBoxes[stop]->SetValue(true);
        return;
    }
    checkBoxStateArray[stop] = checked;
    preview->SetBitmap(GradientBitmap(273, 30));
    preview->Refresh();
}

void GradientDialog::OnSliderTimeCmdScrollChanged(wxScrollEvent& event) {
    const int p = event.GetPosition();
    f_perpixelzTimeVal.store(ofMap(p, 1, 10, 1, 10));
    StaticTextTimeValue->SetLabel(wxString::Format("%i", p));
}

void GradientDialog::OnButtonApplyClick(wxCommandEvent&) {
    PostPalette();
    if (CheckBoxUseTime->GetValue()) {
        f_perpixelzMode.store(1);
        f_perpixelzTime.store(f_perpixelzTimeVal.load());
    } else {
        f_perpixelzMode.store(0);
        f_perpixelzTime.store(0);
    }
    repaintColorButton();
    takeSnapshot();
    f_showCursor.store(true);
}

void GradientDialog::OnButton_okClick(wxCommandEvent&) {
    Show(false);
    PostPalette();
    f_perpixelzTime.store(CheckBoxUseTime->GetValue() ? f_perpixelzTimeVal.load() : 0.0f);
    repaintColorButton();
    if (frameGradientShown)
        *frameGradientShown = false;
    f_showCursor.store(true);
}

void GradientDialog::OnButton_cancleClick(wxCommandEvent&) {
    PreClose();
    dialogkit::finish(this);
    if (frameGradientShown)
        *frameGradientShown = false;
}

void GradientDialog::OnClose(wxCloseEvent&) {
    PreClose();
    Show(false);
    if (frameGradientShown)
        *frameGradientShown = false;
}
