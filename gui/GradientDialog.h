#pragma once
// Stand-in for the "Gradient Tool", to be replaced by the full dialog: nine
// stops with colours and on/off boxes, the timing option, the pictures the
// tool window and the brush library draw from it, and the hand-over of the
// stops to the engine. It has no gradient library yet.

#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/dialog.h>

class Log;
class wxBitmapButton;
class wxButton;
class wxCheckBox;
class wxSlider;
class wxStaticBitmap;
class wxStaticText;

class GradientDialog : public wxDialog {
public:
    static const int kStops = 9;

    GradientDialog(wxWindow* parent, wxWindowID id = -1, const wxPoint& pos = wxDefaultPosition,
                   const wxSize& size = wxDefaultSize);
    ~GradientDialog() override;

    // A w x h picture of the enabled stops, stop i at x = i * (w - 1) / 8;
    // red to blue with no stop, one colour with one. Changes nothing.
    wxBitmap GradientBitmap(int w, int h) const;
    static wxBitmap GetOneColorBitmap(int w, int h, const wxColour& colour);
    // The tool window's swatch, which Apply and OK repaint.
    void SetBitmapButtonColor(wxBitmapButton* button);
    // Back to the state of the last showing or Apply; hands nothing over.
    void PreClose();
    // The enabled stops become the engine's gradient stops.
    void PostPalette();
    bool isLastCheckBox() const;

    void OnInit(wxInitDialogEvent& event);
    void OnButtonApplyClick(wxCommandEvent& event);
    void OnButton_okClick(wxCommandEvent& event);
    void OnButton_cancleClick(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnStopColourClick(int stop);
    void OnStopCheckClick(int stop, bool checked);
    void OnSliderTimeCmdScrollChanged(wxScrollEvent& event);

    wxColour gradientArray[kStops];
    bool checkBoxStateArray[kStops];
    wxColour gradientArray_old[kStops];
    bool checkBoxStateArray_old[kStops];
    bool checkBoxUseTimeState_old;
    int sliderTimeValue_old;
    wxString staticTextTimeValue_old;
    wxBitmapButton* colorButton;
    bool* frameGradientShown;

    wxCheckBox* checkBoxes[kStops];
    wxBitmapButton* swatches[kStops];
    wxStaticBitmap* preview;
    wxCheckBox* CheckBoxUseTime;
    wxSlider* SliderTime;
    wxStaticText* StaticTextTimeValue;
    wxButton* applyButton;
    wxButton* okButton;
    wxButton* cancelButton;
    Log* log;

private:
    void takeSnapshot();
    void refreshStops();
    void repaintColorButton();
};
