#pragma once
// The About box: the logo, the version, the two role lines and a button that
// opens the program's page. Run modally from the Help menu.

#include <wx/dialog.h>

class wxButton;
class wxStaticBitmap;
class wxStaticText;

class AboutDialog : public wxDialog {
public:
    AboutDialog(wxWindow* parent, wxWindowID id = -1, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize);

    static const long ID_STATICBITMAP1;
    static const long ID_STATICTEXT1;
    static const long ID_STATICTEXT2;
    static const long ID_STATICTEXT4;
    static const long ID_BUTTONWEBSITE;

    void OnButtonWebsiteClick(wxCommandEvent& event);

    // Empty when "data/wyrlelogo.png" could not be read at construction.
    wxStaticBitmap* logo;
    wxStaticText* versionText;
    wxStaticText* conceptText;
    wxStaticText* backboneText;
    wxButton* websiteButton;
};
