// Where the program's dialogs and boxes come up and to which window they
// belong: the user time a window shown for a key in the drawing window
// carries, the window each box and question is asked from, and the box
// itself (its icon, its buttons, its place, its answers).

#include <wx/artprov.h>
#include <wx/display.h>
#include <wx/filename.h>
#include <wx/scrolwin.h>
#include <wx/statbmp.h>
#include <wx/textctrl.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <memory>

#include "gui/GuiPrompts.h"
#include "platform/xinput.h"
#include "tests/toolwindow_fixture.h"

// Last: Xlib's macros would clash with the names above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

using twtest::ToolWindow;

namespace {

// The _NET_WM_USER_TIME of the mapped window titled `title` (0 when it has
// none), as the X server holds it for the window manager.
unsigned long userTimeOf(const std::string& title) {
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return 0;
    const Atom userTime = XInternAtom(dpy, "_NET_WM_USER_TIME", False);
    unsigned long found = 0;
    std::function<void(Window)> visit = [&](Window w) {
        char* name = nullptr;
        if (XFetchName(dpy, w, &name) && name) {
            if (title == name) {
                Atom type = None;
                int format = 0;
                unsigned long items = 0, left = 0;
                unsigned char* data = nullptr;
                if (XGetWindowProperty(dpy, w, userTime, 0, 1, False, XA_CARDINAL, &type, &format, &items, &left,
                                       &data) == Success &&
                    data) {
                    if (items == 1)
                        found = *reinterpret_cast<unsigned long*>(data);
                    XFree(data);
                }
            }
            XFree(name);
        }
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int n = 0;
        if (XQueryTree(dpy, w, &root, &parent, &children, &n)) {
            for (unsigned int i = 0; i < n && !found; ++i)
                visit(children[i]);
            if (children)
                XFree(children);
        }
    };
    visit(DefaultRootWindow(dpy));
    XCloseDisplay(dpy);
    return found;
}

}  // namespace

TEST_F(ToolWindow, ADialogShownForADrawingWindowKeyTakesThatKeysTime) {
    std::vector<guibridge::Task> queued;
    guibridge::setPoster([&](guibridge::Task t) { queued.push_back(std::move(t)); });
    BaseApp* thread = BaseApp::Instance();
    // As the engine does for Ctrl+N: the time of the press, then the command.
    const unsigned long pressed = xinput::serverTime();
    ASSERT_NE(pressed, 0u);
    thread->UserActed(pressed);
    thread->NewDialog();
    for (auto& t : queued)
        t();
    ASSERT_TRUE(frame->newDial->IsShown());
    wxYield();
    EXPECT_EQ(userTimeOf("New Settings"), pressed);
    EXPECT_EQ(dialogkit::userTime(), pressed);
    frame->newDial->Show(false);
}

TEST(UserTime, AnOlderPressNeverTakesThePlaceOfALaterOne) {
    if (!twtest::startWx())
        GTEST_SKIP() << "no X display";
    // Each press in turn, as a time after the start, and the time kept after
    // it: the latest press, also against GTK's own time.
    const uint32_t start = static_cast<uint32_t>(dialogkit::userTime());
    const struct {
        uint32_t pressed, kept;
    } rows[] = {{1000, 1000}, {2000, 2000}, {1500, 2000}, {0x60000000u, 0x60000000u}};
    for (const auto& r : rows) {
        dialogkit::noteUserTime(start + r.pressed);
        EXPECT_EQ(dialogkit::userTime(), start + r.kept) << std::hex << r.pressed;
    }
    // No time at all changes nothing.
    dialogkit::noteUserTime(0);
    EXPECT_EQ(dialogkit::userTime(), start + 0x60000000u);
}

