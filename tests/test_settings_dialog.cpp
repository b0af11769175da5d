// The Preferences dialog as the tool window shows it: the undo depth and the
// per cent it shows, what OK, Cancel, Esc and the close box do to
// "prefs.cfg", and the engine's next canvas taking the new share.

#include <wx/slider.h>

#include <fstream>

#include "core/EngineGlobals.h"
#include "core/pixels/canvas.h"
#include "platform/memory.h"
#include "tests/toolwindow_fixture.h"

using twtest::ToolWindow;

namespace {

using svctest::readFile;

constexpr int64_t kMemory = int64_t(512) << 20;

class Preferences : public ToolWindow {
protected:
    void TearDown() override {
        guibridge::setMessageSink(nullptr);
        platform::setMemoryProbe(nullptr);
        ToolWindow::TearDown();
    }
    SettingsDialog* dialog() { return frame->settingsDialog; }
    void show() { menu(WyrleFrame::ID_MENUITEMSETUP); }
    std::string steps() { return label(dialog()->undoStepsText); }
    std::string percent() { return label(dialog()->undoPercentText); }
};

// A prefs.cfg written before the tool window is built.
class PreferencesWithStoredValue : public Preferences {
protected:
    void beforeFrame() override { std::ofstream("prefs.cfg") << "UndoPercent = 200\n"; }
};

}  // namespace

TEST_F(Preferences, ShowsTheDepthOfTheCanvasAndFollowsTheSlider) {
    // The dialog's construction wrote the default file.
    EXPECT_EQ(readFile("prefs.cfg"), "#Wyrle 1.0 configuration file\nUndoPercent = 30\n");
    f_undoMax = 201;
    show();
    ASSERT_TRUE(dialog()->IsShown());
    EXPECT_EQ(dialog()->GetTitle(), "Preferences");
    EXPECT_EQ(steps(), "100");
    EXPECT_EQ(percent(), "30");
    EXPECT_EQ(dialog()->undoSlider->GetValue(), 30);
    EXPECT_EQ(dialog()->undoSlider->GetMin(), 10);
    EXPECT_EQ(dialog()->undoSlider->GetMax(), 90);

    scroll(dialog()->undoSlider, 55);
    EXPECT_EQ(percent(), "55");
    EXPECT_EQ(newUndoPercent, 55);
    scroll(dialog()->undoSlider, 61, wxEVT_SCROLL_CHANGED);
    EXPECT_EQ(percent(), "61");
    EXPECT_EQ(newUndoPercent, 61);
    // The depth is that of the canvas in use, not of the edit.
    EXPECT_EQ(steps(), "100");

    // Showing it again while it is shown keeps the edit.
    show();
    EXPECT_EQ(percent(), "61");
    EXPECT_EQ(dialog()->undoSlider->GetValue(), 61);
    dialog()->Show(false);

    // Each new showing reads the depth again.
    f_undoMax = 3;
    show();
    EXPECT_EQ(steps(), "1");
    EXPECT_EQ(percent(), "30");
    dialog()->Show(false);
}

TEST_F(Preferences, OkWritesOneLineAndTheNextCanvasIsSizedFromIt) {
    f_undoMax = 93;
    show();
    scroll(dialog()->undoSlider, 55);
    f_showCursor = false;
    click(dialog()->okButton);
    EXPECT_EQ(readFile("prefs.cfg"), "UndoPercent = 55 #UndoPercent\n");
    EXPECT_FALSE(dialog()->IsShown());
    EXPECT_TRUE(f_showCursor.load());
    EXPECT_EQ(steps(), "46");

    // The engine reads the file again when it sets up its next canvas.
    platform::setMemoryProbe([] { return kMemory; });
    {
        wyrleApp engine;
        engine.canvasWidth = 800;
        engine.canvasHeight = 600;
        engine.setUndoMemory();
    }
    EXPECT_EQ(f_undoPercent.load(), 55);
    const int expected = canvas::undoSizingFor(kMemory, 55, 800, 600, 3).undoMax;
    EXPECT_NE(expected, canvas::undoSizingFor(kMemory, 30, 800, 600, 3).undoMax);
    EXPECT_EQ(f_undoMax.load(), expected);

    show();
    EXPECT_EQ(percent(), "55");
    EXPECT_EQ(dialog()->undoSlider->GetValue(), 55);
    EXPECT_EQ(steps(), wxString::Format("%i", (expected - 1) / 2).ToStdString());
    dialog()->Show(false);
}

TEST_F(Preferences, CancelEscAndTheCloseBoxLeaveTheFileAlone) {
    const std::string saved = readFile("prefs.cfg");
    const struct {
        const char* name;
        std::function<void(SettingsDialog*)> leave;
    } ways[] = {
        {"Cancel", [this](SettingsDialog* d) { click(d->cancelButton); }},
        {"close box", [](SettingsDialog* d) { d->Close(); }},
        {"Esc",
         [](SettingsDialog* d) {
             wxKeyEvent key(wxEVT_CHAR_HOOK);
             key.m_keyCode = WXK_ESCAPE;
             key.SetEventObject(d);
             d->GetEventHandler()->ProcessEvent(key);
         }},
    };
    for (const auto& way : ways) {
        show();
        scroll(dialog()->undoSlider, 90);
        EXPECT_EQ(percent(), "90") << way.name;
        f_showCursor = false;
        way.leave(dialog());
        EXPECT_FALSE(dialog()->IsShown()) << way.name;
        EXPECT_TRUE(f_showCursor.load()) << way.name;
        EXPECT_EQ(readFile("prefs.cfg"), saved) << way.name;
        // The next showing puts back the saved value.
        show();
        EXPECT_EQ(percent(), "30") << way.name;
        EXPECT_EQ(dialog()->undoSlider->GetValue(), 30) << way.name;
        dialog()->Show(false);
    }
    EXPECT_TRUE(answers.messages.empty());
}

TEST_F(PreferencesWithStoredValue, AValueOutsideTheSliderIsShownAsReadAndKept) {
    show();
    EXPECT_EQ(percent(), "200");
    EXPECT_EQ(dialog()->undoSlider->GetValue(), 90);
    click(dialog()->okButton);
    EXPECT_EQ(readFile("prefs.cfg"), "UndoPercent = 200 #UndoPercent\n");
}

TEST_F(Preferences, AReadOnlyFolderReportsTheFailedSave) {
    f_undoMax = 41;
    show();
    scroll(dialog()->undoSlider, 70);
    dialog()->Show(false);  // the rest runs where no X traffic may happen
    const std::string saved = readFile("prefs.cfg");
    ASSERT_EQ(chmod("prefs.cfg", 0444), 0);
    ASSERT_EQ(chmod(".", 0555), 0);
    svctest::asUnprivileged(scratch.root(), [&] {
        std::vector<std::string> boxes;
        guibridge::setPoster([](guibridge::Task task) { task(); });
        guibridge::setMessageSink([&](const wxString& text, const wxString& caption) {
            boxes.push_back(std::string((caption + ": " + text).utf8_str()));
        });
        click(dialog()->okButton);
        EXPECT_EQ(boxes, std::vector<std::string>{"Info: Setting could not be saved."});
        EXPECT_EQ(readFile("prefs.cfg"), saved);
        EXPECT_TRUE(f_showCursor.load());
    });
    ASSERT_EQ(chmod(".", 0755), 0);
    EXPECT_EQ(readFile("prefs.cfg"), saved);
}
