// The dialogs as the tool window uses them: what their OK and Cancel hand
// to the engine.

#include <wx/checkbox.h>
#include <wx/filename.h>
#include <wx/textctrl.h>

#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>

#include "Requests.h"
#include "toolwindow_fixture.h"

using twtest::ToolWindow;

// --- Artwork dialogs --------------------------------------------------------

TEST_F(ToolWindow, NewSettingsOkAsksTheEngineForANewArtwork) {
    NewDial* d = frame->newDial;
    f_sx = 1234;
    f_sy = 567;
    f_showCursor = false;
    d->Show(true);
    EXPECT_EQ(d->widthText->GetValue(), "1234");  // each showing starts from the artwork
    EXPECT_EQ(d->heightText->GetValue(), "567");

    d->widthText->SetValue("12a");
    click(d->okButton);
    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_EQ(answers.messages[0], "Info: Only numbers are allowed as width and height parameter.");
    EXPECT_EQ(f_workState.load(), 0);
    EXPECT_EQ(f_sx.load(), 1234);
    EXPECT_TRUE(d->IsShown());

    d->widthText->SetValue("4");
    d->heightText->SetValue("300");
    answers.colours = {wxColour(10, 20, 30)};
    click(d->colourSwatch);
    d->alphaBox->SetValue(true);
    click(d->okButton);
    EXPECT_EQ(f_sx.load(), 10);
    EXPECT_EQ(f_sy.load(), 300);
    EXPECT_EQ(wxColour(f_bcgR.load(), f_bcgG.load(), f_bcgB.load()), wxColour(10, 20, 30));
    EXPECT_EQ(f_alphaBCG.load(), 1);
    EXPECT_EQ(f_alphaBCGsave.load(), 1);
    EXPECT_EQ(f_workState.load(), kWorkNewArtwork);
    EXPECT_TRUE(f_showCursor.load());
    EXPECT_FALSE(d->IsShown());

    f_showCursor = false;
    d->Show(true);
    click(d->cancelButton);
    EXPECT_FALSE(d->IsShown());
    EXPECT_TRUE(f_showCursor.load());
}

TEST_F(ToolWindow, OpenOkLoadsOnlyAPictureThatExists) {
    LoadDial* d = frame->loadDial;
    EXPECT_EQ(LoadDial::startFolder(), prompts::defaultFolder());
    f_saveFile.set("/some/where/art.png");
    gFileSaved = true;
    EXPECT_EQ(LoadDial::startFolder(), "/some/where");

    d->Show(true);
    d->pathText->SetValue(wxString::FromUTF8(scratch.path("missing.png").c_str()));
    f_showCursor = false;
    click(d->okButton);
    EXPECT_EQ(f_loadFile.get(), wxString::FromUTF8(scratch.path("missing.png").c_str()));
    EXPECT_EQ(f_workState.load(), 0);
    EXPECT_TRUE(f_showCursor.load());
    EXPECT_FALSE(d->IsShown());

    const std::string picture = scratch.path("cat.png");
    std::ofstream(picture) << "x";
    answers.openPath = wxString::FromUTF8(picture.c_str());
    click(d->browseButton);
    EXPECT_EQ(d->pathText->GetValue(), answers.openPath);
    answers.colours = {wxColour(1, 2, 3)};
    click(d->colourSwatch);
    d->autoColourBox->SetValue(false);
    d->premultiplyBox->SetValue(true);
    f_fixedLoadPic = true;
    click(d->okButton);
    EXPECT_EQ(f_workState.load(), kWorkLoad);
    EXPECT_FALSE(f_fixedLoadPic.load());
    EXPECT_EQ(wxColour(f_bcgR_choose.load(), f_bcgG_choose.load(), f_bcgB_choose.load()), wxColour(1, 2, 3));
    EXPECT_FALSE(f_findAutoBcgColor.load());
    EXPECT_TRUE(f_premultiplyAlpha.load());
}

TEST_F(ToolWindow, ExportOkHandsTheExportToTheEngine) {
    ExportDialog* d = frame->exportDialog;
    f_loadFile.set("/pics/cat.jpg");
    d->Show(true);
    EXPECT_EQ(d->pathText->GetValue(), "/pics/cat.png");
    d->Show(false);
    gSaveAs = true;
    f_exportFile.set("/out/last.tga");
    d->Show(true);
    EXPECT_EQ(d->pathText->GetValue(), "/out/last.tga");

    const wxString target = wxString::FromUTF8(scratch.path("export.png").c_str());
    d->pathText->SetValue(target);
    d->alphaBox->SetValue(true);
    d->straightAlphaBox->SetValue(true);
    f_showCursor = false;
    click(d->okButton);
    EXPECT_EQ(f_exportFile.get(), target);
    EXPECT_TRUE(f_export.load());
    EXPECT_EQ(f_alphaBCGsave.load(), 1);
    EXPECT_EQ(f_premultiAlpha.load(), 1);
    EXPECT_EQ(f_workState.load(), kWorkSave);
    EXPECT_TRUE(f_showCursor.load());
    EXPECT_FALSE(d->IsShown());

    // Over an existing file: No exports nothing; an odd answer says so.
    std::ofstream(scratch.path("export.png")) << "x";
    for (int reply : {static_cast<int>(wxID_NO), static_cast<int>(wxID_CANCEL)}) {
        f_workState = 0;
        f_export = false;
        answers.questionReplies = {reply};
        d->Show(true);
        d->pathText->SetValue(target);
        click(d->okButton);
        EXPECT_EQ(f_workState.load(), 0);
        EXPECT_FALSE(f_export.load());
        EXPECT_TRUE(d->IsShown());
        d->Show(false);
    }
    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_EQ(answers.messages[0], "info: Unexpected Dialog return code!");
}

// --- The real yes/no box ----------------------------------------------------

// The box itself, not a test seam: another process focuses it and presses
// Esc, which GTK turns into a cancel; the program takes that as No.
TEST(QuestionBox, EscAnswersNo) {
    if (!twtest::startWx())
        GTEST_SKIP() << "no X display";
    if (std::system("command -v xdotool >/dev/null") != 0)
        GTEST_SKIP() << "xdotool is missing";
    prompts::resetAll();
    std::thread esc([] {
        std::system(
            "timeout 30 xdotool search --sync --name '^Wyrle question box test$' windowfocus --sync key Escape "
            ">/dev/null 2>&1");
    });
    const int answer = prompts::question("Answered by Esc?", "Wyrle question box test", wxYES_NO | wxICON_QUESTION);
    esc.join();
    EXPECT_EQ(answer, wxID_NO);
}
