// The brush library "Brushes": its window and the capture hand-shake, the
// listing with its icon rebuild and stale-icon removal, deleting, saving and
// applying presets. Under the test's X server with every box answered.

#include <wx/checkbox.h>
#include <wx/filename.h>
#include <wx/scrolwin.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <mutex>

#include <sys/stat.h>
#include <unistd.h>

#include "MetadataHandler.h"
#include "Requests.h"
#include "brush_library.h"
#include "library_fixtures.h"
#include "library_rows_check.h"
#include "toolwindow_fixture.h"

using twtest::ToolWindow;

namespace {

std::string comment(const std::string& path) {
    MetadataHandler reader(wxString::FromUTF8(path.c_str()));
    if (!reader.CommentExistsPNG() || !reader.ReadCommentPng())
        return "<none>";
    return reader.comment;
}

bool exists(const std::string& path) { return wxFileName::Exists(wxString::FromUTF8(path.c_str())); }

}  // namespace

// --- Rules without a window ---------------------------------------------------

TEST(BrushLibraryRules, IconsFollowThePresetsByExactName) {
    const brushlibrary::IconSync sync =
        brushlibrary::syncIcons({"a.png", "Stale.png", "b.png", "foo.png"}, {"b.png", "c.png", "a.png", "Foo.png"});
    EXPECT_EQ(sync.toBuild, (std::vector<std::string>{"c.png", "Foo.png"}));
    EXPECT_EQ(sync.toDelete, (std::vector<std::string>{"Stale.png", "foo.png"}));
    EXPECT_EQ(brushlibrary::presetName("soft.v2.png"), "soft.v2");
    EXPECT_EQ(brushlibrary::presetName("plain"), "plain");
}

TEST(BrushLibraryRules, NewAndTheCloseBoxDriveTheCapture) {
    struct {
        int state;
        int afterNew;
        bool start, enabled;
        int afterClose;
    } table[] = {{0, 1, true, true, 0}, {1, 1, false, false, 1}, {2, 3, false, false, 3}, {3, 3, false, false, 3}};
    for (const auto& row : table) {
        const brushlibrary::NewPress press = brushlibrary::pressNew(row.state);
        EXPECT_EQ(press.state, row.afterNew) << row.state;
        EXPECT_EQ(press.start, row.start) << row.state;
        EXPECT_EQ(press.enableFields, row.enabled) << row.state;
        EXPECT_EQ(brushlibrary::endCapture(row.state), row.afterClose) << row.state;
    }
}

// --- The window ------------------------------------------------------------------

class BrushLibrary : public ToolWindow {
protected:
    void SetUp() override {
        ToolWindow::SetUp();
        if (IsSkipped())
            return;
        b = frame->saveBrushDialog;
        std::lock_guard<std::mutex> lock(gBrushPreviewMutex);
        brushColor.setUseTexture(false);
        brushIconColor.setUseTexture(false);
        brushColor.allocate(256, 256, OF_IMAGE_COLOR);
        brushIconColor.allocate(64, 64, OF_IMAGE_COLOR);
    }

    // "New", the engine's first sample, the name and OK.
    void save(const char* name) {
        f_newBrushPreset = 0;
        click(b->newButton);
        f_newBrushPreset = 2;
        b->nameText->SetValue(name);
        click(b->okButton);
    }
    // A preset file with a comment, as if copied in by hand.
    void putPreset(const std::string& path, const char* text, int size = 256) {
        MyOfImage picture;
        picture.setUseTexture(false);
        picture.allocate(size, size, OF_IMAGE_COLOR);
        ASSERT_TRUE(picture.saveImage(scratch.path(path)));
        if (text) {
            ASSERT_TRUE(MetadataHandler(wxString::FromUTF8(scratch.path(path).c_str())).WriteCommentPng(text));
        }
    }
    // `count` presets named by `name`, all with one comment, with their icons
    // or without; written as copies of one, as a large library is quick to make.
    void putPresets(int count, const std::function<std::string(int)>& name, bool icons) {
        const char* text = "V|150|C|9|8|7|P|50|S|1|BRU|A|2|END";
        for (const bool icon : {false, true}) {
            if (icon && !icons)
                break;
            const std::string folder = icon ? "Brushes/Icons/" : "Brushes/";
            putPreset(folder + name(0) + ".png", text, icon ? 64 : 256);
            const std::string bytes = svctest::readFile(scratch.path(folder + name(0) + ".png"));
            for (int i = 1; i < count; ++i)
                ASSERT_TRUE(svctest::writeFile(scratch.path(folder + name(i) + ".png"), bytes));
        }
    }
    wxBitmapButton* row(int i) const { return b->rowButton(i); }
    wxWindow* xButton(int i) const { return b->rowXButton(i); }
    // The names the rows show, in list order.
    std::vector<std::string> rowNames() const {
        std::vector<std::string> names;
        for (int i = 0; i < b->rowCount(); ++i) {
            const LibraryRow* shown = b->list->rowOf(i);
            names.push_back(shown && shown->name->IsShown() ? shown->name->GetLabel().utf8_string() : "<not shown>");
        }
        return names;
    }
    // A listing, with the icons it found missing made.
    void listAndMakeIcons() {
        b->LoadBrushes();
        while (b->rebuildIconsStep()) {
        }
    }
    void closeBox() {
        wxCloseEvent ev(wxEVT_CLOSE_WINDOW, b->GetId());
        ev.SetEventObject(b);
        b->GetEventHandler()->ProcessEvent(ev);
    }
    void idle() { wxTheApp->ProcessPendingEvents(); }

