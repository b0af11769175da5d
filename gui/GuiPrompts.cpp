#include "gui/GuiPrompts.h"

#include <wx/app.h>
#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/colordlg.h>
#include <wx/dialog.h>
#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include <memory>
#include <utility>

#include "gui/DialogKit.h"

namespace prompts {
namespace {

MessageFn gMessage;
QuestionFn gQuestion;
ColourFn gColour;
SaveFileFn gSaveFile;
OpenFileFn gOpenFile;
ModalFn gModal;

// A modal window comes up with the user time of the act it answers, and is
// raised once it is up (see dialogkit::present).
int runModal(wxDialog& dialog) {
    dialogkit::stampUserTime(&dialog);
    dialog.CallAfter([&dialog] { dialogkit::present(&dialog); });
    return dialog.ShowModal();
}

// A box that names no icon gets the toolkit's own default, as its message
// boxes do: the question mark for Yes/No, else the information sign.
wxArtID iconOf(long style) {
    if (style & wxICON_NONE)
        return wxArtID();
    if (style & wxICON_INFORMATION)
        return wxART_INFORMATION;
    if (style & wxICON_QUESTION)
        return wxART_QUESTION;
    if (style & wxICON_WARNING)
        return wxART_WARNING;
    if (style & wxICON_ERROR)
        return wxART_ERROR;
    return (style & wxYES_NO) ? wxART_QUESTION : wxART_INFORMATION;
}

// The program's message box: the icon its style asks for beside the text,
// and the buttons at their own size on the right. (GTK's own box, behind
// wxMessageDialog, shows no icon, stretches its buttons across the box and
// sits over its parent, which for the tool window is the screen's edge.)
class Box : public wxDialog {
public:
    Box(wxWindow* owner, const wxString& text, const wxString& caption, long style)
        : wxDialog(owner, wxID_ANY, caption) {
        wxBoxSizer* main = new wxBoxSizer(wxVERTICAL);
        wxBoxSizer* body = new wxBoxSizer(wxHORIZONTAL);
        const wxArtID icon = iconOf(style);
        if (!icon.empty())
            body->Add(new wxStaticBitmap(this, wxID_ANY, wxArtProvider::GetBitmap(icon, wxART_MESSAGE_BOX)), 0,
                      wxRIGHT, 15);
        wxStaticText* label = new wxStaticText(this, wxID_ANY, text);
        label->Wrap(FromDIP(480));
        body->Add(label, 0, wxALIGN_CENTER_VERTICAL, 0);
        main->Add(body, 0, wxALL, 15);

        wxBoxSizer* buttons = new wxBoxSizer(wxHORIZONTAL);
        wxButton* chosen = nullptr;
        if (style & wxYES_NO) {
            wxButton* yes = new wxButton(this, wxID_YES);
            wxButton* no = new wxButton(this, wxID_NO);
            buttons->Add(yes, 0, wxRIGHT, 8);
            buttons->Add(no, 0, 0, 0);
            chosen = (style & wxNO_DEFAULT) ? no : yes;
            SetEscapeId(wxID_NO);
        } else {
            chosen = new wxButton(this, wxID_OK);
            buttons->Add(chosen, 0, 0, 0);
            SetEscapeId(wxID_OK);
        }
        main->Add(buttons, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 12);
        chosen->SetDefault();
        chosen->SetFocus();
        for (int id : {wxID_YES, wxID_NO, wxID_OK})
            Bind(wxEVT_BUTTON, [this](wxCommandEvent& event) { EndModal(event.GetId()); }, id);
        SetSizerAndFit(main);
        CentreOnScreen();
    }
};

int runBox(const wxString& text, const wxString& caption, long style, wxWindow* parent) {
    Box box(ownerOf(parent), text, caption, style);
    return runModal(box);
}

}  // namespace

wxWindow* ownerOf(wxWindow* parent) {
    wxWindow* owner = parent ? wxGetTopLevelParent(parent) : wxGetActiveWindow();
    if (owner && owner->IsShown())
        return owner;
    wxWindow* main = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
    return main && main->IsShown() ? main : nullptr;
}

void message(const wxString& text, const wxString& caption, wxWindow* parent) {
    if (gMessage) {
        gMessage(text, caption, parent);
        return;
    }
    runBox(text, caption, wxOK | wxCENTRE, parent);
}

int question(const wxString& text, const wxString& caption, long style, wxWindow* parent) {
    if (gQuestion)
        return gQuestion(text, caption, style, parent);
    return runBox(text, caption, style, parent);
}

int askOverwrite(wxWindow* parent) {
    return question(_("File already exists. Do you want to overwrite it?"), _("Info"),
                    wxYES_NO | wxNO_DEFAULT | wxICON_INFORMATION, parent);
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
