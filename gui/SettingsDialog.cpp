#include "SettingsDialog.h"

#include <wx/button.h>
#include <wx/font.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/statline.h>
#include <wx/stattext.h>

#include <algorithm>

#include "DialogKit.h"
#include "Log.h"
#include "PreferencesModel.h"
#include "WyrleGlobals.h"

int newUndoPercent = 0;

const long SettingsDialog::ID_STATICTEXT1 = wxNewId();
const long SettingsDialog::ID_STATICLINE1 = wxNewId();
const long SettingsDialog::ID_STATICTEXT10 = wxNewId();
const long SettingsDialog::ID_STATICTEXTUNDOSTEPS = wxNewId();
const long SettingsDialog::ID_STATICTEXT3 = wxNewId();
const long SettingsDialog::ID_STATICTEXTUNDO = wxNewId();
const long SettingsDialog::ID_STATICTEXT5 = wxNewId();
const long SettingsDialog::ID_SLIDERUNDO = wxNewId();
const long SettingsDialog::ID_STATICLINE2 = wxNewId();
const long SettingsDialog::ID_STATICTEXT4 = wxNewId();

namespace {

wxString number(int value) { return wxString::Format("%i", value); }

}  // namespace

SettingsDialog::SettingsDialog(wxWindow* parent, wxWindowID, const wxPoint&, const wxSize&)
    : wxDialog(parent, wxID_ANY, _("Preferences"), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxTAB_TRAVERSAL),
      log(nullptr) {
    wxBoxSizer* main = new wxBoxSizer(wxVERTICAL);
    headingText = new wxStaticText(this, ID_STATICTEXT1, _("Undo Memory Preferences"), wxDefaultPosition,
                                   wxDefaultSize, wxTAB_TRAVERSAL);
    headingText->SetFont(wxFont(10, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_BOLD, false, wxEmptyString));
    main->Add(headingText, 0, wxALL | wxALIGN_CENTER, 20);

    wxBoxSizer* steps = new wxBoxSizer(wxVERTICAL);
    steps->Add(new wxStaticLine(this, ID_STATICLINE1, wxDefaultPosition, wxSize(200, -1),
                                wxLI_HORIZONTAL | wxTAB_TRAVERSAL),
               1,
               wxLEFT | wxRIGHT | wxBOTTOM | wxALIGN_CENTER, 5);
    wxBoxSizer* stepsRow = new wxBoxSizer(wxHORIZONTAL);
    stepsRow->Add(new wxStaticText(this, ID_STATICTEXT10, _("Number of undo steps: "), wxDefaultPosition,
                                   wxDefaultSize, wxTAB_TRAVERSAL),
                  0, wxLEFT | wxTOP | wxBOTTOM | wxALIGN_CENTER_VERTICAL, 5);
    undoStepsText = new wxStaticText(this, ID_STATICTEXTUNDOSTEPS, _("100"), wxDefaultPosition, wxDefaultSize,
                                     wxTAB_TRAVERSAL);
    stepsRow->Add(undoStepsText, 0, wxLEFT | wxTOP | wxBOTTOM | wxALIGN_CENTER_VERTICAL, 5);
    steps->Add(stepsRow, 0, wxLEFT, 30);
    main->Add(steps, 0, wxALIGN_CENTER, 0);

    wxBoxSizer* memory = new wxBoxSizer(wxVERTICAL);
    wxBoxSizer* memoryRow = new wxBoxSizer(wxHORIZONTAL);
    wxStaticText* useMemory =
        new wxStaticText(this, ID_STATICTEXT3, _("Use Memory"), wxDefaultPosition, wxSize(80, -1), wxTAB_TRAVERSAL);
    // 80 pixels hold the label in the font it was measured for; where the
    // system font is wider, the label grows instead of being cut.
    useMemory->SetMinSize(wxSize(std::max(80, useMemory->GetBestSize().x), -1));
    memoryRow->Add(useMemory, 0, wxALIGN_CENTER_VERTICAL, 0);
    undoPercentText = new wxStaticText(this, ID_STATICTEXTUNDO, _("30"), wxDefaultPosition, wxDefaultSize,
                                       wxALIGN_RIGHT | wxTAB_TRAVERSAL);
    memoryRow->Add(undoPercentText, 0, wxLEFT | wxALIGN_CENTER_VERTICAL, 5);
    memoryRow->Add(new wxStaticText(this, ID_STATICTEXT5, _("%"), wxDefaultPosition, wxDefaultSize,
                                    wxALIGN_RIGHT | wxTAB_TRAVERSAL),
                   1, wxTOP | wxBOTTOM | wxALIGN_CENTER_VERTICAL, 5);
    memory->Add(memoryRow, 0, wxLEFT | wxRIGHT, 80);
    undoSlider = new dialogkit::CompactSlider(this, ID_SLIDERUNDO, 30, preferences::kSliderMin, preferences::kSliderMax,
                              wxDefaultPosition, wxSize(120, 21), wxSL_HORIZONTAL | wxSL_TOP | wxTAB_TRAVERSAL);
    memory->Add(undoSlider, 0, wxALIGN_CENTER, 0);
    memory->Add(new wxStaticLine(this, ID_STATICLINE2, wxDefaultPosition, wxSize(200, -1), wxLI_HORIZONTAL), 0,
                wxALL | wxALIGN_CENTER, 10);
    noteText = new wxStaticText(this, ID_STATICTEXT4,
                                _("Changes will be available in a new artwork.\nTo change a picture size go to "
                                  "menu: File | New Settings..."),
                                wxDefaultPosition, wxDefaultSize, wxALIGN_CENTRE | wxTAB_TRAVERSAL);
    noteText->SetFont(wxFont(7, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false, "Arial"));
    memory->Add(noteText, 0, wxLEFT | wxRIGHT | wxALIGN_CENTER, 10);
    main->Add(memory, 0, wxALIGN_CENTER, 0);

    wxBoxSizer* buttons = new wxBoxSizer(wxHORIZONTAL);
    okButton = new wxButton(this, wxID_OK, _("OK"), wxDefaultPosition, wxSize(70, 23), 0);
    buttons->Add(okButton, 0, wxALL | wxALIGN_CENTER_VERTICAL, 10);
    cancelButton = new wxButton(this, wxID_CANCEL, _("Cancel"), wxDefaultPosition, wxSize(70, 23), 0);
    buttons->Add(cancelButton, 0, wxTOP | wxBOTTOM | wxRIGHT | wxALIGN_CENTER_VERTICAL, 10);
    main->Add(buttons, 0, wxLEFT | wxRIGHT | wxTOP | wxALIGN_CENTER, 10);

    SetSizer(main);
    main->Fit(this);
    main->SetSizeHints(this);
    // Where Windows puts a dialog of the default position.
    CentreOnScreen();

    // Bound on the dialog by id: the close box and Esc send the Cancel
    // command to the dialog itself, not to the button.
    Bind(wxEVT_SCROLL_THUMBTRACK, &SettingsDialog::OnSliderUndoCmdScrollThumbTrack, this, ID_SLIDERUNDO);
    Bind(wxEVT_SCROLL_CHANGED, &SettingsDialog::OnSliderUndoCmdScrollChanged, this, ID_SLIDERUNDO);
    Bind(wxEVT_BUTTON, &SettingsDialog::OnButtonOkClick, this, wxID_OK);
    Bind(wxEVT_BUTTON, &SettingsDialog::OnButtonCancelClick, this, wxID_CANCEL);
    Bind(wxEVT_INIT_DIALOG, &SettingsDialog::OnInit, this);

    settings.Load();
    log = new Log("SettingDialog.log", gLogging.load());
}

SettingsDialog::~SettingsDialog() { delete log; }

void SettingsDialog::OnInit(wxInitDialogEvent&) {
    newUndoPercent = settings.undoPercent;
    undoStepsText->SetLabel(number(preferences::undoSteps(f_undoMax.load())));
    undoPercentText->SetLabel(number(newUndoPercent));
    undoSlider->SetValue(preferences::sliderPosition(newUndoPercent));
    Layout();
}

void SettingsDialog::sliderMoved(int position) {
    undoPercentText->SetLabel(number(position));
    newUndoPercent = position;
}

void SettingsDialog::OnSliderUndoCmdScrollThumbTrack(wxScrollEvent& event) { sliderMoved(event.GetPosition()); }
void SettingsDialog::OnSliderUndoCmdScrollChanged(wxScrollEvent& event) { sliderMoved(event.GetPosition()); }

void SettingsDialog::OnButtonOkClick(wxCommandEvent&) {
    settings.undoPercent = newUndoPercent;
    // Save reports its own failure; the dialog closes either way.
    settings.Save();
    dialogkit::finish(this);
}

void SettingsDialog::OnButtonCancelClick(wxCommandEvent&) { dialogkit::finish(this); }