    SaveBrushDialog* b = nullptr;
};

TEST_F(BrushLibrary, TheWindowIsBuiltAsLaidOut) {
    EXPECT_EQ(b->GetTitle(), "Brushes");
    EXPECT_EQ(b->GetName(), "wxID_ANY");
    EXPECT_TRUE(b->HasFlag(wxSTAY_ON_TOP));
    EXPECT_FALSE(b->HasFlag(wxRESIZE_BORDER));
    EXPECT_FALSE(b->HasFlag(wxMAXIMIZE_BOX));
    EXPECT_EQ(b->GetClientSize(), wxSize(173, 500));
    EXPECT_EQ(b->GetMinSize(), wxSize(173, 500));
    EXPECT_EQ(b->GetMaxSize().GetWidth(), 173);
    EXPECT_EQ(b->GetBackgroundColour(), wxColour(104, 100, 96));
    EXPECT_EQ(b->list->GetSize(), wxSize(165, 165));
    EXPECT_EQ(b->list->GetBackgroundColour(), wxColour(84, 80, 76));
    EXPECT_TRUE(b->useBrushColor->GetValue());
    EXPECT_EQ(b->useBrushColor->GetLabel(), "Use Brush Color");
    EXPECT_EQ(b->newButton->GetLabel(), "New");
    EXPECT_EQ(b->nameText->GetValue(), "BrushName");
    EXPECT_FALSE(b->nameText->IsEnabled());
    EXPECT_FALSE(b->okButton->IsEnabled());
    EXPECT_TRUE(b->reload);
    int x = 0, y = 0;
    b->list->GetScrollPixelsPerUnit(&x, &y);
    EXPECT_EQ(wxSize(x, y), wxSize(0, 5));
    // Keys and the mouse over the dialog itself do nothing and go no further.
    for (wxEventType type : {wxEVT_KEY_DOWN, wxEVT_CHAR}) {
        wxKeyEvent key(type);
        key.m_keyCode = 'a';
        key.SetEventObject(b);
        EXPECT_TRUE(b->GetEventHandler()->ProcessEvent(key));
        EXPECT_FALSE(key.GetSkipped());
    }
}

TEST_F(BrushLibrary, OnlyTheFirstShowingAndTheCloseBoxListAgain) {
    putPreset("Brushes/one.png", "V|150|C|1|2|3|P|5|S|0|BRU|B|7|END");
    putPreset("Brushes/Icons/one.png", "V|150|C|1|2|3|P|5|S|0|BRU|B|7|END", 64);
    click(frame->brushLibraryButton);  // first showing: listed again
    EXPECT_EQ(rowNames(), std::vector<std::string>{"one"});
    EXPECT_FALSE(b->reload);
    int x = 0, y = 0;
    b->list->GetScrollPixelsPerUnit(&x, &y);
    EXPECT_EQ(wxSize(x, y), wxSize(5, 5));
    ASSERT_NE(row(0), nullptr);
    const wxBitmap one = row(0)->GetBitmapLabel();

    putPreset("Brushes/two.png", nullptr);
    putPreset("Brushes/Icons/two.png", nullptr, 64);
    click(frame->brushLibraryButton);  // hidden by the tool window
    click(frame->brushLibraryButton);
    EXPECT_EQ(rowNames(), std::vector<std::string>{"one"});
    dialogkit::showDialog(b);  // already shown: nothing
    EXPECT_EQ(rowNames(), std::vector<std::string>{"one"});

    closeBox();
    EXPECT_FALSE(b->IsShown());
    EXPECT_TRUE(b->reload);
    click(frame->brushLibraryButton);
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"one", "two"}));
    // The row that did not change kept its picture: its icon was not read again.
    ASSERT_NE(row(0), nullptr);
    EXPECT_TRUE(row(0)->GetBitmapLabel().IsSameAs(one));
}

TEST_F(BrushLibrary, NewAndTheCloseBoxDriveTheCaptureHandShake) {
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

    // The close box ends a running capture and leaves the controls as they were.
    for (int capture : {0, 1, 2, 3}) {
        click(frame->brushLibraryButton);
        ASSERT_TRUE(b->IsShown());
        f_newBrushPreset = 0;
        click(b->newButton);  // fields enabled
        f_newBrushPreset = capture;
        closeBox();
        EXPECT_FALSE(b->IsShown());
        EXPECT_FALSE(frame->bBrushesShown);
        EXPECT_FALSE(frame->menuBrushes->IsChecked());
        EXPECT_EQ(f_newBrushPreset.load(), capture == 2 ? 3 : capture);
        EXPECT_TRUE(b->nameText->IsEnabled() && b->okButton->IsEnabled());
    }
}

