#pragma once
// Small pieces the tool window and the dialogs share.

#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/slider.h>
#include <wx/string.h>
#include <wx/toplevel.h>

#include <initializer_list>
#include <type_traits>
#include <string>
#include <vector>
#include <utility>

class wxBitmapButton;
class wxButton;
class wxDialog;
class wxSizer;
class wxTextCtrl;
class wxWindow;

namespace dialogkit {

// A new w x h bitmap of screen depth filled with one colour.
wxBitmap solidBitmap(int w, int h, const wxColour& colour);

// The background swatch of New Settings and Open. `chosen` is the colour
// OK hands on; the picture only shows it. "White" and "Black" give a
// 25 x 25 picture, the colour dialog's OK a 30 x 30 one (the button stays
// 25 x 25); any other end of the colour dialog changes nothing.
void setSwatchColour(wxBitmapButton* swatch, wxColour& chosen, const wxColour& colour);
bool pickSwatchColour(wxWindow* parent, wxBitmapButton* swatch, wxColour& chosen);

// A row of "OK" and "Cancel" buttons, right-aligned.
wxSizer* okCancelRow(wxWindow* parent, wxButton*& ok, wxButton*& cancel);

// GTK gives a slider far more height than the small fixed sizes of the
// program's windows, which hides its trough; this style drops the theme's
// padding and minimum sizes so that it fits. (The tool window's sliders.)
extern const char kCompactSliderStyle[];
// A dialog's compact slider: the same, with room for the thumb at the ends.
class CompactSlider : public wxSlider {
public:
    template <class... Args>
    explicit CompactSlider(Args&&... args) : wxSlider(std::forward<Args>(args)...) {
        applyCompactStyle();
    }

private:
    void applyCompactStyle();
};

// A button of the small size the layout gives it: GTK's theme padding would
// leave a 25 x 25 colour swatch a thin stripe and a 26 x 23 "OK" without
// its label.
extern const char kCompactButtonStyle[];
template <class Button>
class CompactButton : public Button {
public:
    template <class... Args>
    explicit CompactButton(Args&&... args) : Button(std::forward<Args>(args)...) {
#ifdef __WXGTK3__
        this->GTKApplyCssStyle(kCompactButtonStyle);
#endif
    }
};

// The buttons of a list whose rows are made while its window is up: as
// CompactButton, which works only for controls made before.
void compactButtonsIn(wxWindow* list);

// A picture button's size: the layout's `size`, or where GTK's frame round
// the picture does not fit in it, the least size that shows a `picture`-sized
// picture whole in its frame. Set as its size and least size, so that later
// pictures of other sizes move nothing; the picture it holds stays.
wxSize fitPicture(wxBitmapButton* button, const wxSize& picture, const wxSize& size);

// Widens a text field where GTK's padding leaves the layout's width too
// small for `sample`, the longest text it is meant to show whole.
void fitText(wxTextCtrl* field, const wxString& sample);

// Grows a control to the size its content needs where the size it was
// made with is smaller (GTK's frame and padding come on top of a picture or
// a label), and makes that its least size. Measured right, with its style,
// only before its window is first shown.
void fitContent(wxWindow* control);

// Every OK and Cancel ends this way: the dialog hides and the drawing
// window shows its brush cursor again.
void finish(wxDialog* dialog);

// The X server time of the user's last key press in the drawing window,
// which GTK does not see. This and the functions below: GUI thread only.
void noteUserTime(unsigned long serverTime);
// The time of the user's last act anywhere in the program: the later of the
// noted time and that of GTK's own windows (0: none known).
unsigned long userTime();

// A window shown in answer to the user takes the time of their last act,
// which a window manager that prevents focus stealing (metacity) compares
// with the last act in the focused window: when it is older, it slips the
// new window below the focused one without the focus. A key press in the
// drawing window is such an act that GTK does not see; shown from it, a
// dialog would open behind the drawing window.
// Before a window is shown (also before a modal run):
void stampUserTime(wxTopLevelWindow* window);
// Once it is shown: on top, with the focus.
void present(wxTopLevelWindow* window);

// Shows or hides a modeless dialog. Showing one that is already shown runs
// no second init (GTK would otherwise run its init handler again and reset
// what the user typed), but brings it to the front; hiding a hidden one does
// nothing. True when the state changed.
template <class Dialog>
bool showDialog(Dialog* dialog, bool show = true) {
    if (!dialog)
        return false;
    constexpr bool window = std::is_base_of<wxTopLevelWindow, Dialog>::value;
    const bool changed = dialog->IsShown() != show;
    if (show) {
        if (changed) {
            if constexpr (window)
                stampUserTime(dialog);
            dialog->Show(true);
        }
        if constexpr (window)
            present(dialog);
    } else if (changed) {
        dialog->Show(false);
    }
    return changed;
}

// A path below the working folder, joined with "/":
// workPath({"Gradients", name + ".png"}).
wxString workPath(std::initializer_list<wxString> parts);

// Creates the library folders below the working folder where missing.
void ensureLibraryFolders();

// The pictures of a library folder (libraryfiles::listPngFiles) with the
// busy cursor up while it reads: a folder of thousands takes a moment. The
// cursor is gone again before any message about the folder.
bool listLibrary(const wxString& folder, std::vector<std::string>& names);

// The name rule of gradients and brush presets, on the name as typed.
bool isFileNameValid(const wxString& name);
// Why a gradient or preset cannot be saved under `name` ("Gradient" or
// "Brush" begins the message); empty when it can.
wxString nameRefusal(const wxString& name, const wxString& kind);

}  // namespace dialogkit
