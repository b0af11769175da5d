// The dialogs as the tool window uses them: what their OK and Cancel hand
// to the engine, and the gradient tool's pictures and hand-over.

#include <wx/checkbox.h>
#include <wx/filename.h>
#include <wx/spinctrl.h>
#include <wx/statbmp.h>
#include <wx/textctrl.h>

#include <fstream>
#include <mutex>
#include <sstream>

#include "Requests.h"
#include "toolwindow_fixture.h"

using twtest::ToolWindow;

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

wxColour pixel(const wxBitmap& bitmap, int x, int y) {
    wxImage image = bitmap.ConvertToImage();
    return wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
}

}  // namespace

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

TEST_F(ToolWindow, PreferencesKeepTheUndoShareInPrefsCfg) {
    // The dialog's construction wrote the default file.
    EXPECT_EQ(readFile("prefs.cfg"), "#Wyrle 1.0 configuration file\nUndoPercent = 30\n");
    SettingsDialog* d = frame->settingsDialog;
    f_undoMax = 41;
    d->Show(true);
    EXPECT_EQ(d->undoPercent->GetValue(), 30);
    EXPECT_EQ(d->undoSteps->GetLabel(), "Undo steps: 20");
    d->undoPercent->SetValue(55);
    f_showCursor = false;
    click(d->okButton);
    EXPECT_EQ(readFile("prefs.cfg"), "UndoPercent = 55 #UndoPercent\n");
    EXPECT_TRUE(f_showCursor.load());
    EXPECT_FALSE(d->IsShown());
}

TEST_F(ToolWindow, AboutBoxShowsTheLogo) {
    ASSERT_NE(frame->aboutDialog->logo, nullptr);
    EXPECT_EQ(frame->aboutDialog->logo->GetBitmap().GetSize(), wxSize(240, 80));
}

// --- Gradient tool ----------------------------------------------------------

TEST_F(ToolWindow, GradientPicturesFollowTheEnabledStops) {
    GradientDialog* g = frame->gradientDialog;
    wxBitmap def = g->GradientBitmap(80, 10);
    EXPECT_EQ(def.GetSize(), wxSize(80, 10));
    EXPECT_EQ(pixel(def, 0, 5), wxColour(213, 25, 32));
    EXPECT_EQ(pixel(def, 39, 5), wxColour(4, 167, 225));  // stop 4 at 4 * 79 / 8
    EXPECT_EQ(pixel(def, 79, 5), wxColour(213, 25, 32));

    for (bool& on : g->checkBoxStateArray)
        on = false;
    wxBitmap none = g->GradientBitmap(50, 4);
    EXPECT_EQ(pixel(none, 0, 0), wxColour(255, 0, 0));
    EXPECT_EQ(pixel(none, 49, 0), wxColour(0, 0, 255));
    g->checkBoxStateArray[3] = true;
    wxBitmap one = g->GradientBitmap(50, 4);
    for (int x : {0, 20, 49})
        EXPECT_EQ(pixel(one, x, 2), wxColour(47, 194, 57));
    EXPECT_EQ(pixel(GradientDialog::GetOneColorBitmap(7, 7, wxColour(9, 8, 7)), 3, 3), wxColour(9, 8, 7));
}

TEST_F(ToolWindow, PostPaletteWritesOnlyTheEnabledStops) {
    {
        std::lock_guard<std::mutex> lock(gPaletteMutex);
        for (int k = 0; k < kPaletteSize; ++k)
            paletteRadd[k] = paletteSet[k] = 7;
    }
    GradientDialog* g = frame->gradientDialog;
    g->checkBoxStateArray[4] = false;
    g->checkBoxStateArray[5] = true;
    g->gradientArray[5] = wxColour(1, 2, 3);
    g->PostPalette();
    EXPECT_TRUE(f_setPalette.load());
    std::lock_guard<std::mutex> lock(gPaletteMutex);
    for (int k = 0; k < kPaletteSize; ++k) {
        const bool stop = k == 0 || k == 2000 || k == 3200;
        ASSERT_EQ(paletteSet[k], stop ? 1 : 0) << k;
        if (!stop) {
            ASSERT_EQ(paletteRadd[k], 0) << k;
        }
    }
    EXPECT_EQ(paletteRadd[0], 213);
    EXPECT_EQ(paletteRadd[2000], 1);
    EXPECT_EQ(paletteGadd[2000], 2);
    EXPECT_EQ(paletteBadd[2000], 3);
}

TEST_F(ToolWindow, GradientToolKeepsItsLastStopAndDropsUnappliedEdits) {
    GradientDialog* g = frame->gradientDialog;
    g->Show(true);  // takes the snapshot
    g->OnStopCheckClick(0, false);
    g->OnStopCheckClick(4, false);
    EXPECT_TRUE(g->isLastCheckBox());
    g->OnStopCheckClick(8, false);  // refused: the last one stays
    EXPECT_TRUE(g->checkBoxStateArray[8]);
    EXPECT_TRUE(g->checkBoxes[8]->GetValue());
    answers.colours = {wxColour(9, 9, 9)};
    g->OnStopColourClick(2);  // a new colour switches its stop on
    EXPECT_TRUE(g->checkBoxStateArray[2] && g->checkBoxes[2]->GetValue());

    g->PreClose();
    EXPECT_TRUE(g->checkBoxStateArray[0] && g->checkBoxStateArray[4] && g->checkBoxStateArray[8]);
    EXPECT_FALSE(g->checkBoxStateArray[2]);
    EXPECT_EQ(g->gradientArray[2], wxColour(222, 197, 26));
    EXPECT_FALSE(g->isLastCheckBox());
    g->Show(false);
}

TEST_F(ToolWindow, GradientApplyAndOkHandOverTheStopsAndTiming) {
    GradientDialog* g = frame->gradientDialog;
    click(frame->gradientButton);
    click(frame->colorSwatch);  // shown, with the swatch handed over
    ASSERT_TRUE(g->IsShown());
    g->gradientArray[0] = wxColour(0, 0, 0);
    scroll(g->SliderTime, 7);
    EXPECT_FLOAT_EQ(f_perpixelzTimeVal.load(), 7);
    EXPECT_EQ(g->StaticTextTimeValue->GetLabel(), "7");
    f_showCursor = false;
    click(g->applyButton);
    EXPECT_EQ(f_perpixelzMode.load(), 1);
    EXPECT_FLOAT_EQ(f_perpixelzTime.load(), 7);
    EXPECT_TRUE(f_showCursor.load());
    EXPECT_TRUE(g->IsShown());
    EXPECT_EQ(pixel(frame->colorSwatch->GetBitmapLabel(), 0, 0), wxColour(0, 0, 0));
    // Applied edits survive a later restore.
    g->PreClose();
    EXPECT_EQ(g->gradientArray[0], wxColour(0, 0, 0));

    g->CheckBoxUseTime->SetValue(false);
    click(g->applyButton);
    EXPECT_EQ(f_perpixelzMode.load(), 0);
    EXPECT_FLOAT_EQ(f_perpixelzTime.load(), 0);

    // OK leaves the mode and closes the tool for the tool window too.
    f_perpixelzMode = 1;
    g->CheckBoxUseTime->SetValue(true);
    click(g->okButton);
    EXPECT_FALSE(g->IsShown());
    EXPECT_FALSE(frame->bGradientShown);
    EXPECT_EQ(f_perpixelzMode.load(), 1);
    EXPECT_FLOAT_EQ(f_perpixelzTime.load(), 7);
}
