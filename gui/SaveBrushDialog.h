#pragma once
// Stand-in for the brush library "Brushes", to be replaced by the full
// dialog: the capture hand-shake with the engine, saving a preset (sample,
// icon and settings comment), the list of presets and applying one. It does
// not rebuild missing icons or delete presets yet.

#include <wx/dialog.h>

#include <string>
#include <utility>
#include <vector>

class BaseApp;
class GradientDialog;
class Log;
class WyrleFrame;
class wxBoxSizer;
class wxButton;
class wxCheckBox;
class wxScrolledWindow;
class wxTextCtrl;

class SaveBrushDialog : public wxDialog {
public:
    SaveBrushDialog(wxWindow* parent, wxWindowID id = -1, const wxPoint& pos = wxDefaultPosition,
                    const wxSize& size = wxDefaultSize);
    ~SaveBrushDialog() override;

    void OnInit(wxInitDialogEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnButtonSaveClick(wxCommandEvent& event);
    void OnButtonOkNewBrushClick(wxCommandEvent& event);
    void OnBitmapButtonListClick(wxCommandEvent& event);
    // The brush parameters of a split preset comment, from `start` on.
    void ParseMetadataArray(const std::vector<std::string>& pieces, size_t start);
    // Applies the preset whose icon is `iconPath`.
    void ApplyPreset(const wxString& iconPath);
    void LoadBrushes();

    // The preset comment for the current settings.
    static std::string BrushMetadata();
    static wxString brushFolder();
    static wxString iconFolder();

    // Set by the tool window.
    GradientDialog* gradientDialog;
    WyrleFrame* frame;
    BaseApp* baseApp;
    long gradientButtonId;
    long colorButtonId;

    wxScrolledWindow* list;
    wxBoxSizer* listSizer;
    wxCheckBox* useBrushColor;
    wxButton* newButton;
    wxTextCtrl* nameText;
    wxButton* okButton;
    // Picture-button identifier and icon path of each listed preset.
    std::vector<std::pair<int, wxString>> rows;
    Log* log;

private:
    void applyColourPart(const std::vector<std::string>& pieces, bool gradient);
    void applyOpacityAndMode(const std::string& opacity, const std::string& additive);
};
