#include "DialogKit.h"

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/dcmemory.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>
#include <wx/filefn.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

#include <cstdint>
#include <string>
#include <vector>

#include "GuiPrompts.h"
#include "LibraryFiles.h"
#include "gtkwindow.h"

#include "WyrleGlobals.h"

namespace dialogkit {

wxBitmap solidBitmap(int w, int h, const wxColour& colour) {
    wxBitmap picture(w, h);
    wxMemoryDC dc;
    dc.SelectObject(picture);
    dc.SetBackground(wxBrush(colour, wxBRUSHSTYLE_SOLID));
    dc.Clear();
    dc.SelectObject(wxNullBitmap);
    return picture;
}

void setSwatchColour(wxBitmapButton* swatch, wxColour& chosen, const wxColour& colour) {
    swatch->SetBitmapLabel(solidBitmap(25, 25, colour));
    chosen = colour;
}

bool pickSwatchColour(wxWindow* parent, wxBitmapButton* swatch, wxColour& chosen) {
    wxColourData data;
    prompts::prepareColourData(data, chosen);
    if (!prompts::chooseColour(parent, data))
        return false;
    chosen = data.GetColour();
    swatch->SetBitmapLabel(solidBitmap(30, 30, chosen));
    return true;
}

wxSizer* okCancelRow(wxWindow* parent, wxButton*& ok, wxButton*& cancel) {
    wxBoxSizer* row = new wxBoxSizer(wxHORIZONTAL);
    ok = new wxButton(parent, wxID_ANY, _("OK"));
    cancel = new wxButton(parent, wxID_ANY, _("Cancel"));
    row->Add(ok, 0, wxALL, 4);
    row->Add(cancel, 0, wxALL, 4);
    return row;
}

const char kCompactSliderStyle[] = "scale { padding: 0; margin: 0; min-height: 0; min-width: 0; }"
                                  "scale slider { min-width: 11px; min-height: 11px; margin: -5px; }";

// A dialog's slider keeps half a thumb (GTK's default theme draws it 20
// pixels wide) at each end of its trough: at either end of its range the
// thumb would otherwise stand half outside the slider, where GTK cuts it.
const char kDialogSliderStyle[] = "scale { padding: 0 10px; margin: 0; min-height: 0; min-width: 0; }";

const char kCompactButtonStyle[] = "button { padding: 0; min-height: 0; min-width: 0; }";

void compactButtonsIn(wxWindow* list) { gtkwindow::compactButtonsWithin(list->GetHandle()); }

wxSize fitPicture(wxBitmapButton* button, const wxSize& picture, const wxSize& size) {
    const wxBitmap held = button->GetBitmapLabel();
    button->SetBitmapLabel(wxBitmap(picture.x, picture.y));
    button->InvalidateBestSize();
    wxSize fitted = button->GetBestSize();
    fitted.IncTo(size);
    button->SetBitmapLabel(held);
    button->SetMinSize(fitted);
    button->SetSize(fitted);
    return fitted;
}

void fitText(wxTextCtrl* field, const wxString& sample) {
    // One pixel more for the cursor after the last character.
    const gtkwindow::Frame frame = gtkwindow::frameOf(field->GetHandle());
    const int least = field->GetTextExtent(sample).x + 1 + frame.borderX + frame.paddingX;
    wxSize size = field->GetMinSize();
    if (size.x >= least)
        return;
    size.x = least;
    field->SetMinSize(size);
    field->SetSize(wxSize(least, field->GetSize().y));
}

void CompactSlider::applyCompactStyle() {
#ifdef __WXGTK3__
    GTKApplyCssStyle(kDialogSliderStyle);
#endif
}

namespace {

unsigned long gDrawingWindowTime = 0;

// X server times wrap around; the later of two is the one less than half the
// range ahead.
bool later(unsigned long a, unsigned long b) { return static_cast<int32_t>(static_cast<uint32_t>(a - b)) > 0; }

}  // namespace

void noteUserTime(unsigned long serverTime) {
    if (serverTime != 0 && (gDrawingWindowTime == 0 || later(serverTime, gDrawingWindowTime)))
        gDrawingWindowTime = serverTime;
}

unsigned long userTime() {
    const unsigned long own = gtkwindow::userTime();
    if (own == 0)
        return gDrawingWindowTime;
    return gDrawingWindowTime != 0 && later(gDrawingWindowTime, own) ? gDrawingWindowTime : own;
}

void stampUserTime(wxTopLevelWindow* window) {
    if (window)
        gtkwindow::stampUserTime(window->GetHandle(), static_cast<uint32_t>(userTime()));
}

void present(wxTopLevelWindow* window) {
    if (window && window->IsShown())
        gtkwindow::present(window->GetHandle(), static_cast<uint32_t>(userTime()));
}

void fitContent(wxWindow* control) {
    control->InvalidateBestSize();
    wxSize size = control->GetMinSize();
    size.IncTo(control->GetBestSize());
    control->SetInitialSize(size);
}

void finish(wxDialog* dialog) {
    dialog->Show(false);
    f_showCursor.store(true);
}

wxString workPath(std::initializer_list<wxString> parts) {
    std::vector<std::string> names;
    for (const wxString& part : parts)
        names.push_back(part.utf8_string());
    return wxString::FromUTF8(libraryfiles::joinPath(wxGetCwd().utf8_string(), names));
}

bool listLibrary(const wxString& folder, std::vector<std::string>& names) {
    wxBusyCursor busy;
    return libraryfiles::listPngFiles(folder.utf8_string(), names);
}

void ensureLibraryFolders() { libraryfiles::ensureLibraryFolders(wxGetCwd().utf8_string()); }

bool isFileNameValid(const wxString& name) { return libraryfiles::isValidName(name.utf8_string()); }

wxString nameRefusal(const wxString& name, const wxString& kind) {
    switch (libraryfiles::nameProblem(name.utf8_string())) {
    case libraryfiles::NameProblem::kNone:
        return wxString();
    case libraryfiles::NameProblem::kEmpty:
        return kind + _(" name cannot be empty.");
    default:
        return kind + _(" name can contain only following characters: \n 'a - z', 'A - Z', '0 - 9', ' ', '-', '_'");
    }
}

}  // namespace dialogkit