// Each question and box is asked from the window the user works in, so it
// stays above that window, also when it is kept on top of others.
class AskedFrom : public ToolWindow {
protected:
    void beforeFrame() override {
        wxImage row(160, 22);
        ASSERT_TRUE(row.SaveFile(wxGetCwd() + "/Gradients/warm.png", wxBITMAP_TYPE_PNG));
        wxImage preset(64, 64);
        ASSERT_TRUE(preset.SaveFile(wxGetCwd() + "/Brushes/soft.png", wxBITMAP_TYPE_PNG));
        ASSERT_TRUE(preset.SaveFile(wxGetCwd() + "/Brushes/Icons/soft.png", wxBITMAP_TYPE_PNG));
    }
    void SetUp() override {
        ToolWindow::SetUp();
        if (IsSkipped())
            return;
        prompts::setQuestion([this](const wxString& text, const wxString&, long, wxWindow* parent) {
            asked.push_back({text.utf8_string(), parent ? wxGetTopLevelParent(parent) : nullptr});
            return static_cast<int>(wxID_NO);
        });
        prompts::setMessage([this](const wxString& text, const wxString&, wxWindow* parent) {
            asked.push_back({text.utf8_string(), parent ? wxGetTopLevelParent(parent) : nullptr});
        });
        std::lock_guard<std::mutex> lock(gBrushPreviewMutex);
        brushColor.setUseTexture(false);
        brushIconColor.setUseTexture(false);
        brushColor.allocate(256, 256, OF_IMAGE_COLOR);
        brushIconColor.allocate(64, 64, OF_IMAGE_COLOR);
    }
    struct Asked {
        std::string text;
        wxWindow* window;
    };
    std::vector<Asked> asked;
};

TEST_F(AskedFrom, EveryQuestionAndBoxBelongsToTheWindowItWasAskedFrom) {
    GradientDialog* g = frame->gradientDialog;
    SaveBrushDialog* b = frame->saveBrushDialog;
    const std::string existing = scratch.path("old.png");
    std::ofstream(existing) << "x";
    answers.saveAnswer = {wxString::FromUTF8(existing.c_str()), 0};
    const auto saveGradient = [&](const char* name) {
        click(g->ButtonSaveGradient);
        g->TextCtrlNewGradient->SetValue(name);
        click(g->ButtonOkNewGradient);
    };
    const struct {
        const char* what;
        std::function<void()> ask;
        wxWindow* window;
    } rows[] = {
        {"gradient overwrite", [&] { saveGradient("warm"); }, g},
        {"gradient name rule", [&] { saveGradient("a.b"); }, g},
        {"gradient delete", [&] { click(g->rowXButton(0)); }, g},
        {"brush delete", [&] { click(b->rowXButton(0)); }, b},
        {"brush overwrite",
         [&] {
             f_newBrushPreset = 0;
             click(b->newButton);
             f_newBrushPreset = 2;
             b->nameText->SetValue("soft");
             click(b->okButton);
         },
         b},
        {"export overwrite", [&] { click(frame->exportDialog->okButton); }, frame->exportDialog},
        {"save as overwrite", [&] { menu(WyrleFrame::idFileSaveAs); }, frame},
        {"new settings number test",
         [&] {
             frame->newDial->widthText->SetValue("abc");
             click(frame->newDial->okButton);
         },
         frame->newDial},
    };
    for (const auto& r : rows) {
        asked.clear();
        r.ask();
        ASSERT_EQ(asked.size(), 1u) << r.what;
        EXPECT_EQ(asked[0].window, r.window) << r.what << ": " << asked[0].text;
    }
}

TEST(BoxOwner, TheGivenWindowsTopWindowElseTheFocusedOneElseTheMainWindow) {
    if (!twtest::startWx())
        GTEST_SKIP() << "no X display";
    wxFrame* main = new wxFrame(nullptr, wxID_ANY, "main");
    wxTheApp->SetTopWindow(main);
    wxDialog* dialog = new wxDialog(main, wxID_ANY, "dialog");
    wxButton* button = new wxButton(dialog, wxID_ANY, "b");
    main->Show(true);
    dialog->Show(true);
    EXPECT_EQ(prompts::ownerOf(button), dialog);
    EXPECT_EQ(prompts::ownerOf(dialog), dialog);
    // A hidden window cannot hold a box above it.
    dialog->Show(false);
    EXPECT_EQ(prompts::ownerOf(button), main);
    EXPECT_EQ(prompts::ownerOf(nullptr), main);
    main->Show(false);
    EXPECT_EQ(prompts::ownerOf(button), nullptr);
    wxTheApp->SetTopWindow(nullptr);
    main->Destroy();
    wxTheApp->ProcessIdle();
}

