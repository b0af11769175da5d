#pragma once
// The "Export" dialog: one of five picture formats with the alpha options,
// a file through the save-file selector and a question before overwriting,
// handed to the engine as request 3 with f_export set.

#include <wx/dialog.h>

#include "gui/model/ExportModel.h"

class Log;
class wxButton;
class wxCheckBox;
class wxRadioButton;
class wxStaticText;

class ExportDialog : public wxDialog {
public:
    ExportDialog(wxWindow* parent, wxWindowID id = -1, const wxPoint& pos = wxDefaultPosition,
                 const wxSize& size = wxDefaultSize);
    ~ExportDialog() override;

    // A file or a folder is there (the path in UTF-8).
    static bool FileExists(const char* path);

    void OnRadioButtonPNGSelect(wxCommandEvent& event);
    void OnRadioButtonTGASelect(wxCommandEvent& event);
    void OnRadioButtonTIFSelect(wxCommandEvent& event);
    void OnRadioButtonBMPSelect(wxCommandEvent& event);
    void OnRadioButtonJPGSelect(wxCommandEvent& event);
    void OnCheckBoxSaveAlphaClick(wxCommandEvent& event);
    void OnCheckBoxSaveAlphaStraightClick(wxCommandEvent& event);
    void OnButtonOkClick(wxCommandEvent& event);
    void OnButtonCancleClick(wxCommandEvent& event);
    void OnInit(wxInitDialogEvent& event);

    static const long ID_RADIOBUTTONPNG;
    static const long ID_RADIOBUTTONTGA;
    static const long ID_RADIOBUTTONTIF;
    static const long ID_RADIOBUTTONBMP;
    static const long ID_RADIOBUTTONJPG;
    static const long ID_CHECKBOXSAVEALPHA;
    static const long ID_CHECKBOXSAVEALPHASTRAIGHT;
    static const long ID_STATICLINE2;
    static const long ID_STATICTEXT1;
    // The dialog's own Cancel, not the toolkit's.
    static const long wxID_CANCLE;

    wxRadioButton* RadioButtonPNG;
    wxRadioButton* RadioButtonTGA;
    wxRadioButton* RadioButtonTIF;
    wxRadioButton* RadioButtonBMP;
    wxRadioButton* RadioButtonJPG;
    wxCheckBox* CheckBoxSaveAlpha;
    wxCheckBox* CheckBoxSaveAlphaStraight;
    wxStaticText* infoText;
    wxButton* okButton;
    wxButton* cancelButton;
    Log* log;

private:
    // The controls as they stand, and back into them.
    exportmodel::Controls controls() const;
    void showControls(const exportmodel::Controls& c);
    void selectFormat(exportmodel::Format format);
};
