// The dialogs as the tool window uses them: what their OK and Cancel hand
// to the engine, and the brush library's capture hand-shake, saving and
// applying of presets.

#include <wx/checkbox.h>
#include <wx/filename.h>
#include <wx/textctrl.h>

#include <fstream>
#include <mutex>
#include <sstream>

#include "MetadataHandler.h"
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

}  // namespace

// --- Brush library ----------------------------------------------------------

TEST_F(ToolWindow, BrushLibraryNewDrivesTheCaptureHandShake) {
    SaveBrushDialog* b = frame->saveBrushDialog;
    struct {
        int before, after;
        bool enabled;
    } table[] = {{0, 1, true}, {1, 1, false}, {2, 3, false}, {3, 3, false}};
    for (const auto& row : table) {
        f_newBrushPreset = row.before;
        f_showBcg = true;
        f_workState = 0;
        click(b->newButton);
        EXPECT_EQ(f_newBrushPreset.load(), row.after) << row.before;
        EXPECT_EQ(b->nameText->IsEnabled(), row.enabled) << row.before;
        EXPECT_EQ(b->okButton->IsEnabled(), row.enabled) << row.before;
        EXPECT_EQ(f_workState.load(), row.before == 0 ? kWorkFillFront : 0) << row.before;
        EXPECT_EQ(f_showBcg.load(), row.before != 0) << row.before;
    }

    // Its close box hides it for the tool window and ends a running capture.
    click(frame->brushLibraryButton);
    for (int capture : {1, 2}) {
        b->Show(true);
        frame->bBrushesShown = true;
        frame->menuBrushes->Check(true);
        f_newBrushPreset = capture;
        b->Close();
        EXPECT_FALSE(b->IsShown());
        EXPECT_FALSE(frame->bBrushesShown);
        EXPECT_FALSE(frame->menuBrushes->IsChecked());
        EXPECT_EQ(f_newBrushPreset.load(), capture == 2 ? 3 : 1);
    }
}

TEST(BrushPresetComment, MatchesTheFormat) {
    paletteBasicRadd = 255;
    paletteBasicGadd = 128;
    paletteBasicBadd = 0;
    f_perpixelz = 0;
    f_opacityz = 100;
    f_additive = true;
    f_modes = 1;
    f_PartNum = 300;
    f_NormLen = 2.5f;
    f_PartStep = 1;
    f_velInf = 1;
    f_slow1 = 0.97f;
    f_mass1 = 0;
    f_mass2 = 4;
    f_DistZ = 0;
    f_randd = 0;
    f_paintDetail = 4;
    f_fadez = 10;
    f_fillz = true;
    f_spline = false;
    const std::string colour = SaveBrushDialog::BrushMetadata();
    EXPECT_EQ(colour,
              "V|150|C|255|128|0|P|100|S|1|BRU|A|1|B|300|C|100000|D|1|E|0|F|100000|G|0|H|100000|I|100000|J|0|K|4|"
              "L|10|M|1|N|0|END");
    EXPECT_EQ(colour.size(), 114u);

    f_perpixelz = 1;
    f_perpixelzMode = 0;
    f_perpixelzTimeVal = 7.9f;
    f_perpixelzTime = 0;
    {
        std::lock_guard<std::mutex> lock(gPaletteMutex);
        for (int i = 0; i < 9; ++i) {
            paletteSet[i * 400] = i % 4 == 0;
            paletteRadd[i * 400] = i;
            paletteGadd[i * 400] = 10 * i;
            paletteBadd[i * 400] = 255;
        }
    }
    const std::string gradient = SaveBrushDialog::BrushMetadata();
    EXPECT_EQ(gradient.substr(0, 48), "V|150|G|0|7|T|F|F|F|T|F|F|F|T|0|0|255|1|10|255|2");
    EXPECT_NE(gradient.find("|8|80|255|F|P|100|S|1|BRU|A|1|"), std::string::npos);
    size_t fields = 1;
    for (char c : gradient)
        fields += c == '|';
    EXPECT_EQ(fields, 76u);
}

class BrushLibrary : public ToolWindow {
protected:
    void SetUp() override {
        ToolWindow::SetUp();
        if (IsSkipped())
            return;
        std::lock_guard<std::mutex> lock(gBrushPreviewMutex);
        brushColor.setUseTexture(false);
        brushIconColor.setUseTexture(false);
        brushColor.allocate(256, 256, OF_IMAGE_COLOR);
        brushIconColor.allocate(64, 64, OF_IMAGE_COLOR);
    }

