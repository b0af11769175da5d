#pragma once
// Small pieces the tool window and the dialogs share.

#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/string.h>

class wxButton;
class wxDialog;
class wxSizer;
class wxTextCtrl;
class wxWindow;

namespace dialogkit {

// A new w x h bitmap of screen depth filled with one colour.
wxBitmap solidBitmap(int w, int h, const wxColour& colour);

// A row of "OK" and "Cancel" buttons, right-aligned.
wxSizer* okCancelRow(wxWindow* parent, wxButton*& ok, wxButton*& cancel);

// A file path field with a "Browse..." button after it.
wxSizer* pathRow(wxWindow* parent, wxTextCtrl*& path, wxButton*& browse);

// Every OK and Cancel ends this way: the dialog hides and the drawing
// window shows its brush cursor again.
void finish(wxDialog* dialog);

}  // namespace dialogkit