// --- Listing ---------------------------------------------------------------------

TEST_F(BrushLibrary, ListingRebuildsMissingIconsAndRemovesStaleOnes) {
    const char* text = "V|150|C|9|8|7|P|50|S|1|BRU|A|2|END";
    putPreset("Brushes/Hand made.png", text);
    putPreset("Brushes/Case.png", text);
    putPreset("Brushes/Icons/case.png", nullptr, 64);  // differs in case: stale
    putPreset("Brushes/Icons/gone.png", nullptr, 64);
    putPreset("Brushes/plain.png", nullptr);
    listAndMakeIcons();
    EXPECT_TRUE(answers.messages.empty()) << answers.messages[0];
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"Case", "Hand made", "plain"}));
    EXPECT_FALSE(exists(scratch.path("Brushes/Icons/gone.png")));
    EXPECT_FALSE(exists(scratch.path("Brushes/Icons/case.png")));
    EXPECT_EQ(comment(scratch.path("Brushes/Icons/Hand made.png")), text);
    EXPECT_EQ(comment(scratch.path("Brushes/Icons/Case.png")), text);
    EXPECT_EQ(comment(scratch.path("Brushes/Icons/plain.png")), "<none>");
    wxImage icon(scratch.path("Brushes/Icons/Hand made.png"));
    EXPECT_EQ(icon.GetSize(), wxSize(64, 64));

    // A row: the icon button, the name before the last dot, the "X".
    wxBitmapButton* first = row(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetName(), "ID_BITMAPBUTTONLIST0");
    EXPECT_EQ(row(2)->GetName(), "ID_BITMAPBUTTONLIST2");
    wxWindow* x = xButton(1);
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->GetLabel(), "X");
    EXPECT_EQ(x->GetName(), "ID_BUTTONLIST_DEFAULT");
    bool named = false;
    for (wxWindow* child : b->list->GetChildren())
        named |= child->GetName() == "ID_STATICTEXTLIST_" && child->GetLabel() == "Hand made";
    EXPECT_TRUE(named);
}

TEST_F(BrushLibrary, AnUnreadablePresetIsReportedAtEveryListing) {
    {
        std::ofstream bad(scratch.path("Brushes/broken.png"));
        bad << "not a picture";
    }
    listAndMakeIcons();
    ASSERT_EQ(answers.messages.size(), 2u);
    EXPECT_EQ(answers.messages[0], "Error...: File" + scratch.path("Brushes/broken.png") + " could not be opened.");
    EXPECT_EQ(answers.messages[1], "Message: Icon " + scratch.path("Brushes/Icons/broken.png") + " could not been saved.");
    EXPECT_TRUE(b->rowCount() == 0);
}

TEST_F(BrushLibrary, MessagesOfTheIconStepsComeOneAfterTheOther) {
    // A message box runs idle time of its own, as a modal box does.
    int open = 0, deepest = 0;
    prompts::setMessage([&](const wxString& text, const wxString& caption, wxWindow*) {
        answers.messages.push_back(caption + ": " + text);
        deepest = std::max(deepest, ++open);
        wxTheApp->ProcessIdle();
        --open;
    });
    for (const char* name : {"a", "b", "c"}) {
        std::ofstream bad(scratch.path(std::string("Brushes/") + name + ".png"));
        bad << "not a picture";
    }
    b->LoadBrushes();
    for (int steps = 0; b->iconsPending() && steps < 100; ++steps)
        wxTheApp->ProcessIdle();
    EXPECT_EQ(deepest, 1);
    ASSERT_EQ(answers.messages.size(), 6u);
    for (int i = 0; i < 3; ++i) {
        const std::string name(1, static_cast<char>('a' + i));
        EXPECT_EQ(answers.messages[2 * i], "Error...: File" + scratch.path("Brushes/" + name + ".png") + " could not be opened.");
    }
}

// Pictures far beyond a preset's size: an icon is listed without its
// picture, a preset is told as unreadable, neither is decoded.
TEST_F(BrushLibrary, HugePicturesAreListedWithoutBeingDecoded) {
    ASSERT_TRUE(libtest::writeBlackPng(scratch.path("Brushes/huge.png"), 10000, 10000));
    ASSERT_TRUE(libtest::writeBlackPng(scratch.path("Brushes/Icons/huge.png"), 10000, 10000));
    ASSERT_TRUE(libtest::writeClaimingPng(scratch.path("Brushes/claims.png"), 100000, 100000));
    putPreset("Brushes/fine.png", "V|150|END");
    listAndMakeIcons();
    EXPECT_EQ(answers.messages,
              std::vector<wxString>({"Error...: File" + scratch.path("Brushes/claims.png") + " could not be opened.",
                                     "Message: Icon " + scratch.path("Brushes/Icons/claims.png") +
                                         " could not been saved."}));
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"fine", "huge"}));
    ASSERT_NE(row(1), nullptr);
    EXPECT_EQ(row(1)->GetBitmapLabel().GetSize(), wxSize(64, 64));
    EXPECT_FALSE(exists(scratch.path("Brushes/Icons/claims.png")));
}