// The real box, looked at while it is up and answered as a user would.
class Box : public ::testing::Test {
protected:
    void SetUp() override {
        if (!twtest::startWx())
            GTEST_SKIP() << "no X display";
        prompts::resetAll();
        owner = new wxDialog(nullptr, wxID_ANY, "owner", wxPoint(10, 10), wxSize(200, 100));
        owner->Show(true);
    }
    void TearDown() override {
        if (owner)
            owner->Destroy();
        wxTheApp->ProcessIdle();
    }
    // The modal box now up.
    static wxDialog* shownBox() {
        for (wxWindow* w : wxTopLevelWindows) {
            wxDialog* d = dynamic_cast<wxDialog*>(w);
            if (d && d->IsModal())
                return d;
        }
        return nullptr;
    }
    // Looks at the box and answers it once it runs modally: pending calls
    // may also be run while it is being shown, and then it asks again.
    struct Answerer {
        std::function<void(wxDialog&)> look, answer;
        std::shared_ptr<bool> done;
        void operator()() const {
            if (*done)
                return;
            wxDialog* box = shownBox();
            if (!box) {
                wxTheApp->CallAfter(*this);
                return;
            }
            *done = true;
            look(*box);
            answer(*box);
        }
    };
    // Asks, runs `look` on the box once it is up, then `answer` on it.
    int ask(long style, const std::function<void(wxDialog&)>& look, const std::function<void(wxDialog&)>& answer) {
        const auto done = std::make_shared<bool>(false);
        wxTheApp->CallAfter(Answerer{look, answer, done});
        int reply = wxID_OK;
        if (style & wxYES_NO)
            reply = prompts::question("File already exists. Do you want to overwrite it?", "Info", style, owner);
        else
            prompts::message("Done.", "Info", owner);
        EXPECT_TRUE(*done) << "the box ended before it was answered, with " << reply;
        *done = true;
        return reply;
    }
    static void press(wxDialog& box, int id) {
        wxWindow* button = box.FindWindow(id);
        ASSERT_NE(button, nullptr) << id;
        wxCommandEvent click(wxEVT_BUTTON, id);
        click.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(click);
    }
    static void escape(wxDialog& box) {
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = WXK_ESCAPE;
        key.SetEventObject(&box);
        box.GetEventHandler()->ProcessEvent(key);
    }
    static wxStaticBitmap* iconOf(wxDialog& box) {
        for (wxWindow* w : box.GetChildren())
            if (wxStaticBitmap* icon = dynamic_cast<wxStaticBitmap*>(w))
                return icon;
        return nullptr;
    }

    wxDialog* owner = nullptr;
};

