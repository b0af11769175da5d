// The Open dialog in the real tool window: the path text across showings,
// Browse, what OK hands to the engine, and how Cancel and the close box end
// it.
#include <wx/checkbox.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/textctrl.h>

#include <fstream>

#include "Requests.h"
#include "toolwindow_fixture.h"

using twtest::ToolWindow;

namespace {

wxString defaultFolderText() { return wxFileName::DirName(prompts::defaultFolder()).GetPathWithSep(); }

}  // namespace

class OpenDialog : public ToolWindow {
protected:
    wxString file(const char* name) {
        const std::string path = scratch.path(name);
        std::ofstream(path) << "x";
        return wxString::FromUTF8(path.c_str());
    }
    wxString folder() { return wxString::FromUTF8(scratch.root().c_str()); }
};

TEST_F(OpenDialog, FirstOkFindsNoFileInTheDefaultFolder) {
    LoadDial* d = frame->loadDial;
    EXPECT_EQ(d->GetTitle(), "Open");
    menu(frame->idFileLoad);
    ASSERT_TRUE(d->IsShown());
    EXPECT_FALSE(f_showCursor.load());
    EXPECT_EQ(d->pathText->GetValue(), defaultFolderText());
    EXPECT_TRUE(d->autoColourBox->GetValue());
    EXPECT_FALSE(d->premultiplyBox->GetValue());
    EXPECT_EQ(pictureColour(d->colourSwatch), *wxBLACK);

    f_workState = 4;
    click(d->okButton);
    EXPECT_EQ(f_loadFile.get(), defaultFolderText());
    EXPECT_EQ(f_workState.load(), 4);
    EXPECT_TRUE(f_showCursor.load());
    EXPECT_FALSE(d->IsShown());

    // A missing file: closed without a word, no request, the name kept.
    d->Show(true);
    d->pathText->SetValue(folder() + "/missing.png");
    f_workState = 0;
    click(d->okButton);
    EXPECT_EQ(f_loadFile.get(), folder() + "/missing.png");
    EXPECT_EQ(f_workState.load(), 0);
    EXPECT_FALSE(d->IsShown());
    EXPECT_TRUE(answers.messages.empty());
}

TEST_F(OpenDialog, OkWithAFileHandsTheLoadToTheEngine) {
    LoadDial* d = frame->loadDial;
    const wxString picture = file("cat.png");
    struct Row {
        bool white, autoColour, premultiply;
    } rows[] = {{false, true, false}, {true, false, true}};
    for (const Row& r : rows) {
        d->Show(true);
        if (r.white)
            click(d->whiteButton);
        d->autoColourBox->SetValue(r.autoColour);
        d->premultiplyBox->SetValue(r.premultiply);
        d->pathText->SetValue(picture);
        f_workState = 4;
        f_fixedLoadPic = true;
        f_findAutoBcgColor = !r.autoColour;
        f_premultiplyAlpha = !r.premultiply;
        f_showCursor = false;
        click(d->okButton);
        const int c = r.white ? 255 : 0;
        EXPECT_EQ(f_workState.load(), kWorkLoad);
        EXPECT_EQ(f_loadFile.get(), picture);
        EXPECT_FALSE(f_fixedLoadPic.load());
        EXPECT_EQ(wxColour(f_bcgR_choose.load(), f_bcgG_choose.load(), f_bcgB_choose.load()), wxColour(c, c, c));
        EXPECT_EQ(f_findAutoBcgColor.load(), r.autoColour);
        EXPECT_EQ(f_premultiplyAlpha.load(), r.premultiply);
        EXPECT_TRUE(f_showCursor.load());
        EXPECT_FALSE(d->IsShown());
    }
    answers.colours = {wxColour(1, 2, 3)};
    d->Show(true);
    click(d->colourSwatch);
    EXPECT_EQ(d->colourSwatch->GetBitmapLabel().GetSize(), wxSize(30, 30));
    click(d->okButton);
    EXPECT_EQ(wxColour(f_bcgR_choose.load(), f_bcgG_choose.load(), f_bcgB_choose.load()), wxColour(1, 2, 3));
}