// Entries that are no regular files where a preset's icon belongs: the icon
// is made and put in their place, never written through them (a pipe would
// hang the start-up for ever, a link write outside the library).
class BrushLibraryWithOddEntries : public BrushLibrary {
protected:
    void beforeFrame() override {
        for (const char* name : {"pipe", "zero", "dangling"})
            putPreset(std::string("Brushes/") + name + ".png", "V|150|END");
        putPreset("Brushes/bad\xff.png", nullptr);
        ASSERT_EQ(::mkfifo(scratch.path("Brushes/Icons/pipe.png").c_str(), 0644), 0);
        ASSERT_EQ(::symlink("/dev/zero", scratch.path("Brushes/Icons/zero.png").c_str()), 0);
        ASSERT_EQ(::symlink(scratch.path("outside.png").c_str(), scratch.path("Brushes/Icons/dangling.png").c_str()),
                  0);
        testing::internal::CaptureStderr();
    }
};

TEST_F(BrushLibraryWithOddEntries, TheListingReplacesThemWithIcons) {
    const std::string said = testing::internal::GetCapturedStderr();
    while (b->rebuildIconsStep()) {
    }
    EXPECT_TRUE(answers.messages.empty()) << answers.messages[0];
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"dangling", "pipe", "zero"}));
    for (const char* name : {"pipe", "zero", "dangling"}) {
        const std::string icon = scratch.path(std::string("Brushes/Icons/") + name + ".png");
        struct stat st {};
        ASSERT_EQ(lstat(icon.c_str(), &st), 0) << name;
        EXPECT_TRUE(S_ISREG(st.st_mode)) << name;
        EXPECT_EQ(wxImage(wxString::FromUTF8(icon.c_str())).GetSize(), wxSize(64, 64)) << name;
        EXPECT_EQ(comment(icon), "V|150|END") << name;
    }
    EXPECT_FALSE(exists(scratch.path("outside.png")));
    // The preset whose name is not UTF-8 is left out, in one line.
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("Brushes/bad\\xff.png"), std::string::npos) << said;
}

class BrushLibraryWithoutIcons : public BrushLibrary {
protected:
    void beforeFrame() override { wxFileName::Rmdir("Brushes/Icons"); }
};

TEST_F(BrushLibraryWithoutIcons, AMissingIconsFolderIsReportedAndNotMade) {
    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_EQ(answers.messages[0], "Error...: Directory 'BrushesIcons' can not be opened.");
    putPreset("Brushes/kept.png", "V|150|END");
    b->LoadBrushes();
    EXPECT_EQ(answers.messages.size(), 2u);
    EXPECT_TRUE(b->rowCount() == 0);
    EXPECT_FALSE(exists(scratch.path("Brushes/Icons")));
}

// Presets copied in by hand, without icons: the window is built without
// waiting for them, and their icons and rows come in steps afterwards.
class BrushLibraryWithoutTheIcons : public BrushLibrary {
protected:
    static constexpr int kCount = 200;
    static std::string name(int i) { return wxString::Format("p%03d", i).utf8_string(); }
    void beforeFrame() override { putPresets(kCount, name, false); }
};

TEST_F(BrushLibraryWithoutTheIcons, AreMadeAfterTheWindowsShowAFewAtATime) {
    EXPECT_TRUE(svctest::listDir(scratch.path("Brushes/Icons")).empty());
    EXPECT_EQ(b->rowCount(), 0);
    ASSERT_TRUE(b->iconsPending());
    wxTheApp->ProcessIdle();  // one step: a moment's work, not all of it
    const size_t first = svctest::listDir(scratch.path("Brushes/Icons")).size();
    EXPECT_GE(first, 1u);
    EXPECT_LT(first, static_cast<size_t>(kCount));
    EXPECT_EQ(b->rowCount(), static_cast<int>(first));
    for (int steps = 0; b->iconsPending() && steps < 10 * kCount; ++steps)
        wxTheApp->ProcessIdle();
    EXPECT_FALSE(b->iconsPending());
    EXPECT_EQ(svctest::listDir(scratch.path("Brushes/Icons")).size(), static_cast<size_t>(kCount));
    ASSERT_EQ(b->rowCount(), kCount);
    EXPECT_EQ(comment(scratch.path("Brushes/Icons/" + name(kCount - 1) + ".png")), "V|150|C|9|8|7|P|50|S|1|BRU|A|2|END");
    rowcheck::expectRowsInView(*b->list, 0, kCount, [](int i) { return name(i); }, "all icons made");
    EXPECT_TRUE(answers.messages.empty());
}

