#include "GuiPrompts.h"

#include <wx/colordlg.h>
#include <wx/dialog.h>
#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

#include <memory>
#include <utility>

namespace prompts {
namespace {

MessageFn gMessage;
QuestionFn gQuestion;
ColourFn gColour;
SaveFileFn gSaveFile;
OpenFileFn gOpenFile;
ModalFn gModal;

// Shown from the drawing window's keys or the engine's messages, a modal
// box does not take the focus, and a window manager places it below the
// drawing window, where nobody sees it. Raised once it is up, it comes
// above.
int runModal(wxDialog& dialog) {
    dialog.CallAfter([&dialog] { dialog.Raise(); });
    return dialog.ShowModal();
}

}  // namespace

void message(const wxString& text, const wxString& caption, wxWindow* parent) {
    if (gMessage) {
        gMessage(text, caption, parent);
        return;
    }
    wxMessageDialog box(parent, text, caption, wxOK | wxCENTRE);
    runModal(box);
}

int question(const wxString& text, const wxString& caption, long style) {
    if (gQuestion)
        return gQuestion(text, caption, style);
    wxMessageDialog box(nullptr, text, caption, style);
    int answer = runModal(box);
    // GTK lets Esc and the close box end a yes/no box; that is a No.
    if (answer == wxID_CANCEL)
        answer = wxID_NO;
    return answer;
}

int askOverwrite() {
    return question(_("File already exists. Do you want to overwrite it?"), _("Info"),
                    wxYES_NO | wxNO_DEFAULT | wxICON_INFORMATION);
}

bool chooseColour(wxWindow* parent, wxColourData& data) {
    if (gColour)
        return gColour(parent, data);
    wxColourDialog dialog(parent, &data);
    if (runModal(dialog) != wxID_OK)
        return false;
    data = dialog.GetColourData();
    return true;
}

SaveAnswer saveFile(wxWindow* parent, const wxString& title, const wxString& folder, const wxString& name,
                    const wxString& wildcard) {
    if (gSaveFile)
        return gSaveFile(parent, title, folder, name, wildcard);
    std::unique_ptr<wxFileDialog> dialog(newSaveDialog(parent, title, folder, name, wildcard));
    SaveAnswer answer;
    if (runModal(*dialog) == wxID_OK) {
        answer.path = dialog->GetPath();
        answer.filterIndex = dialog->GetFilterIndex();
    }
    return answer;
}

wxFileDialog* newSaveDialog(wxWindow* parent, const wxString& title, const wxString& folder, const wxString& name,
                            const wxString& wildcard) {
    wxString types = wildcard;
    while (types.EndsWith("|"))
        types.RemoveLast();
    // No overwrite prompt from the toolkit: the caller asks itself.
    return new wxFileDialog(parent, title, folder, name, types, wxFD_SAVE);
}

wxString openFile(wxFileDialog& dialog) {
    if (gOpenFile)
        return gOpenFile(dialog);
    return runModal(dialog) == wxID_OK ? dialog.GetPath() : wxString();
}

int showModal(wxDialog& dialog) {
    if (gModal)
        return gModal(dialog);
    return runModal(dialog);
}

void setMessage(MessageFn fn) { gMessage = std::move(fn); }
void setQuestion(QuestionFn fn) { gQuestion = std::move(fn); }
void setColour(ColourFn fn) { gColour = std::move(fn); }
void setSaveFile(SaveFileFn fn) { gSaveFile = std::move(fn); }
void setOpenFile(OpenFileFn fn) { gOpenFile = std::move(fn); }
void setModal(ModalFn fn) { gModal = std::move(fn); }

void resetAll() {
    gMessage = nullptr;
    gQuestion = nullptr;
    gColour = nullptr;
    gSaveFile = nullptr;
    gOpenFile = nullptr;
    gModal = nullptr;
}

void prepareColourData(wxColourData& data, const wxColour& start) {
    data.SetColour(start);
    data.SetChooseFull(true);
    for (int i = 0; i < 16; ++i)
        data.SetCustomColour(i, wxColour(16 * i, 16 * i, 16 * i));
}

wxString defaultFolder() {
    wxString home = wxGetHomeDir();
    if (!home.empty() && wxDirExists(home))
        return home;
    return wxGetCwd();
}

}  // namespace prompts
