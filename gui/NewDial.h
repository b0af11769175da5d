#pragma once
// The "New Settings" dialog: the size, background colour and transparency of
// a new canvas, handed to the engine as request 1, with what the size
// measures in centimetres and inches at a typed DPI.

#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/dialog.h>

class Log;
class wxBitmapButton;
class wxButton;
class wxCheckBox;
class wxStaticText;
class wxTextCtrl;

class NewDial : public wxDialog {
public:
    NewDial(wxWindow* parent, wxWindowID id = -1, const wxPoint& pos = wxDefaultPosition,
            const wxSize& size = wxDefaultSize);
    ~NewDial() override;

    static wxBitmap GetOneColorBitmap(int w, int h, wxColour colour);

    void OnButtonColorClick(wxCommandEvent& event);
    void OnButtonWhiteClick(wxCommandEvent& event);
    void OnButtonBlackClick(wxCommandEvent& event);
    void OnTextCtrlWidthText(wxCommandEvent& event);
    void OnCheckBoxUseAlphaClick(wxCommandEvent& event);
    void OnButtonOkClick(wxCommandEvent& event);
    void OnButtonCancelClick(wxCommandEvent& event);
    void OnInit(wxInitDialogEvent& event);

    static const long ID_STATICTEXT2;
    static const long ID_BITMAPBUTTONBGCOLOR;
    static const long ID_BUTTONWHITE;
    static const long ID_BUTTONBLACK;
    static const long ID_STATICTEXT4;
    static const long ID_TEXTCTRL1;
    static const long ID_STATICTEXT1;
    static const long ID_STATICTEXT5;
    static const long ID_TEXTCTRL2;
    static const long ID_STATICTEXT3;
    static const long ID_CHECKBOXUSEALPHA;
    static const long ID_STATICLINE1;
    static const long ID_STATICTEXT7;
    static const long ID_STATICTEXT6;
    static const long ID_TEXTCTRL3;
    static const long ID_STATICLINE2;
    static const long ID_STATICTEXT8;
    static const long ID_STATICTEXT10;
    static const long ID_STATICTEXT11;
    static const long ID_STATICTEXT12;
    static const long ID_STATICTEXT9;
    static const long ID_STATICTEXT13;
    static const long ID_STATICTEXT14;
    static const long ID_STATICTEXT15;

    wxBitmapButton* colourSwatch;
    wxButton* whiteButton;
    wxButton* blackButton;
    wxTextCtrl* widthText;
    wxTextCtrl* heightText;
    wxCheckBox* alphaBox;
    wxTextCtrl* dpiText;
    wxStaticText* widthCm;
    wxStaticText* heightCm;
    wxStaticText* widthInch;
    wxStaticText* heightInch;
    wxButton* okButton;
    wxButton* cancelButton;
    // What OK hands on; the swatch only shows it.
    wxColour background;
    Log* log;

private:
    void refreshReadout();
};