// Thousands of presets with their icons.
class BrushLibraryOfThousands : public BrushLibrary {
protected:
    static constexpr int kCount = 5000;
    static std::string name(int i) { return wxString::Format("p%04d", i).utf8_string(); }
    void beforeFrame() override { putPresets(kCount, name, true); }
    void expectRows(const rowcheck::NameOf& nameOf, const std::string& what) {
        rowcheck::expectRowsInView(*b->list, 0, b->rowCount(), nameOf, what);
    }
    size_t windows() const { return b->list->GetChildren().size(); }
};

TEST_F(BrushLibraryOfThousands, AFewRowWindowsServeTheWholeList) {
    ASSERT_EQ(b->rowCount(), kCount);
    EXPECT_FALSE(b->iconsPending());
    const rowcheck::NameOf names = [](int i) { return name(i); };
    expectRows(names, "at the top");
    click(frame->brushLibraryButton);  // the first showing lists again
    EXPECT_EQ(b->rowCount(), kCount);
    const size_t made = windows();
    EXPECT_LT(made, 48u);  // a view's rows and a few more
    for (int row : {1, 2500, kCount - 1, 0}) {
        b->list->Scroll(0, row * b->list->pitch() / 5);
        expectRows(names, "scrolled to row " + std::to_string(row));
    }

    // "X" far down the list removes that preset and its row only.
    b->list->Scroll(0, 4000 * b->list->pitch() / 5);
    answers.questionReplies = {wxID_YES};
    ASSERT_NE(xButton(4001), nullptr);
    click(xButton(4001));
    EXPECT_FALSE(exists(scratch.path("Brushes/" + name(4001) + ".png")));
    ASSERT_EQ(b->rowCount(), kCount - 1);
    expectRows([](int i) { return name(i < 4001 ? i : i + 1); }, "after the deletion");

    // A save puts its row in its place.
    save("p4001");
    ASSERT_EQ(b->rowCount(), kCount);
    expectRows(names, "after the save");
    EXPECT_EQ(windows(), made);
    EXPECT_TRUE(answers.messages.empty());
}

// --- Deleting --------------------------------------------------------------------

TEST_F(BrushLibrary, XDeletesAPresetAfterAsking) {
    putPreset("Brushes/keep.png", "V|150|END");
    putPreset("Brushes/test.v1.png", "V|150|END");
    listAndMakeIcons();
    ASSERT_EQ(b->rowCount(), 2);
    std::vector<wxString> asked;
    prompts::setQuestion([&](const wxString& text, const wxString& caption, long style, wxWindow*) {
        asked.push_back(caption + ": " + text);
        EXPECT_TRUE(style & wxNO_DEFAULT);
        const int reply = answers.questionReplies.front();
        answers.questionReplies.pop_front();
        return reply;
    });

    answers.questionReplies = {wxID_NO, wxID_CANCEL};
    click(xButton(1));
    click(xButton(1));
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0], "Info: Do you want to delete 'test.v1' brush?");
    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_EQ(answers.messages[0], "Unexpected wxMessageDialog return code!: Unexpected wxMessageDialog return code!");
    EXPECT_TRUE(exists(scratch.path("Brushes/test.v1.png")));
    EXPECT_TRUE(exists(scratch.path("Brushes/Icons/test.v1.png")));

    answers.questionReplies = {wxID_YES};
    click(xButton(1));
    EXPECT_FALSE(exists(scratch.path("Brushes/test.v1.png")));
    EXPECT_FALSE(exists(scratch.path("Brushes/Icons/test.v1.png")));
    idle();
    EXPECT_EQ(rowNames(), std::vector<std::string>{"keep"});
    EXPECT_EQ(wxWindow::FindFocus(), b->newButton);

    // The picture gone by hand: the icon goes, the failure is told, and the
    // next listing finds nothing to rebuild.
    wxRemoveFile(scratch.path("Brushes/keep.png"));
    answers.questionReplies = {wxID_YES};
    click(xButton(0));
    ASSERT_EQ(answers.messages.size(), 2u);
    EXPECT_EQ(answers.messages[1], "Message: Brush file: " + scratch.path("Brushes/keep.png") + " could not be deleted.");
    EXPECT_FALSE(exists(scratch.path("Brushes/Icons/keep.png")));
    EXPECT_EQ(b->rowCount(), 1);  // not rebuilt
}

// --- Saving ----------------------------------------------------------------------

