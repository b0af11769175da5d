#pragma once
// The "Gradient Tool": nine stops with colours and on/off boxes, a preview,
// the timing option, the list of stored gradients under the built-in
// default, and the hand-over of the stops to the engine's palette. The
// tool window builds it once and only shows and hides it.

#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/dialog.h>

#include "GradientComment.h"
#include "GradientModel.h"
#include "LibraryRows.h"
#include "library_list.h"

class Log;
class wxBitmapButton;
class wxBoxSizer;
class wxButton;
class wxCheckBox;
class wxSlider;
class wxStaticBitmap;
class wxStaticLine;
class wxStaticText;
class wxTextCtrl;

class GradientDialog : public wxDialog {
public:
    static const int kStops = gradient::kStops;

    GradientDialog(wxWindow* parent, wxWindowID id = -1, const wxPoint& pos = wxDefaultPosition,
                   const wxSize& size = wxDefaultSize);
    ~GradientDialog() override;

    // Pictures of the current gradient and of one colour; they change nothing.
    wxBitmap GradientBitmap(int w, int h) const;
    static wxBitmap GetOneColorBitmap(int w, int h, const wxColour& colour);

    // The tool window's swatch, which Apply and OK repaint.
    void SetBitmapButtonColor(wxBitmapButton* button);
    // The colour dialog for one stop; true when a colour was picked.
    bool SetBitmapButtonColor(wxBitmapButton* button, int index);
    bool isLastCheckBox() const;
    // Back to the state of the last showing (stops: the last Apply).
    void PreClose();
    // The enabled stops become the engine's gradient stops.
    void PostPalette();

