#pragma once
// The "Preferences" dialog: the share of free memory the undo ring may use,
// kept in "prefs.cfg". The engine reads the file again at its next new or
// opened artwork.

#include <wx/dialog.h>

#include "services/SettingsHandler.h"

class Log;
class wxButton;
class wxSlider;
class wxStaticText;

// The per cent being edited in the Preferences dialog; only OK stores it.
extern int newUndoPercent;

class SettingsDialog : public wxDialog {
public:
    SettingsDialog(wxWindow* parent, wxWindowID id = -1, const wxPoint& pos = wxDefaultPosition,
                   const wxSize& size = wxDefaultSize);
    ~SettingsDialog() override;

    static const long ID_STATICTEXT1;
    static const long ID_STATICLINE1;
    static const long ID_STATICTEXT10;
    static const long ID_STATICTEXTUNDOSTEPS;
    static const long ID_STATICTEXT3;
    static const long ID_STATICTEXTUNDO;
    static const long ID_STATICTEXT5;
    static const long ID_SLIDERUNDO;
    static const long ID_STATICLINE2;
    static const long ID_STATICTEXT4;

    void OnSliderUndoCmdScrollThumbTrack(wxScrollEvent& event);
    void OnSliderUndoCmdScrollChanged(wxScrollEvent& event);
    void OnButtonOkClick(wxCommandEvent& event);
    void OnButtonCancelClick(wxCommandEvent& event);
    void OnInit(wxInitDialogEvent& event);

    wxStaticText* headingText;
    wxStaticText* undoStepsText;
    wxStaticText* undoPercentText;
    wxSlider* undoSlider;
    wxStaticText* noteText;
    wxButton* okButton;
    wxButton* cancelButton;
    SettingsHandler settings;
    Log* log;

private:
    void sliderMoved(int position);
};