TEST_F(BrushLibrary, SavesTheSampleAndItsIconWithTheComment) {
    f_PartNum = 77;
    save("Soft one");
    const std::string picture = scratch.path("Brushes/Soft one.png");
    const std::string icon = scratch.path("Brushes/Icons/Soft one.png");
    const std::string expected = *brushpreset::BuildBrushComment(SaveBrushDialog::currentSettings());
    EXPECT_EQ(comment(picture), expected);
    EXPECT_EQ(comment(icon), expected);
    EXPECT_EQ(wxImage(picture).GetSize(), wxSize(256, 256));
    EXPECT_EQ(wxImage(icon).GetSize(), wxSize(64, 64));
    EXPECT_EQ(f_newBrushPreset.load(), 3);
    EXPECT_FALSE(b->okButton->IsEnabled());
    EXPECT_FALSE(b->nameText->IsEnabled());
    EXPECT_EQ(rowNames(), std::vector<std::string>{"Soft one"});
    EXPECT_TRUE(answers.messages.empty());

    // A refused name writes nothing and leaves the capture running.
    for (const char* name : {"no.dots", "", "caf\xc3\xa9"}) {
        f_newBrushPreset = 0;
        click(b->newButton);
        f_newBrushPreset = 2;
        b->nameText->SetValue(wxString::FromUTF8(name));
        click(b->okButton);
        EXPECT_EQ(f_newBrushPreset.load(), 2) << name;
        EXPECT_TRUE(b->okButton->IsEnabled()) << name;
    }
    ASSERT_EQ(answers.messages.size(), 3u);
    EXPECT_EQ(answers.messages[0],
              "Info: Brush name can contain only following characters: \n 'a - z', 'A - Z', '0 - 9', ' ', '-', '_'");
    EXPECT_EQ(answers.messages[1], "Info: Brush name cannot be empty.");
    EXPECT_FALSE(exists(scratch.path("Brushes/no.dots.png")));
}

TEST_F(BrushLibrary, AnExistingNameIsAskedAbout) {
    save("Soft");
    const std::string before = svctest::readFile(scratch.path("Brushes/Soft.png"));
    f_PartNum = 5;
    answers.questionReplies = {wxID_NO};
    save("Soft");
    EXPECT_EQ(answers.questions, 1);
    EXPECT_EQ(svctest::readFile(scratch.path("Brushes/Soft.png")), before);
    EXPECT_EQ(f_newBrushPreset.load(), 2);  // the capture goes on
    EXPECT_FALSE(b->okButton->IsEnabled());

    // Another answer: told, nothing saved, the capture ends.
    answers.questionReplies = {wxID_CANCEL};
    save("Soft");
    EXPECT_EQ(answers.messages.back(), "Unexpected wxMessageDialog return code!: Unexpected wxMessageDialog return code!");
    EXPECT_EQ(svctest::readFile(scratch.path("Brushes/Soft.png")), before);
    EXPECT_EQ(f_newBrushPreset.load(), 3);

    answers.questionReplies = {wxID_YES};
    save("Soft");
    EXPECT_NE(comment(scratch.path("Brushes/Soft.png")).find("|B|5|"), std::string::npos);
    EXPECT_EQ(comment(scratch.path("Brushes/Icons/Soft.png")), comment(scratch.path("Brushes/Soft.png")));

    // Only the picture is asked about: an orphan icon is replaced silently.
    putPreset("Brushes/Icons/Orphan.png", "old", 64);
    save("Orphan");
    EXPECT_EQ(answers.questions, 3);
    EXPECT_NE(comment(scratch.path("Brushes/Icons/Orphan.png")), "old");
}

TEST_F(BrushLibrary, APresetThatCannotBeSavedKeepsTheCapture) {
    // Settings far out of range would not fit the comment.
    f_perpixelz = 1;
    f_perpixelzMode = 2000000000;
    f_perpixelzTimeVal = -2e9f;
    {
        std::lock_guard<std::mutex> lock(gPaletteMutex);
        for (int i = 0; i < 9; ++i)
            paletteRadd[i * 400] = paletteGadd[i * 400] = paletteBadd[i * 400] = 255;
    }
    save("Too long");
    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_EQ(answers.messages[0], "Info: The brush settings could not be stored: a value is out of range.");
    EXPECT_FALSE(exists(scratch.path("Brushes/Too long.png")));
    EXPECT_EQ(f_newBrushPreset.load(), 2);
    EXPECT_TRUE(b->okButton->IsEnabled() && b->nameText->IsEnabled());

    // A folder that cannot take the icon: one message, no half preset.
    f_perpixelzMode = 1;
    f_perpixelzTimeVal = 3;
    ASSERT_TRUE(wxFileName::Rmdir(scratch.path("Brushes/Icons")));
    click(b->okButton);
    ASSERT_EQ(answers.messages.size(), 2u);
    EXPECT_EQ(answers.messages[1],
              "Message: Error writing data into brush file: " + scratch.path("Brushes/Icons/Too long.png"));
    EXPECT_FALSE(exists(scratch.path("Brushes/Too long.png")));
    EXPECT_EQ(f_newBrushPreset.load(), 2);
    EXPECT_TRUE(b->okButton->IsEnabled());

    // The folder back: the same sample saves under the same name.
    ASSERT_TRUE(wxFileName::Mkdir(scratch.path("Brushes/Icons")));
    click(b->okButton);
    EXPECT_EQ(answers.messages.size(), 2u);
    EXPECT_TRUE(exists(scratch.path("Brushes/Icons/Too long.png")));
    EXPECT_EQ(f_newBrushPreset.load(), 3);
}