    // Saves a preset of the current settings under `name`.
    void save(const char* name) {
        SaveBrushDialog* b = frame->saveBrushDialog;
        f_newBrushPreset = 0;
        click(b->newButton);
        b->nameText->SetValue(name);
        click(b->okButton);
    }
    wxBitmapButton* row(size_t i) {
        SaveBrushDialog* b = frame->saveBrushDialog;
        return i < b->rows.size() ? static_cast<wxBitmapButton*>(wxWindow::FindWindowById(b->rows[i].first, b))
                                  : nullptr;
    }
};

TEST_F(BrushLibrary, SavesThePreviewPicturesWithTheSettingsComment) {
    f_PartNum = 77;
    save("Soft one");
    const std::string picture = scratch.path("Brushes/Soft one.png");
    const std::string icon = scratch.path("Brushes/Icons/Soft one.png");
    ASSERT_TRUE(wxFileName::FileExists(picture));
    ASSERT_TRUE(wxFileName::FileExists(icon));
    const std::string expected = SaveBrushDialog::BrushMetadata();
    for (const std::string& path : {picture, icon}) {
        MetadataHandler reader(wxString::FromUTF8(path.c_str()));
        ASSERT_TRUE(reader.ReadCommentPng()) << path;
        EXPECT_EQ(std::string(reader.comment), expected) << path;
    }
    EXPECT_EQ(f_newBrushPreset.load(), 3);
    EXPECT_FALSE(frame->saveBrushDialog->okButton->IsEnabled());
    ASSERT_EQ(frame->saveBrushDialog->rows.size(), 1u);
    EXPECT_TRUE(answers.messages.empty());

    // A refused name writes nothing and leaves the capture running.
    f_newBrushPreset = 0;
    click(frame->saveBrushDialog->newButton);
    f_newBrushPreset = 2;
    frame->saveBrushDialog->nameText->SetValue("no.dots");
    click(frame->saveBrushDialog->okButton);
    EXPECT_EQ(answers.messages.size(), 1u);
    EXPECT_EQ(f_newBrushPreset.load(), 2);
    EXPECT_TRUE(frame->saveBrushDialog->okButton->IsEnabled());
    EXPECT_FALSE(wxFileName::FileExists(scratch.path("Brushes/no.dots.png")));

    // An existing name is asked about; No keeps the old files.
    const std::string before = readFile(picture);
    f_PartNum = 5;
    answers.questionReplies = {wxID_NO};
    save("Soft one");
    EXPECT_EQ(answers.questions, 1);
    EXPECT_EQ(readFile(picture), before);
    EXPECT_EQ(f_newBrushPreset.load(), 1);  // the capture goes on
}

