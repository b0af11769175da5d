#pragma once
// Every modal box the tool window and its dialogs raise on the GUI thread
// goes through here, so tests can answer them instead of blocking on a
// modal window. The defaults show the real wx boxes.

#include <wx/colour.h>
#include <wx/colourdata.h>
#include <wx/string.h>

#include <functional>

class wxWindow;
class wxDialog;
class wxFileDialog;

namespace prompts {

// Message boxes and questions belong to the window they were asked from
// (`parent`, or with none the program's focused window, else the tool
// window): they stay above it, also when it stays on top of others, and are
// centred on the screen.

// An OK box; `parent` may be null.
using MessageFn = std::function<void(const wxString& text, const wxString& caption, wxWindow* parent)>;
// A yes/no box; returns wxID_YES, wxID_NO or whatever else the box gave.
// Esc and the close box count as No. `parent` may be null.
using QuestionFn = std::function<int(const wxString& text, const wxString& caption, long style, wxWindow* parent)>;
// The colour dialog: true on OK with the choice in data.GetColour().
using ColourFn = std::function<bool(wxWindow* parent, wxColourData& data)>;
// The save-file selector's answer: the chosen path (empty when cancelled)
// and the index of the file type selected in it.
struct SaveAnswer {
    wxString path;
    int filterIndex = 0;
};
using SaveFileFn = std::function<SaveAnswer(wxWindow* parent, const wxString& title, const wxString& folder,
                                            const wxString& name, const wxString& wildcard)>;
// The save-file dialog the default selector shows. The file-type lists end
// in a bar, which wx does not accept; it is taken off here.
wxFileDialog* newSaveDialog(wxWindow* parent, const wxString& title, const wxString& folder, const wxString& name,
                            const wxString& wildcard);

// Runs an open-file dialog: the chosen path, empty when cancelled.
using OpenFileFn = std::function<wxString(wxFileDialog& dialog)>;
// Runs a dialog modally and returns its result.
using ModalFn = std::function<int(wxDialog& dialog)>;

void message(const wxString& text, const wxString& caption, wxWindow* parent = nullptr);
int question(const wxString& text, const wxString& caption, long style, wxWindow* parent = nullptr);
// The question before a save or an export writes over an existing file.
int askOverwrite(wxWindow* parent = nullptr);
// The top-level window a box asked from `parent` belongs to.
wxWindow* ownerOf(wxWindow* parent);
bool chooseColour(wxWindow* parent, wxColourData& data);
SaveAnswer saveFile(wxWindow* parent, const wxString& title, const wxString& folder, const wxString& name,
                    const wxString& wildcard);
wxString openFile(wxFileDialog& dialog);
int showModal(wxDialog& dialog);

// Test seams; a null function restores the real box.
void setMessage(MessageFn fn);
void setQuestion(QuestionFn fn);
void setColour(ColourFn fn);
void setSaveFile(SaveFileFn fn);
void setOpenFile(OpenFileFn fn);
void setModal(ModalFn fn);
void resetAll();

// The colour data both colour swatches open with: `start`, the full
// dialog, and sixteen greys from black to (240, 240, 240) as custom colours.
void prepareColourData(wxColourData& data, const wxColour& start);

// Where the program proposes files and starts its file dialogs: the home
// folder, or the working folder when there is none.
wxString defaultFolder();

}  // namespace prompts