// An overwrite whose icon cannot be written leaves the old preset and its
// icon exactly as they were, and nothing half-written beside them.
TEST_F(BrushLibrary, AFailedOverwriteLeavesThePresetAsItWas) {
    save("Kept");
    const std::string picture = scratch.path("Brushes/Kept.png"), icon = scratch.path("Brushes/Icons/Kept.png");
    const std::string oldPicture = svctest::readFile(picture), oldIcon = svctest::readFile(icon);
    ASSERT_NE(comment(picture), "<none>");
    f_PartNum = 9;  // a comment of its own for the new preset
    {
        std::lock_guard<std::mutex> lock(gBrushPreviewMutex);
        brushColor.getPixels()[0] = 200;
    }
    struct Case {
        const char* what;
        std::function<void()> breakIt, mendIt;
    };
    std::vector<Case> cases = {{"the icon has no pixels",
                                [] {
                                    std::lock_guard<std::mutex> lock(gBrushPreviewMutex);
                                    brushIconColor.clear();
                                },
                                [] {
                                    std::lock_guard<std::mutex> lock(gBrushPreviewMutex);
                                    brushIconColor.setUseTexture(false);
                                    brushIconColor.allocate(64, 64, OF_IMAGE_COLOR);
                                }}};
    // A folder that cannot be written means nothing to root.
    if (geteuid() != 0)
        cases.push_back({"the icons folder cannot be written",
                         [this] { ASSERT_EQ(chmod(scratch.path("Brushes/Icons").c_str(), 0555), 0); },
                         [this] { ASSERT_EQ(chmod(scratch.path("Brushes/Icons").c_str(), 0755), 0); }});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        answers.messages.clear();
        c.breakIt();
        answers.questionReplies = {wxID_YES};
        save("Kept");
        c.mendIt();
        EXPECT_EQ(answers.messages, std::vector<wxString>{"Message: Error writing data into brush file: " + icon});
        EXPECT_EQ(svctest::readFile(picture), oldPicture);
        EXPECT_EQ(svctest::readFile(icon), oldIcon);
        for (const std::string& folder : {scratch.path("Brushes"), scratch.path("Brushes/Icons")})
            for (const std::string& name : svctest::listDir(folder))
                EXPECT_NE(name[0], '.') << name << " left behind";
        EXPECT_EQ(f_newBrushPreset.load(), 2);  // the capture goes on, the sample kept
    }
    if (geteuid() == 0)
        std::printf("as root the unwritable icons folder is not tried; the icon without pixels is\n");
}

TEST_F(BrushLibrary, ControlsLeftEnabledByTheCloseBoxStillSave) {
    click(frame->brushLibraryButton);
    f_newBrushPreset = 0;
    click(b->newButton);
    f_newBrushPreset = 2;
    closeBox();
    ASSERT_EQ(f_newBrushPreset.load(), 3);
    f_newBrushPreset = 0;  // the engine ended the capture
    b->nameText->SetValue("late");
    click(b->okButton);
    EXPECT_TRUE(exists(scratch.path("Brushes/late.png")));
    EXPECT_EQ(f_newBrushPreset.load(), 3);
}

// --- Applying ---------------------------------------------------------------------

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
    click(frame->gradientButton);
    click(frame->darkenButton);
    scroll(frame->sliderOpacity, 10);
    click(frame->ribbonButton);
    scroll(frame->sliderSize, 20);
    scroll(frame->sliderWidth, 1);
    scroll(frame->sliderSoft, 50);
    scroll(frame->sliderFade, 0);
    click(frame->smoothButton);
    f_setStrings = false;
    b->newButton->Disable();
    b->newButton->Enable();

    ASSERT_NE(row(0), nullptr);
    click(row(0));
    EXPECT_TRUE(answers.messages.empty());
    EXPECT_EQ(paletteBasicRadd.load(), 255);
    EXPECT_EQ(paletteBasicGadd.load(), 128);
    EXPECT_EQ(paletteBasicBadd.load(), 0);
    EXPECT_EQ(f_perpixelz.load(), 0);
    EXPECT_FALSE(frame->bGradientMode);
    EXPECT_EQ(frame->sliderColor->GetValue(), 20);
    EXPECT_EQ(label(frame->labelSaturation), "240");
    EXPECT_EQ(frame->sliderLum->GetValue(), 120);
    EXPECT_EQ(frame->swatchColor, wxColour(255, 128, 0));
    EXPECT_EQ(pictureColour(frame->colorSwatch), wxColour(255, 128, 0));
    EXPECT_TRUE(highlighted(frame->colorButton) && normal(frame->gradientButton));
    EXPECT_FLOAT_EQ(f_opacityz.load(), 100);
    EXPECT_EQ(frame->sliderOpacity->GetValue(), 100);
    EXPECT_TRUE(f_additive.load());
    EXPECT_TRUE(highlighted(frame->lightenButton) && normal(frame->darkenButton));
    EXPECT_EQ(f_modes.load(), 1);
    EXPECT_TRUE(highlighted(frame->followButton) && normal(frame->ribbonButton));
    EXPECT_EQ(f_PartNum.load(), 300);
    EXPECT_EQ(frame->sliderSize->GetValue(), 300);
    EXPECT_EQ(label(frame->labelSize), "300");
    EXPECT_EQ(frame->sliderWidth->GetValue(), 10);
    EXPECT_FLOAT_EQ(f_NormLen.load(), 2.5f);
    EXPECT_EQ(frame->sliderSoft->GetValue(), 1);
    EXPECT_FLOAT_EQ(f_velInf.load(), 1);
    EXPECT_FLOAT_EQ(f_fadez.load(), 10);
    EXPECT_EQ(frame->sliderFade->GetValue(), 1);
    EXPECT_EQ(label(frame->labelFade), "1");
    EXPECT_FALSE(f_spline.load());
    EXPECT_TRUE(normal(frame->smoothButton));
    EXPECT_TRUE(f_setStrings.load() && f_setPalette.load());
    EXPECT_EQ(wxWindow::FindFocus(), b->newButton);

    // Without "Use Brush Color" only the brush parameters are applied.
    click(frame->darkenButton);
    scroll(frame->sliderSize, 20);
    b->useBrushColor->SetValue(false);
    click(row(0));
    EXPECT_FALSE(f_additive.load());
    EXPECT_EQ(f_PartNum.load(), 300);
}

