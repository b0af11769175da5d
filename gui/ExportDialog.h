#pragma once
// Stand-in for the "Export" dialog, to be replaced by the full dialog: a file
// to export to with the alpha options, handed to the engine as request 3.

#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/textctrl.h>

class Log;
class wxButton;

class ExportDialog : public wxDialog {
public:
    ExportDialog(wxWindow* parent, wxWindowID id = -1, const wxPoint& pos = wxDefaultPosition,
                 const wxSize& size = wxDefaultSize);
    ~ExportDialog() override;

    void OnInit(wxInitDialogEvent& event);
    void OnButtonOkClick(wxCommandEvent& event);
    void OnButtonCancleClick(wxCommandEvent& event);
    void OnBrowseClick(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);

    // The export file a showing proposes.
    static wxString proposedFile();

    wxTextCtrl* pathText;
    wxButton* browseButton;
    wxCheckBox* alphaBox;
    wxCheckBox* straightAlphaBox;
    wxButton* okButton;
    wxButton* cancelButton;
    Log* log;
};