TEST_F(Box, AQuestionShowsTheIconAndItsTwoButtonsAtTheirOwnSizeCentredAboveItsWindow) {
    ask(
        wxYES_NO | wxNO_DEFAULT | wxICON_INFORMATION,
        [&](wxDialog& box) {
            EXPECT_EQ(box.GetTitle(), "Info");
            EXPECT_EQ(box.GetParent(), owner);
            wxStaticBitmap* icon = iconOf(box);
            ASSERT_NE(icon, nullptr);
            EXPECT_TRUE(icon->GetBitmap().IsOk());
            wxButton* yes = dynamic_cast<wxButton*>(box.FindWindow(wxID_YES));
            wxButton* no = dynamic_cast<wxButton*>(box.FindWindow(wxID_NO));
            ASSERT_TRUE(yes && no);
            for (wxButton* b : {yes, no})
                EXPECT_EQ(b->GetSize(), b->GetBestSize()) << b->GetLabel();
            EXPECT_LT(yes->GetRect().GetRight(), no->GetPosition().x);
            EXPECT_EQ(box.GetDefaultItem(), no);
            const wxRect screen = wxDisplay(wxDisplay::GetFromWindow(&box)).GetClientArea();
            const wxRect at = box.GetScreenRect();
            EXPECT_LE(std::abs(at.x + at.width / 2 - (screen.x + screen.width / 2)), 1);
            EXPECT_LE(std::abs(at.y + at.height / 2 - (screen.y + screen.height / 2)), 1);
        },
        [](wxDialog& box) { press(box, wxID_NO); });
}

// An OK box (a message) and a question that names no icon get the toolkit's
// default for their buttons.
TEST_F(Box, ABoxShowsTheIconItsStyleAsksForOrTheToolkitsDefault) {
    const struct {
        long style;
        wxArtID icon;  // empty: no icon
    } rows[] = {
        {wxOK | wxCENTRE, wxART_INFORMATION},
        {wxYES_NO | wxNO_DEFAULT, wxART_QUESTION},
        {wxYES_NO | wxNO_DEFAULT | wxICON_NONE, wxArtID()},
        {wxYES_NO | wxNO_DEFAULT | wxICON_INFORMATION, wxART_INFORMATION},
        {wxYES_NO | wxICON_WARNING, wxART_WARNING},
    };
    for (const auto& r : rows) {
        ask(
            r.style,
            [&](wxDialog& box) {
                wxStaticBitmap* icon = iconOf(box);
                if (r.icon.empty()) {
                    EXPECT_EQ(icon, nullptr) << r.style;
                    return;
                }
                ASSERT_NE(icon, nullptr) << r.style;
                const wxImage shown = icon->GetBitmap().ConvertToImage();
                const wxImage wanted = wxArtProvider::GetBitmap(r.icon, wxART_MESSAGE_BOX).ConvertToImage();
                ASSERT_TRUE(shown.IsOk() && wanted.IsOk()) << r.style;
                ASSERT_EQ(shown.GetSize(), wanted.GetSize()) << r.style;
                const size_t bytes = size_t(wanted.GetWidth()) * wanted.GetHeight() * 3;
                EXPECT_EQ(std::memcmp(shown.GetData(), wanted.GetData(), bytes), 0)
                    << r.style << " shows another icon than " << r.icon;
            },
            [](wxDialog& box) { box.EndModal(wxID_CANCEL); });
    }
}

TEST_F(Box, EachEndOfABoxGivesItsAnswer) {
    const auto none = [](wxDialog&) {};
    const struct {
        const char* how;
        long style;
        std::function<void(wxDialog&)> end;
        int answer;
    } rows[] = {
        {"Yes", wxYES_NO | wxNO_DEFAULT, [](wxDialog& b) { press(b, wxID_YES); }, wxID_YES},
        {"No", wxYES_NO | wxNO_DEFAULT, [](wxDialog& b) { press(b, wxID_NO); }, wxID_NO},
        {"Esc in a question", wxYES_NO | wxNO_DEFAULT, [](wxDialog& b) { escape(b); }, wxID_NO},
        {"close box of a question", wxYES_NO | wxNO_DEFAULT, [](wxDialog& b) { b.Close(); }, wxID_NO},
    };
    for (const auto& r : rows)
        EXPECT_EQ(ask(r.style, none, r.end), r.answer) << r.how;
    // An OK box ends with OK, Esc or its close box.
    bool ended = false;
    ask(
        wxOK,
        [](wxDialog& box) { EXPECT_NE(box.FindWindow(wxID_OK), nullptr); },
        [&](wxDialog& box) {
            escape(box);
            ended = !box.IsModal();
        });
    EXPECT_TRUE(ended);
}