TEST_F(BrushLibrary, ApplyingAPresetRestoresSettingsAndControls) {
    answers.colours = {wxColour(255, 128, 0)};
    click(frame->colorSwatch);
    scroll(frame->sliderOpacity, 100);
    click(frame->followButton);
    scroll(frame->sliderSize, 300);
    scroll(frame->sliderWidth, 10);
    scroll(frame->sliderSoft, 1);
    scroll(frame->sliderFade, 1);
    click(frame->smoothButton);
    save("Orange");

    // Everything changed afterwards comes back from the preset.
    answers.colours = {wxColour(0, 0, 255)};
    click(frame->colorSwatch);
    click(frame->colorSwatch);
    click(frame->darkenButton);
    scroll(frame->sliderOpacity, 10);
    click(frame->ribbonButton);
    scroll(frame->sliderSize, 20);
    scroll(frame->sliderWidth, 1);
    scroll(frame->sliderSoft, 50);
    scroll(frame->sliderFade, 0);
    click(frame->smoothButton);
    f_setStrings = false;

    ASSERT_NE(row(0), nullptr);
    click(row(0));
    EXPECT_EQ(paletteBasicRadd.load(), 255);
    EXPECT_EQ(paletteBasicGadd.load(), 128);
    EXPECT_EQ(paletteBasicBadd.load(), 0);
    EXPECT_EQ(frame->sliderColor->GetValue(), 20);
    EXPECT_EQ(label(frame->labelSaturation), "240");
    EXPECT_EQ(frame->sliderLum->GetValue(), 120);
    EXPECT_EQ(frame->swatchColor, wxColour(255, 128, 0));
    EXPECT_TRUE(highlighted(frame->colorButton));
    EXPECT_FLOAT_EQ(f_opacityz.load(), 100);
    EXPECT_EQ(frame->sliderOpacity->GetValue(), 100);
    EXPECT_TRUE(f_additive.load());
    EXPECT_TRUE(highlighted(frame->lightenButton));
    EXPECT_EQ(f_modes.load(), 1);
    EXPECT_TRUE(highlighted(frame->followButton) && normal(frame->ribbonButton));
    EXPECT_EQ(f_PartNum.load(), 300);
    EXPECT_EQ(frame->sliderSize->GetValue(), 300);
    EXPECT_EQ(frame->sliderWidth->GetValue(), 10);
    EXPECT_FLOAT_EQ(f_NormLen.load(), 2.5f);
    EXPECT_EQ(frame->sliderSoft->GetValue(), 1);
    EXPECT_FLOAT_EQ(f_velInf.load(), 1);
    EXPECT_FLOAT_EQ(f_fadez.load(), 10);
    EXPECT_EQ(frame->sliderFade->GetValue(), 1);
    EXPECT_FALSE(f_spline.load());
    EXPECT_TRUE(normal(frame->smoothButton));
    EXPECT_TRUE(f_setStrings.load() && f_setPalette.load());

    // Without "Use Brush Color" only the brush parameters are applied.
    click(frame->darkenButton);
    scroll(frame->sliderSize, 20);
    frame->saveBrushDialog->useBrushColor->SetValue(false);
    click(row(0));
    EXPECT_FALSE(f_additive.load());
    EXPECT_EQ(f_PartNum.load(), 300);
}

TEST_F(BrushLibrary, AGradientPresetSwitchesTheToolWindowToTheGradient) {
    frame->gradientDialog->gradientArray[4] = wxColour(0, 255, 0);
    click(frame->gradientButton);
    frame->gradientDialog->PostPalette();
    f_perpixelzMode = 1;
    f_perpixelzTimeVal = 6;
    f_perpixelzTime = 6;
    save("Rainbow");

    click(frame->colorButton);
    frame->gradientDialog->gradientArray[4] = wxColour(1, 1, 1);
    frame->gradientDialog->checkBoxStateArray[2] = true;
    ASSERT_NE(row(0), nullptr);
    click(row(0));
    EXPECT_EQ(f_perpixelz.load(), 1);
    EXPECT_EQ(frame->gradientDialog->gradientArray[4], wxColour(0, 255, 0));
    EXPECT_FALSE(frame->gradientDialog->checkBoxStateArray[2]);
    EXPECT_EQ(frame->gradientDialog->SliderTime->GetValue(), 6);
    EXPECT_FLOAT_EQ(f_perpixelzTime.load(), 6);
    EXPECT_FALSE(frame->sliderColor->IsEnabled());
    {
        std::lock_guard<std::mutex> lock(gPaletteMutex);
        EXPECT_EQ(paletteGadd[1600], 255);
    }
    // The tool window follows at its next event dispatch.
    EXPECT_FALSE(frame->bGradientMode);
    frame->GetEventHandler()->ProcessPendingEvents();
    EXPECT_TRUE(frame->bGradientMode);
}

TEST_F(BrushLibrary, ACommentOfAnotherVersionAppliesNothing) {
    wxFileName::Mkdir(scratch.path("Brushes/Icons"), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    for (const char* path : {"Brushes/Odd.png", "Brushes/Icons/Odd.png"}) {
        ASSERT_TRUE(brushIconColor.saveImage(scratch.path(path)));
        ASSERT_TRUE(MetadataHandler(wxString::FromUTF8(scratch.path(path).c_str()))
                        .WriteCommentPng("V|151|C|1|2|3|P|5|S|0|BRU|B|7|END"));
    }
    frame->saveBrushDialog->LoadBrushes();
    ASSERT_NE(row(0), nullptr);
    f_setPalette = false;
    click(row(0));
    EXPECT_EQ(f_PartNum.load(), 100);
    EXPECT_NE(paletteBasicRadd.load(), 1);
    EXPECT_TRUE(f_setPalette.load());  // the gradient is handed over all the same
}