TEST_F(BrushLibrary, AGradientPresetSwitchesTheToolWindowToTheGradient) {
    GradientDialog* g = frame->gradientDialog;
    g->gradientArray[4] = wxColour(0, 255, 0);
    click(frame->gradientButton);
    g->PostPalette();
    f_perpixelzMode = 1;
    f_perpixelzTimeVal = 6;
    f_perpixelzTime = 6;
    save("Rainbow");

    click(frame->colorButton);
    g->gradientArray[4] = wxColour(1, 1, 1);
    g->checkBoxStateArray[2] = true;
    g->checkBoxes[2]->SetValue(true);
    f_perpixelzTime = 0;
    ASSERT_NE(row(0), nullptr);
    click(row(0));
    EXPECT_EQ(f_perpixelz.load(), 1);
    EXPECT_EQ(g->gradientArray[4], wxColour(0, 255, 0));
    EXPECT_EQ(pictureColour(g->swatches[4]), wxColour(0, 255, 0));
    EXPECT_FALSE(g->checkBoxStateArray[2]);
    EXPECT_FALSE(g->checkBoxes[2]->GetValue());
    EXPECT_EQ(g->preview->GetBitmap().GetSize(), wxSize(305, 30));
    EXPECT_EQ(g->SliderTime->GetValue(), 6);
    EXPECT_EQ(g->StaticTextTimeValue->GetLabel(), "6");
    EXPECT_TRUE(g->CheckBoxUseTime->GetValue());
    EXPECT_FLOAT_EQ(f_perpixelzTime.load(), 6);
    EXPECT_FALSE(frame->sliderColor->IsEnabled());
    EXPECT_TRUE(normal(frame->colorButton) && highlighted(frame->gradientButton));
    {
        std::lock_guard<std::mutex> lock(gPaletteMutex);
        EXPECT_EQ(paletteGadd[1600], 255);
    }
    // The tool window follows once the click is over.
    EXPECT_FALSE(frame->bGradientMode);
    frame->GetEventHandler()->ProcessPendingEvents();
    EXPECT_TRUE(frame->bGradientMode);
}

TEST_F(BrushLibrary, PresetsThatCannotBeAppliedStillHandOverTheGradient) {
    putPreset("Brushes/Odd.png", "V|151|C|1|2|3|P|5|S|0|BRU|B|7|END");
    putPreset("Brushes/Bare.png", nullptr);
    putPreset("Brushes/Words.png", "V|150|C|255|0|1|P|lots|S|1|BRU|B|7|END");
    listAndMakeIcons();
    ASSERT_EQ(rowNames(), (std::vector<std::string>{"Bare", "Odd", "Words"}));

    f_setPalette = false;
    click(row(1));
    EXPECT_EQ(f_PartNum.load(), 100);
    EXPECT_NE(paletteBasicRadd.load(), 1);
    EXPECT_TRUE(f_setPalette.load());  // the gradient is handed over all the same
    EXPECT_TRUE(answers.messages.empty());

    f_setPalette = false;
    click(row(0));
    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_EQ(answers.messages[0], "Brush settings: Brush settings not found.");
    EXPECT_TRUE(f_setPalette.load());

    // A number that is no number is named and read as 0; the hue rounds to 239 at most.
    click(row(2));
    ASSERT_EQ(answers.messages.size(), 2u);
    EXPECT_EQ(answers.messages[1], "Message: string lotscould not be casted into integer.");
    EXPECT_FLOAT_EQ(f_opacityz.load(), 1);
    EXPECT_EQ(f_PartNum.load(), 7);
    EXPECT_EQ(frame->sliderColor->GetValue(), 239);

    // A click that matches no row.
    wxCommandEvent stray(wxEVT_BUTTON, wxNewId());
    b->OnBitmapButtonListClick(stray);
    EXPECT_EQ(answers.messages.back(), "Message: Event Id could not be identified.");
}
