#pragma once
// Small pieces the tool window and the dialogs share.

#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/slider.h>
#include <wx/string.h>

#include <initializer_list>
#include <string>
#include <vector>
#include <utility>

class wxBitmapButton;
class wxButton;
class wxDialog;
class wxSizer;
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
// padding and minimum sizes so that it fits.
extern const char kCompactSliderStyle[];
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

// Grows a control to the size its content needs where the size it was
// made with is smaller (GTK's frame and padding come on top of a picture or
// a label), and makes that its least size. Measured right, with its style,
// only before its window is first shown.
void fitContent(wxWindow* control);

// Every OK and Cancel ends this way: the dialog hides and the drawing
// window shows its brush cursor again.
void finish(wxDialog* dialog);

// Shows or hides a modeless dialog. Showing one that is already shown does
// nothing (GTK would otherwise run its init handler again and reset what the
// user typed); so does hiding a hidden one. True when the state changed.
template <class Dialog>
bool showDialog(Dialog* dialog, bool show = true) {
    if (!dialog || dialog->IsShown() == show)
        return false;
    dialog->Show(show);
    // A window manager places a window that does not take the focus below
    // the focused one: shown from the drawing window's keys, the dialog would
    // open hidden behind it.
    if (show)
        dialog->Raise();
    return true;
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
