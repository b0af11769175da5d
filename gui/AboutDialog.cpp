#include "AboutDialog.h"

#include <wx/button.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "WyrleMain.h"

const long AboutDialog::ID_STATICBITMAP1 = wxNewId();
const long AboutDialog::ID_STATICTEXT1 = wxNewId();
const long AboutDialog::ID_STATICTEXT2 = wxNewId();
const long AboutDialog::ID_STATICTEXT4 = wxNewId();
const long AboutDialog::ID_BUTTONWEBSITE = wxNewId();

namespace {

wxBitmap readLogo() {
    wxLogNull quiet;  // a missing logo leaves the picture empty, with no message
    wxImage picture;
    if (!picture.LoadFile("data/wyrlelogo.png", wxBITMAP_TYPE_ANY) || !picture.IsOk())
        return wxNullBitmap;
    return wxBitmap(picture);
}

}  // namespace

AboutDialog::AboutDialog(wxWindow* parent, wxWindowID, const wxPoint&, const wxSize&)
    : wxDialog(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxCLIP_CHILDREN | wxTAB_TRAVERSAL) {
    // Only the close box ends the box; Esc does nothing.
    SetEscapeId(wxID_NONE);
    SetBackgroundColour(wxColour(84, 80, 76));
    wxBoxSizer* box = new wxBoxSizer(wxVERTICAL);
    logo = new wxStaticBitmap(this, ID_STATICBITMAP1, readLogo(), wxDefaultPosition, wxDefaultSize,
                              wxTAB_TRAVERSAL);
    box->Add(logo, 0, wxLEFT | wxRIGHT | wxTOP | wxALIGN_CENTER, 20);
    versionText = new wxStaticText(this, ID_STATICTEXT1, _("version 1.5"), wxDefaultPosition, wxDefaultSize,
                                   wxTAB_TRAVERSAL);
    versionText->SetForegroundColour(wxColour(159, 159, 159));
    box->Add(versionText, 0, wxRIGHT | wxALIGN_RIGHT, 35);
    conceptText = new wxStaticText(this, ID_STATICTEXT2, _("Concept, Technology Design, Interface and Code"),
                                   wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL);
    conceptText->SetForegroundColour(wxColour(191, 191, 191));
    // The longer credits line keeps the logo's margins at the sides, and the
    // button as much room below it: with the borders above alone they would
    // touch the box's edges.
    wxBoxSizer* concept = new wxBoxSizer(wxHORIZONTAL);
    concept->Add(conceptText, 0, wxLEFT | wxRIGHT, 20);
    box->Add(concept, 0, wxTOP | wxALIGN_CENTER, 25);
    backboneText = new wxStaticText(this, ID_STATICTEXT4, _("Backbone Design, Security and Code"),
                                    wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL);
    backboneText->SetForegroundColour(wxColour(191, 191, 191));
    box->Add(backboneText, 0, wxTOP | wxALIGN_CENTER, 20);
    websiteButton = new wxButton(this, ID_BUTTONWEBSITE, _("Wyrle Website"), wxDefaultPosition, wxSize(150, 23), 0);
    websiteButton->SetBackgroundColour(wxColour(240, 240, 240));
    box->Add(websiteButton, 0, wxTOP | wxALIGN_CENTER, 25);
    box->AddSpacer(20);
    SetSizer(box);
    box->SetSizeHints(this);
    // Where Windows puts a dialog of the default position.
    CentreOnScreen();

    Bind(wxEVT_BUTTON, &AboutDialog::OnButtonWebsiteClick, this, ID_BUTTONWEBSITE);
}

void AboutDialog::OnButtonWebsiteClick(wxCommandEvent&) {
    // The same command as the Help menu's online item; the box stays open.
    WyrleFrame::openWebPage();
}
