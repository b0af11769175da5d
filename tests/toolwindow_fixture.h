#pragma once
// Builds the real tool window under the X server of the test run, without
// the render thread, with every modal box answered by the test. Each test
// works in its own scratch folder (with the program's data/ linked in).

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/colourdata.h>
#include <wx/dialog.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/slider.h>
#include <wx/stattext.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "AboutDialog.h"
#include "BaseApp.h"
#include "DialogKit.h"
#include "ExportDialog.h"
#include "GradientDialog.h"
#include "GuiBridge.h"
#include "GuiPrompts.h"
#include "LoadDial.h"
#include "NewDial.h"
#include "SaveBrushDialog.h"
#include "SettingsDialog.h"
#include "WyrleGlobals.h"
#include "WyrleMain.h"
#include "wyrleApp.h"
#include "services_fixture.h"
#include "wx_start.h"

namespace twtest {

// wx's failed assertions, which would otherwise show a modal box.
inline int& assertCount() {
    static int count = 0;
    return count;
}

inline void countAssert(const wxString& file, int line, const wxString&, const wxString& cond, const wxString& msg) {
    ++assertCount();
    std::fprintf(stderr, "wx assert %s:%d %s %s\n", static_cast<const char*>(file.utf8_str()), line,
                 static_cast<const char*>(cond.utf8_str()), static_cast<const char*>(msg.utf8_str()));
}

// Starts wx once per process; false when there is no display to run on.
inline bool startWx() {
    return wxstart::start([] { wxSetAssertHandler(countAssert); });
}

// What the modal boxes were asked and what they answer.
struct Answers {
    std::vector<wxString> messages;  // "caption: text"
    std::deque<int> questionReplies;  // wxID_YES, wxID_NO, ...
    int questions = 0;
    std::deque<wxColour> colours;  // OK with this colour; none left: Cancel
    int colourDialogs = 0;
    prompts::SaveAnswer saveAnswer;
    int saveDialogs = 0;
    wxString saveTitle, saveFolder, saveName, saveTypes;
    wxString openPath;  // empty: cancelled
    int openDialogs = 0;
    int modalReply = wxID_CANCEL;
    std::function<void(wxDialog&)> beforeModal;
    int modals = 0;
};

inline void resetGlobals() {
    wyrleApp::clearRequestFlags();
    f_workState = 0;
    f_newBrushPreset = 0;
    f_changeShowLayers = 1;
    f_showCursor = true;
    bMove = false;
    moveTo.set(0, 0);
    f_PartNum = 100;
    f_eraserzSize = 35;
    f_painterz = true;
    f_eraserz = false;
    f_perpixelz = 0;
    f_additive = true;
    f_bcgR = 0;
    f_bcgG = 0;
    f_bcgB = 0;
    f_alphaBCG = 0;
    f_alphaBCGsave = 0;
    f_premultiAlpha = 0;
    f_export = false;
    f_loadFile.set("wyrleArtwork.png");
    f_saveFile.set("");
    f_exportFile.set("");
    f_loadFileBcg.set("");
    f_fixedLoadPic = false;
    gSaveAs = false;
    gFileSaved = false;
    f_showBcg = false;
    f_scalezRangePos = 2;
    f_borderWidth = 0;
    f_borderHeight = 0;
    gBasePositionX = 201;
    gBasePositionY = 28;
}

class ToolWindow : public ::testing::Test {
protected:
    void SetUp() override {
        if (!startWx())
            GTEST_SKIP() << "no X display";
        ASSERT_TRUE(scratch.ok());
        cwd.reset(new svctest::ScopedCwd(scratch.root()));
        ASSERT_TRUE(cwd->ok());
        if (linkData) {
            ASSERT_EQ(symlink(WYRLE_SOURCE_DIR "/data", "data"), 0);
        }
        // As the program does at start-up, before the frame builds its dialogs.
        dialogkit::ensureLibraryFolders();
        resetGlobals();
        assertCount() = 0;
        installAnswers();
        WyrleFrame::setThreadStarter([this](BaseApp& thread) {
            ++threadStarts;
            threadFrame = thread.frame;
            dialogsAtStart = thread.frame && thread.frame->newDial && thread.frame->loadDial &&
                             thread.frame->exportDialog && thread.frame->settingsDialog &&
                             thread.frame->gradientDialog && thread.frame->aboutDialog &&
                             thread.frame->saveBrushDialog && thread.frame->saveBrushDialog->baseApp == &thread &&
                             thread.frame->gradientDialog->frameGradientShown == &thread.frame->bGradientShown;
            return true;
        });
        // As the program does at start-up, before the frame.
        dialogkit::ensureLibraryFolders();
        beforeFrame();
        frame = new WyrleFrame(nullptr, wxID_ANY);
    }

