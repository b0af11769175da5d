#include "AboutDialog.h"

#include <wx/button.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

AboutDialog::AboutDialog(wxWindow* parent, wxWindowID, const wxPoint&, const wxSize&)
    : wxDialog(parent, wxID_ANY, _("About Wyrle"), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX),
      logo(nullptr) {
    SetBackgroundColour(wxColour(104, 100, 96));
    wxBoxSizer* root = new wxBoxSizer(wxVERTICAL);
    wxImage picture;
    {
        wxLogNull quiet;
        if (picture.LoadFile("data/wyrlelogo.png", wxBITMAP_TYPE_PNG) && picture.IsOk()) {
            logo = new wxStaticBitmap(this, wxID_ANY, wxBitmap(picture));
            root->Add(logo, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 8);
        }
    }
    wxStaticText* name = new wxStaticText(this, wxID_ANY, _("Wyrle 1.0"));
    name->SetForegroundColour(wxColour(255, 130, 50));
    root->Add(name, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 6);
    root->Add(new wxButton(this, wxID_OK, _("OK")), 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 8);
    SetSizerAndFit(root);
    CentreOnScreen();
}
