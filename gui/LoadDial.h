#pragma once
// The "Open" dialog: a picture to open as the new artwork, with a chosen or
// automatic background colour and premultiplied alpha, handed to the engine
// as request 2.

#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/dialog.h>

class Log;
class wxBitmapButton;
class wxButton;
class wxCheckBox;
class wxTextCtrl;

class LoadDial : public wxDialog {
public:
    LoadDial(wxWindow* parent, wxWindowID id = -1, const wxPoint& pos = wxDefaultPosition,
             const wxSize& size = wxDefaultSize);
    ~LoadDial() override;

    static wxBitmap GetOneColorBitmap(int w, int h, wxColour colour);

    void OnBitmapButtonBgColorClick(wxCommandEvent& event);
    void OnButtonWhiteClick(wxCommandEvent& event);
    void OnButtonBlackClick(wxCommandEvent& event);
    void OnCheckBoxAutoBaseColorClick(wxCommandEvent& event);
    void OnButtonBrowse1Click(wxCommandEvent& event);
    void OnCheckBoxPremultiplyClick(wxCommandEvent& event);
    void OnButtonOkClick(wxCommandEvent& event);
    void OnButtonCancleClick(wxCommandEvent& event);
    void OnInit(wxInitDialogEvent& event);

    static const long ID_STATICTEXT1;
    static const long ID_BITMAPBUTTONBGCOLOR;
    static const long ID_BUTTONWHITE;
    static const long ID_BUTTONBLACK;
    static const long ID_STATICLINE2;
    static const long ID_CHECKBOXAUTOBASECOLOR;
    static const long ID_STATICTEXT2;
    static const long ID_TEXTCTRL1;
    static const long ID_BUTTONBROWSE1;
    static const long ID_CHECKBOXPREMULTIPLY;
    // The dialog's own Cancel, not the toolkit's.
    static const long wxID_CANCLE;

    wxBitmapButton* colourSwatch;
    wxButton* whiteButton;
    wxButton* blackButton;
    wxCheckBox* autoColourBox;
    wxTextCtrl* pathText;
    wxButton* browseButton;
    wxCheckBox* premultiplyBox;
    wxButton* okButton;
    wxButton* cancelButton;

    // A file was chosen through Browse; from then on Browse starts from
    // the path text.
    bool browsed;
    // What OK hands on; the swatch only shows it.
    wxColour background;
    wxString fileFilter;
    wxString startFolder;
    Log* log;
};
