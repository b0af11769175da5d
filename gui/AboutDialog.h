#pragma once
// Stand-in for the About box, to be replaced by the full dialog: the logo,
// the program's name and an OK button; run modally.

#include <wx/dialog.h>

class wxStaticBitmap;

class AboutDialog : public wxDialog {
public:
    AboutDialog(wxWindow* parent, wxWindowID id = -1, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize);

    // Null when "data/wyrlelogo.png" could not be read.
    wxStaticBitmap* logo;
};
