#pragma once
// The brush library "Brushes": the list of saved presets (icon, name and a
// delete button per row), the capture hand-shake with the engine that "New"
// starts, saving the captured sample as a preset, and applying a preset to
// the engine, the tool window and the gradient tool. The comment format is
// brush_preset.h; the rules that need no window are brush_library.h.

#include <wx/dialog.h>

#include <string>
#include <vector>

#include "brush_preset.h"

class BaseApp;
class GradientDialog;
class Log;
class WyrleFrame;
class wxBitmapButton;
class wxBoxSizer;
class wxButton;
class wxCheckBox;
class wxScrolledWindow;
class wxStaticLine;
class wxTextCtrl;

class SaveBrushDialog : public wxDialog {
public:
    SaveBrushDialog(wxWindow* parent, wxWindowID id = -1, const wxPoint& pos = wxDefaultPosition,
                    const wxSize& size = wxDefaultSize);
    ~SaveBrushDialog() override;

    static const long ID_STATICLINE2;
    static const long ID_STATICLINE1;
    static const long ID_SCROLLEDWINDOW;
    static const long ID_STATICLINE3;
    static const long ID_CHECKBOXUSEBRUSHCOLOR;
    static const long ID_BUTTONSAVE;
    static const long ID_TEXTCTRLNEWBRUSH;
    static const long ID_BUTTONOKNEWBRUSH;

    void OnInit(wxInitDialogEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnMouseMove(wxMouseEvent& event);
    void OnButtonSaveClick(wxCommandEvent& event);
    void OnButtonOkNewBrushClick(wxCommandEvent& event);
    void OnBitmapButtonListClick(wxCommandEvent& event);
    void OnXButtonListClick(wxCommandEvent& event);

    // Brings the icons in step with the presets and builds one row per icon.
    int LoadBrushes();
    // Writes the comment into a PNG file and reads it back, saying what failed
    // (of `shownAs` when the file is made to take its place).
    void writeMetadata(const wxString& path, const std::string& comment, const wxString& shownAs = wxString());
    // The preset settings as the globals hold them now.
    static brushpreset::BrushSettings currentSettings();
    // Writes a preset's plan into the engine, the tool window and the gradient tool.
    void applyPlan(const brushpreset::BrushPlan& plan);

    static wxString brushFolder();
    static wxString iconFolder();

    // Set by the tool window.
    GradientDialog* gradientDialog;
    WyrleFrame* frame;
    BaseApp* baseApp;
    long colorButtonId;  // kept, never read
    long gradientButtonId;

    wxStaticLine* StaticLine2;
    wxButton* newButton;
    wxScrolledWindow* list;
    wxBoxSizer* listSizer;
    wxStaticLine* StaticLine1;
    wxStaticLine* StaticLine3;
    wxCheckBox* useBrushColor;
    wxTextCtrl* nameText;
    wxButton* okButton;
    Log* log;

    // One entry per row, in listing order.
    struct Row {
        int pictureId;
        int deleteId;
        wxBitmapButton* picture;
        wxString iconPath;
    };
    std::vector<Row> rows;
    // The next showing rebuilds the list.
    bool reload;

private:
    // Empties the list and lists the presets again.
    void rebuildList(bool resetScroll);
    // The row whose button (picture or delete) has this id; none is told.
    const Row* rowOf(int id, int Row::*button);
    void buildRow(size_t k, const wxString& iconPath, const wxFont& small, const wxFont& names);
    void rebuildIcon(const wxString& presetPath, const wxString& iconPath);
    // Saves the captured sample and its icon with the comment; false (after
    // one message) when a file could not be written.
    bool savePreset(const wxString& picturePath, const wxString& iconPath, const std::string& comment);
    void applyColour(const brushpreset::BrushPlan& plan);
    void applyGradient(const brushpreset::BrushPlan& plan);
    void applyOpacityAndSwitch(const brushpreset::BrushPlan& plan);
    void applyTags(const std::vector<brushpreset::TagStep>& tags);
};
