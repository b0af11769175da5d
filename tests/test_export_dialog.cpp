// The Export dialog in the real tool window: the enabling rule on its
// controls, the name the selector proposes, the overwrite question, and
// that only an export that goes ahead changes a setting.
#include <wx/checkbox.h>
#include <wx/filename.h>
#include <wx/radiobut.h>

#include <fstream>

#include "core/FileNames.h"
#include "core/Requests.h"
#include "tests/toolwindow_fixture.h"

using twtest::ToolWindow;

class ExportTest : public ToolWindow {
protected:
    void choose(wxRadioButton* format) {
        format->SetValue(true);
        wxCommandEvent ev(wxEVT_RADIOBUTTON, format->GetId());
        ev.SetEventObject(format);
        ev.SetInt(1);
        format->GetEventHandler()->ProcessEvent(ev);
    }
    void tick(wxCheckBox* box, bool on) {
        box->SetValue(on);
        wxCommandEvent ev(wxEVT_CHECKBOX, box->GetId());
        ev.SetEventObject(box);
        ev.SetInt(on);
        box->GetEventHandler()->ProcessEvent(ev);
    }
    // "T" / "t": Transparent checked / unchecked, "-" when disabled; then
    // the same for Straight ("S"), then "J" when JPG is enabled.
    std::string state() {
        ExportDialog* d = frame->exportDialog;
        auto box = [](wxCheckBox* b, char on) {
            return std::string(1, !b->IsEnabled() ? '-' : b->GetValue() ? on : static_cast<char>(on + 32));
        };
        return box(d->CheckBoxSaveAlpha, 'T') + box(d->CheckBoxSaveAlphaStraight, 'S') +
               (d->RadioButtonJPG->IsEnabled() ? "J" : "-");
    }
    wxString path(const char* name) { return wxString::FromUTF8(scratch.path(name).c_str()); }
};

TEST_F(ExportTest, EnablingFollowsTheArtworkAndTheFormat) {
    ExportDialog* d = frame->exportDialog;
    EXPECT_EQ(d->GetTitle(), "Export");
    EXPECT_TRUE(d->RadioButtonPNG->GetValue());
    menu(frame->idFileExport);
    ASSERT_TRUE(d->IsShown());
    EXPECT_EQ(state(), "--J");  // no alpha
    d->Show(false);

    f_alphaBCG = 1;
    d->Show(true);
    EXPECT_EQ(state(), "Ts-");
    tick(d->CheckBoxSaveAlphaStraight, true);
    EXPECT_EQ(state(), "TS-");
    tick(d->CheckBoxSaveAlpha, false);
    EXPECT_EQ(state(), "t-J");
    choose(d->RadioButtonJPG);
    EXPECT_EQ(state(), "--J");
    choose(d->RadioButtonPNG);
    EXPECT_EQ(state(), "tsJ");
    tick(d->CheckBoxSaveAlpha, true);
    EXPECT_EQ(state(), "Ts-");

    // JPG chosen last stays chosen at the next showing, boxes off.
    tick(d->CheckBoxSaveAlpha, false);
    choose(d->RadioButtonJPG);
    d->Show(false);
    d->Show(true);
    EXPECT_TRUE(d->RadioButtonJPG->GetValue());
    EXPECT_EQ(state(), "--J");
    for (wxRadioButton* format : {d->RadioButtonTGA, d->RadioButtonTIF, d->RadioButtonBMP}) {
        choose(format);
        EXPECT_EQ(state(), "tsJ");
    }
}

TEST_F(ExportTest, TheSelectorProposesTheArtworkName) {
    ExportDialog* d = frame->exportDialog;
    struct Row {
        bool saveAs;
        const char *exportFile, *loadFile;
        wxRadioButton* format;
        wxString folder, name, types;
    } rows[] = {
        {false, "", "wyrleArtwork.png", d->RadioButtonTGA, wxFileName::DirName(prompts::defaultFolder()).GetPathWithSep(),
         "wyrleArtwork", "*.tga|*.tga"},
        {false, "/out/x.png", "/pics/a.jpg", d->RadioButtonJPG, "/pics/", "a", "*.jpg|*.jpg"},
        {true, "/out/x.png", "/pics/a.jpg", d->RadioButtonBMP, "/out/", "x", "*.bmp|*.bmp"},
    };
    for (const Row& r : rows) {
        gSaveAs = r.saveAs;
        f_exportFile.set(r.exportFile);
        f_loadFile.set(r.loadFile);
        d->Show(true);
        choose(r.format);
        f_showCursor = false;
        click(d->okButton);  // the selector is cancelled
        EXPECT_EQ(answers.saveFolder, r.folder) << r.loadFile;
        EXPECT_EQ(answers.saveName, r.name) << r.loadFile;
        EXPECT_EQ(answers.saveTypes, r.types) << r.loadFile;
        EXPECT_FALSE(d->IsShown());
        EXPECT_TRUE(f_showCursor.load());
        EXPECT_EQ(f_workState.load(), 0);
    }
}