    void TearDown() override {
        if (frame) {
            frame->Destroy();
            wxTheApp->ProcessIdle();
            frame = nullptr;
        }
        EXPECT_EQ(assertCount(), 0) << "wx reported failed assertions";
        prompts::resetAll();
        guibridge::setPoster(nullptr);
        WyrleFrame::setThreadStarter(nullptr);
        cwd.reset();
    }

    // Hook for tests that change the start-up conditions.
    virtual void beforeFrame() {}

    void installAnswers() {
        prompts::setMessage([this](const wxString& text, const wxString& caption, wxWindow*) {
            answers.messages.push_back(caption + ": " + text);
        });
        prompts::setQuestion([this](const wxString&, const wxString&, long, wxWindow*) {
            ++answers.questions;
            if (answers.questionReplies.empty())
                return static_cast<int>(wxID_NO);
            int r = answers.questionReplies.front();
            answers.questionReplies.pop_front();
            return r;
        });
        prompts::setColour([this](wxWindow*, wxColourData& data) {
            ++answers.colourDialogs;
            if (answers.colours.empty())
                return false;
            data.SetColour(answers.colours.front());
            answers.colours.pop_front();
            return true;
        });
        prompts::setSaveFile([this](wxWindow*, const wxString& title, const wxString& folder, const wxString& name,
                                    const wxString& types) {
            ++answers.saveDialogs;
            answers.saveTitle = title;
            answers.saveFolder = folder;
            answers.saveName = name;
            answers.saveTypes = types;
            return answers.saveAnswer;
        });
        prompts::setOpenFile([this](wxFileDialog&) {
            ++answers.openDialogs;
            return answers.openPath;
        });
        prompts::setModal([this](wxDialog& dialog) {
            ++answers.modals;
            if (answers.beforeModal)
                answers.beforeModal(dialog);
            return answers.modalReply;
        });
    }

    // Synthetic events, sent where the control would send them.
    void scroll(wxSlider* slider, int position, wxEventType type = wxEVT_SCROLL_THUMBTRACK) {
        slider->SetValue(position);
        wxScrollEvent ev(type, slider->GetId(), position, wxHORIZONTAL);
        ev.SetEventObject(slider);
        slider->GetEventHandler()->ProcessEvent(ev);
    }
    void click(wxWindow* button) {
        wxCommandEvent ev(wxEVT_COMMAND_BUTTON_CLICKED, button->GetId());
        ev.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(ev);
    }
    // Esc as the dialog's key hook sees it.
    void pressEscape(wxWindow* dialog) {
        wxKeyEvent ev(wxEVT_CHAR_HOOK);
        ev.m_keyCode = WXK_ESCAPE;
        ev.SetEventObject(dialog);
        dialog->GetEventHandler()->ProcessEvent(ev);
    }
    // For a dialog whose Part gives it no Esc and a close box that only
    // hides: Esc leaves it up, the close box hides it, and neither touches
    // the cursor.
    void expectEscIgnoredAndCloseBoxOnlyHides(wxDialog* dialog) {
        dialog->Show(true);
        f_showCursor = false;
        pressEscape(dialog);
        EXPECT_TRUE(dialog->IsShown());
        dialog->Close();
        EXPECT_FALSE(dialog->IsShown());
        EXPECT_FALSE(f_showCursor.load());
    }
    void menu(long id) {
        wxCommandEvent ev(wxEVT_COMMAND_MENU_SELECTED, static_cast<int>(id));
        ev.SetEventObject(frame);
        frame->GetEventHandler()->ProcessEvent(ev);
    }
    std::string label(wxStaticText* text) const { return std::string(text->GetLabel().utf8_str()); }
    // The manual where Help looks for it, below the working folder.
    void putManual() {
        ASSERT_TRUE(wxFileName::Mkdir(scratch.path("Documents"), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL));
        ASSERT_TRUE(svctest::writeFile(scratch.path("Documents/Wyrle_Manual_v1.5_Win.pdf"), "%PDF-1.4\n"));
    }
    bool highlighted(wxWindow* w) const { return w->GetBackgroundColour() == wxColour(245, 180, 110); }
    bool normal(wxWindow* w) const { return w->GetBackgroundColour() == wxColour(240, 240, 240); }
    // The colour at the middle of a bitmap button's picture.
    static wxColour pictureColour(wxBitmapButton* button) {
        wxImage image = button->GetBitmapLabel().ConvertToImage();
        if (!image.IsOk())
            return wxNullColour;
        int x = image.GetWidth() / 2, y = image.GetHeight() / 2;
        return wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
    }

    svctest::TempDir scratch;
    std::unique_ptr<svctest::ScopedCwd> cwd;
    bool linkData = true;
    Answers answers;
    WyrleFrame* frame = nullptr;
    int threadStarts = 0;
    WyrleFrame* threadFrame = nullptr;
    bool dialogsAtStart = false;
};

}  // namespace twtest
