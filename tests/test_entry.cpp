#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/init.h>

#include <string>
#include <thread>
#include <vector>

#include "core/BaseApp.h"
#include "core/GuiBridge.h"
#include "core/Wyrle1_0App.h"
#include "core/WyrleGlobals.h"
#include "core/wyrleApp.h"

TEST(Borders, FromTheFrameMetric) {
    struct Case { int metric, width, height; };
    const Case cases[] = {{-1, 0, 0}, {0, 0, 0}, {4, 0, 0}, {5, 1, 1}, {8, 4, 1}};
    for (const Case& c : cases) {
        int w = -9, h = -9;
        computeBorders(c.metric, w, h);
        EXPECT_EQ(w, c.width) << c.metric;
        EXPECT_EQ(h, c.height) << c.metric;
        EXPECT_EQ(682 + 2 * h, c.height ? 684 : 682);
    }
}

TEST(AppKeys, Table) {
    EXPECT_EQ(appKeyDownAction(WXK_SPACE), AppKeyAction::Pan);
    EXPECT_EQ(appKeyDownAction('+'), AppKeyAction::ZoomIn);
    // Only the key code of "+" zooms; the keypad's plus goes on like any key.
    EXPECT_EQ(appKeyDownAction(WXK_NUMPAD_ADD), AppKeyAction::PassOn);
    EXPECT_EQ(appKeyDownAction(WXK_TAB), AppKeyAction::Swallow);
    EXPECT_EQ(appKeyDownAction(WXK_RETURN), AppKeyAction::Swallow);
    EXPECT_EQ(appKeyDownAction(WXK_NUMPAD_ENTER), AppKeyAction::Swallow);
    EXPECT_EQ(appKeyDownAction('a'), AppKeyAction::PassOn);
    EXPECT_EQ(appKeyDownAction(WXK_ESCAPE), AppKeyAction::PassOn);
}

TEST(AppKeys, SpaceBeforeTheEngineExistsIsHarmless) {
    wxInitializer init;  // the thread object needs the toolkit's base
    ASSERT_TRUE(init.IsOk());
    bFrame.store(true);
    ASSERT_EQ(BaseApp::Instance()->app.load(), nullptr);
    EXPECT_TRUE(appKeyDown(nullptr, WXK_SPACE));  // passed on
    EXPECT_TRUE(appKeyUp(WXK_SPACE));
    EXPECT_FALSE(appKeyDown(nullptr, WXK_TAB));  // swallowed
    EXPECT_FALSE(appKeyDown(nullptr, '+'));      // zoom; not passed on
    EXPECT_TRUE(appKeyDown(nullptr, 'x'));
    bFrame.store(false);
}

TEST(AppKeys, SpaceAfterTheEngineIsDeletedReachesNothing) {
    wxInitializer init;
    ASSERT_TRUE(init.IsOk());
    bFrame.store(true);
    BaseApp* thread = BaseApp::Instance();
    wyrleApp* engine = new wyrleApp();
    engine->baseApp = thread;
    thread->app.store(engine);
    EXPECT_TRUE(appKeyDown(nullptr, WXK_SPACE));
    EXPECT_TRUE(engine->bPan.load());
    EXPECT_TRUE(appKeyUp(WXK_SPACE));
    EXPECT_FALSE(engine->bPan.load());

    // What the exit handler does; a space typed during the shutdown must not
    // write into the freed engine.
    engine->exit();
    delete engine;
    EXPECT_EQ(thread->app.load(), nullptr);
    EXPECT_TRUE(appKeyDown(nullptr, WXK_SPACE));
    EXPECT_TRUE(appKeyUp(WXK_SPACE));
    bFrame.store(false);
}

namespace {

struct FakeDialog {
    std::vector<std::string>* log;
    const char* name;
    bool shown = true;
    bool IsShown() const { return shown; }
    void Show(bool show) {
        shown = show;
        log->push_back(std::string(name) + (show ? " show" : " hide"));
    }
    void Raise() {}
};

struct FakeFrame {
    std::vector<std::string> log;
    bool bBrushesShown = false, bGradientShown = false;
    FakeDialog brushes{&log, "brushes"}, gradient{&log, "gradient"};
    FakeDialog* saveBrushDialog = &brushes;
    FakeDialog* gradientDialog = &gradient;
    void Show(bool show) { log.push_back(show ? "frame show" : "frame hide"); }
};

}  // namespace

TEST(ToolWindowShow, BringsBackExactlyTheDialogsThatWereOpen) {
    for (int mask = 0; mask < 4; ++mask) {
        FakeFrame f;
        f.bBrushesShown = mask & 1;
        f.bGradientShown = mask & 2;
        showToolWindow(f, false);
        showToolWindow(f, true);
        std::vector<std::string> expected = {"frame hide"};
        if (mask & 1) expected.push_back("brushes hide");
        if (mask & 2) expected.push_back("gradient hide");
        expected.push_back("frame show");
        if (mask & 1) expected.push_back("brushes show");
        if (mask & 2) expected.push_back("gradient show");
        EXPECT_EQ(f.log, expected) << "mask " << mask;
        EXPECT_EQ(f.bBrushesShown, bool(mask & 1));
        EXPECT_EQ(f.bGradientShown, bool(mask & 2));
    }
}

TEST(GuiBridge, CallsFromAnotherThreadRunOnTheGuiThreadInOrder) {
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    wxApp::SetInstance(new wxApp());
    ASSERT_TRUE(wxEntryStart(argc, argv));
    ASSERT_TRUE(wxTheApp->CallOnInit());

    std::vector<std::string> seen;
    std::vector<std::thread::id> threads;
    guibridge::setMessageSink([&](const wxString& text, const wxString& caption) {
        seen.push_back(std::string(text.utf8_str()) + "|" + std::string(caption.utf8_str()));
        threads.push_back(std::this_thread::get_id());
    });
    std::thread render([] {
        guibridge::post([] {});
        guibridge::messageBox("first", "Info");
        guibridge::messageBox("second", "Info");
        guibridge::messageBox("third", "Info: Not enough memory");
    });
    render.join();
    EXPECT_TRUE(seen.empty());  // nothing ran on the render thread
    wxTheApp->ProcessPendingEvents();
    EXPECT_EQ(seen, (std::vector<std::string>{"first|Info", "second|Info", "third|Info: Not enough memory"}));
    for (std::thread::id id : threads)
        EXPECT_EQ(id, std::this_thread::get_id());
    guibridge::setMessageSink(nullptr);
    wxEntryCleanup();
}