TEST_F(ExportTest, ANewFileIsExportedWithItsFormatsExtension) {
    ExportDialog* d = frame->exportDialog;
    f_alphaBCG = 1;
    d->Show(true);
    choose(d->RadioButtonTGA);
    tick(d->CheckBoxSaveAlphaStraight, true);
    answers.saveAnswer.path = path("bare");  // GTK gives a bare name back
    f_workState = 4;
    f_showCursor = false;
    click(d->okButton);
    EXPECT_EQ(answers.questions, 0);
    EXPECT_EQ(f_exportFile.get(), path("bare.tga"));
    EXPECT_TRUE(f_export.load());
    EXPECT_EQ(f_alphaBCGsave.load(), 1);
    EXPECT_EQ(f_premultiAlpha.load(), 1);
    EXPECT_EQ(f_workState.load(), kWorkSave);
    EXPECT_TRUE(f_showCursor.load());
    EXPECT_FALSE(d->IsShown());
}

TEST_F(ExportTest, AnExistingFileOrFolderIsAskedAbout) {
    ExportDialog* d = frame->exportDialog;
    std::ofstream(scratch.path("old.png")) << "x";
    wxFileName::Mkdir(path("folder.png"));
    f_alphaBCG = 1;
    struct Row {
        const char* file;
        int reply;
        bool exported, shown;
        size_t messages;
    } rows[] = {
        {"old.png", wxID_YES, true, false, 0},
        {"old.png", wxID_NO, false, false, 0},
        {"folder.png", wxID_NO, false, false, 0},
        {"old.png", wxID_CANCEL, false, true, 1},
    };
    for (const Row& r : rows) {
        d->Show(true);
        tick(d->CheckBoxSaveAlphaStraight, true);
        answers.saveAnswer.path = path(r.file);
        answers.questionReplies = {r.reply};
        answers.questions = 0;
        answers.messages.clear();
        f_workState = 0;
        f_export = false;
        f_exportFile.set("");
        f_alphaBCGsave = 0;
        f_premultiAlpha = 0;
        f_showCursor = false;
        click(d->okButton);
        EXPECT_EQ(answers.questions, 1) << r.file << " " << r.reply;
        EXPECT_EQ(f_workState.load(), r.exported ? kWorkSave : 0) << r.reply;
        EXPECT_EQ(f_export.load(), r.exported) << r.reply;
        EXPECT_EQ(f_exportFile.get(), r.exported ? path(r.file) : "") << r.reply;
        // Only an export that goes ahead takes the alpha choices.
        EXPECT_EQ(f_alphaBCGsave.load(), r.exported ? 1 : 0) << r.reply;
        EXPECT_EQ(f_premultiAlpha.load(), r.exported ? 1 : 0) << r.reply;
        EXPECT_EQ(d->IsShown(), r.shown) << r.reply;
        EXPECT_EQ(f_showCursor.load(), !r.shown) << r.reply;
        ASSERT_EQ(answers.messages.size(), r.messages) << r.reply;
        if (r.messages) {
            EXPECT_EQ(answers.messages[0], "info: Unexpected Dialog return code!");
        }
        d->Show(false);
    }
}

TEST_F(ExportTest, AnAbandonedExportLeavesTheAlphaSettings) {
    ExportDialog* d = frame->exportDialog;
    f_alphaBCG = 1;
    f_alphaBCGsave = 0;
    f_premultiAlpha = 0;
    d->Show(true);
    tick(d->CheckBoxSaveAlphaStraight, true);  // Transparent is checked too
    click(d->okButton);                        // the selector gives no path
    EXPECT_EQ(answers.saveDialogs, 1);
    d->Show(true);
    click(d->cancelButton);
    EXPECT_EQ(f_alphaBCGsave.load(), 0);
    EXPECT_EQ(f_premultiAlpha.load(), 0);
    EXPECT_FALSE(f_export.load());
    EXPECT_EQ(f_workState.load(), 0);
    EXPECT_TRUE(f_showCursor.load());

    // The close box and Esc run nothing of the dialog's own.
    expectEscIgnoredAndCloseBoxOnlyHides(d);
    EXPECT_EQ(answers.saveDialogs, 1);
}