    void OnBitmapButton1Click(wxCommandEvent& event);
    void OnBitmapButton2Click(wxCommandEvent& event);
    void OnBitmapButton3Click(wxCommandEvent& event);
    void OnBitmapButton4Click(wxCommandEvent& event);
    void OnBitmapButton5Click(wxCommandEvent& event);
    void OnBitmapButton6Click(wxCommandEvent& event);
    void OnBitmapButton7Click(wxCommandEvent& event);
    void OnBitmapButton8Click(wxCommandEvent& event);
    void OnBitmapButton9Click(wxCommandEvent& event);
    void OnCheckBox1Click(wxCommandEvent& event);
    void OnCheckBox2Click(wxCommandEvent& event);
    void OnCheckBox3Click(wxCommandEvent& event);
    void OnCheckBox4Click(wxCommandEvent& event);
    void OnCheckBox5Click(wxCommandEvent& event);
    void OnCheckBox6Click(wxCommandEvent& event);
    void OnCheckBox7Click(wxCommandEvent& event);
    void OnCheckBox8Click(wxCommandEvent& event);
    void OnCheckBox9Click(wxCommandEvent& event);
    void OnCheckBoxUseTimeClick(wxCommandEvent& event);
    void OnSliderTimeCmdScrollThumbTrack(wxScrollEvent& event);
    void OnSliderTimeCmdScrollChanged(wxScrollEvent& event);
    void OnInit(wxInitDialogEvent& event);
    void OnButtonApplyClick(wxCommandEvent& event);
    void OnButton_okClick(wxCommandEvent& event);
    void OnButton_cancleClick(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnKeyDown(wxKeyEvent& event);

    // The gradient library: one row per file of Gradients/ under the default row.
    bool LoadGradients();
    void OnButtonSaveGradientClick(wxCommandEvent& event);
    void OnButtonOkNewGradient(wxCommandEvent& event);
    void OnBitmapButtonListClick(wxCommandEvent& event);
    void OnBitmapButtonList_defaultClick(wxCommandEvent& event);
    void OnXButtonListClick(wxCommandEvent& event);
    void OnButton1Click(wxCommandEvent& event);
    static bool isFileNameValid(const wxString& name);
    // A file or a folder at the path.
    static bool FileExists(const char* path);
    static std::string intToString(int value);
    static std::vector<std::string> explode(const std::string& text, const std::string& delim);
    static bool decodeBool(const std::string& text);

    static const long ID_STATICLINE2;
    static const long ID_STATICBITMAP1;
    static const long ID_BITMAPBUTTON1;
    static const long ID_BITMAPBUTTON2;
    static const long ID_BITMAPBUTTON3;
    static const long ID_BITMAPBUTTON4;
    static const long ID_BITMAPBUTTON5;
    static const long ID_BITMAPBUTTON6;
    static const long ID_BITMAPBUTTON7;
    static const long ID_BITMAPBUTTON8;
    static const long ID_BITMAPBUTTON9;
    static const long ID_CHECKBOX1;
    static const long ID_CHECKBOX2;
    static const long ID_CHECKBOX3;
    static const long ID_CHECKBOX4;
    static const long ID_CHECKBOX5;
    static const long ID_CHECKBOX6;
    static const long ID_CHECKBOX7;
    static const long ID_CHECKBOX8;
    static const long ID_CHECKBOX9;
    static const long ID_CHECKBOXUSETIME;
    static const long ID_STATICTEXT1;
    static const long ID_STATICTEXTTIMEVALUE;
    static const long ID_SLIDERTIME;
    static const long ID_BITMAPBUTTONLIST_DEFAULT;
    static const long ID_BUTTONLIST_DEFAULT;
    static const long ID_STATICTEXTLIST_Default;
    static const long ID_STATICLINEDEFAULT;
    static const long ID_STATICLINE3;
    static const long ID_SCROLLEDWINDOW;
    static const long ID_BUTTONSAVEGRADIENT;
    static const long ID_TEXTCTRLNEWGRADIENT;
    static const long ID_BUTTONOKNEWGRADIENT;
    static const long ID_BUTTONAPPLY;
    static const long ID_BUTTON1;

    // The model.
    wxColour gradientArray[kStops];
    bool checkBoxStateArray[kStops];
    wxColour gradientArray_old[kStops];
    bool checkBoxStateArray_old[kStops];
    bool checkBoxUseTimeState_old;
    int sliderTimeValue_old;
    wxString staticTextTimeValue_old;
    wxBitmapButton* colorButton;  // not owned
    bool* frameGradientShown;     // not owned

    // The controls. Stop i's box and swatch are checkBoxes[i] and swatches[i]
    // ("ID_CHECKBOX1" and "ID_BITMAPBUTTON1" for stop 0); the brush library
    // writes them when it applies a preset.
    wxStaticLine* StaticLine2;
    wxStaticBitmap* preview;
    wxBitmapButton* swatches[kStops];
    wxCheckBox* checkBoxes[kStops];
    wxCheckBox* CheckBoxUseTime;
    wxStaticText* StaticText1;
    wxStaticText* StaticTextTimeValue;
    wxSlider* SliderTime;
    LibraryRowsWindow* ScrolledWindow;
    wxBitmapButton* BitmapButtonList_default;
    wxButton* ButtonList_Default;
    wxStaticText* StaticTextList_Default;
    wxStaticLine* StaticLineDefault;
    wxBoxSizer* BoxSizerList;
    wxStaticLine* StaticLine3;
    wxButton* ButtonSaveGradient;
    wxTextCtrl* TextCtrlNewGradient;
    wxButton* ButtonOkNewGradient;
    wxButton* Button_ok;
    wxButton* applyButton;
    wxButton* Button_cancle;
    wxButton* Button1;

    Log* log;
    wxString metadataVersion;
    bool newGradientOpen;

    // The listed gradient files; ScrolledWindow has row windows for those in view.
    librarylist::Entries gradients;
    int rowCount() const { return gradients.size(); }
    wxString gradientPath(int row) const;
    // The buttons of a row in view; null for a row out of view.
    wxBitmapButton* rowButton(int row) const;
    wxButton* rowXButton(int row) const;

private:
    gradient::Stops stops() const;
    void editStopColour(int stop);
    void switchStop(int stop, wxCommandEvent& event);
    void onSliderTime(wxScrollEvent& event);
    void redrawPreview();
    void repaintColorButton();
    void takeStopSnapshot();
    void setStops(const gradient::Stops& stops, int swatchSize);
    LibraryRow makeRow(wxWindow* list);
    void fillRow(LibraryRow& row, int index);
    // The row's picture as its row shows it, read from its file when out of view.
    wxBitmap rowPicture(int row) const;
    // A row found by the id, or -1 after saying so.
    int foundRow(int row) const;
    // After a save: the row of that file follows what the folder holds now.
    void showGradientFile(const std::string& fileName, bool written);
    void writeGradientFile(const wxString& path, const std::string& comment, bool existed);
};
