#include "WyrleMain.h"

#include <wx/menu.h>
#include <wx/msgdlg.h>

#include <cstdio>
#include <unistd.h>

#include "BaseApp.h"
#include "WyrleGlobals.h"
#include "ofAppGlutWindow.h"

namespace {
const long idFileQuit = wxNewId();
}

WyrleFrame::WyrleFrame(wxWindow* parent, wxWindowID)
    : wxFrame(parent, wxID_ANY, "Wyrle", wxDefaultPosition, wxSize(194, 720),
              wxCAPTION | wxCLIP_CHILDREN | wxFRAME_NO_TASKBAR) {
    SetBackgroundColour(wxColour(104, 100, 96));
    Move(4 * f_borderHeight.load(), 6 * f_borderHeight.load() - 2);

    wxMenuBar* bar = new wxMenuBar();
    wxMenu* file = new wxMenu();
    file->Append(idFileQuit, "Quit", "Quit the application");
    bar->Append(file, "&File");
    SetMenuBar(bar);

    Connect(idFileQuit, wxEVT_COMMAND_MENU_SELECTED, wxCommandEventHandler(WyrleFrame::OnQuit));
    Connect(wxID_ANY, wxEVT_CLOSE_WINDOW, wxCloseEventHandler(WyrleFrame::OnClose));

    baseApp = BaseApp::Instance();
    baseApp->frame = this;
    if (baseApp->Create() != wxTHREAD_NO_ERROR || baseApp->Run() != wxTHREAD_NO_ERROR) {
        std::fprintf(stderr, "Wyrle: the drawing window could not be started.\n");
        wxMessageBox("The drawing window could not be started.", "Info", wxOK | wxCENTRE);
        _exit(1);
    }
}

void WyrleFrame::OnQuit(wxCommandEvent&) {
    Close(false);
}

void WyrleFrame::OnClose(wxCloseEvent&) {
    ofAppGlutWindow::exitApp();
}