TEST_F(OpenDialog, CancelAndTheCloseBoxWriteNothing) {
    LoadDial* d = frame->loadDial;
    const wxString picture = file("cat.png");
    f_findAutoBcgColor = true;
    d->Show(true);
    d->autoColourBox->SetValue(false);
    d->pathText->SetValue(picture);
    f_showCursor = false;
    click(d->cancelButton);
    EXPECT_FALSE(d->IsShown());
    EXPECT_TRUE(f_showCursor.load());
    EXPECT_TRUE(f_findAutoBcgColor.load());
    EXPECT_EQ(f_loadFile.get(), "wyrleArtwork.png");
    d->Show(true);
    EXPECT_FALSE(d->autoColourBox->GetValue());
    EXPECT_EQ(d->pathText->GetValue(), picture);

    // The close box and Esc, the same on Windows: no OK, no load, the
    // cursor as it was.
    for (bool esc : {false, true}) {
        d->Show(true);
        f_showCursor = false;
        if (esc)
            pressEscape(d);
        else
            d->Close();
        EXPECT_FALSE(d->IsShown()) << esc;
        EXPECT_FALSE(f_showCursor.load()) << esc;
    }
    EXPECT_EQ(f_workState.load(), 0);
    EXPECT_EQ(f_loadFile.get(), "wyrleArtwork.png");
}

TEST_F(OpenDialog, AfterASaveEveryShowingProposesTheSavedFile) {
    LoadDial* d = frame->loadDial;
    d->Show(true);
    d->pathText->SetValue("typed.png");
    d->Show(false);
    d->Show(true);
    EXPECT_EQ(d->pathText->GetValue(), "typed.png");
    d->Show(false);

    gFileSaved = true;
    f_saveFile.set(folder() + "/saved.png");
    d->Show(true);
    EXPECT_EQ(d->pathText->GetValue(), folder() + "/saved.png");
    EXPECT_EQ(d->startFolder, folder() + "/saved.png");
    d->pathText->SetValue("typed.png");
    d->Show(false);
    d->Show(true);
    EXPECT_EQ(d->pathText->GetValue(), folder() + "/saved.png");
}

TEST_F(OpenDialog, BrowseStartsFromTheLastChosenFile) {
    LoadDial* d = frame->loadDial;
    wxString seenFolder, seenMessage, seenWildcard;
    long seenStyle = 0;
    prompts::setOpenFile([&](wxFileDialog& chooser) {
        ++answers.openDialogs;
        seenFolder = chooser.GetDirectory();
        seenMessage = chooser.GetMessage();
        seenWildcard = chooser.GetWildcard();
        seenStyle = chooser.GetWindowStyle();
        return answers.openPath;
    });
    d->Show(true);
    d->pathText->SetValue("typed");
    click(d->browseButton);  // cancelled: nothing changes
    EXPECT_EQ(seenFolder, prompts::defaultFolder());
    EXPECT_EQ(seenMessage, "Choose a file");
    EXPECT_TRUE(seenWildcard.StartsWith("All files (*.*)|*.*|BMP files (*.bmp)|*.bmp|"));
    EXPECT_TRUE(seenWildcard.EndsWith("GIF files (*.gif)|*.gif"));
    EXPECT_TRUE(seenStyle & wxFD_OPEN);
    EXPECT_EQ(d->pathText->GetValue(), "typed");
    EXPECT_FALSE(d->browsed);

    wxFileName::Mkdir(folder() + "/pics");
    answers.openPath = file("pics/cat.png");
    click(d->browseButton);
    EXPECT_EQ(d->pathText->GetValue(), answers.openPath);
    EXPECT_TRUE(d->browsed);

    // Hidden and shown again: Browse starts at the chosen file's folder,
    // then at whatever folder the path text names.
    d->Show(false);
    d->Show(true);
    answers.openPath.clear();
    click(d->browseButton);
    EXPECT_EQ(seenFolder, folder() + "/pics");
    d->pathText->SetValue(folder());
    click(d->browseButton);
    EXPECT_EQ(seenFolder, folder());
    EXPECT_EQ(answers.openDialogs, 4);
}
