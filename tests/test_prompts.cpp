// The modal boxes of gui/GuiPrompts as the user meets them.

#include <cstdlib>
#include <thread>

#include "gui/GuiPrompts.h"
#include "tests/toolwindow_fixture.h"

// Last: its macros (None, Status...) clash with names in the headers above.
#include <X11/Xlib.h>

// The box itself, not a test seam: another process focuses it and presses
// Esc, which GTK turns into a cancel; the program takes that as No.
TEST(QuestionBox, EscAnswersNo) {
    if (!twtest::startWx())
        GTEST_SKIP() << "no X display";
    if (std::system("command -v xdotool >/dev/null") != 0)
        GTEST_SKIP() << "xdotool is missing";
    prompts::resetAll();
    // The key is sent on its own: chained to the found window, xdotool would
    // send its release to the window the press has closed, and the server
    // would keep Esc held down for whatever comes next.
    std::thread esc([] {
        std::system(
            "timeout 30 xdotool search --sync --name '^Wyrle question box test$' windowfocus --sync "
            ">/dev/null 2>&1 && xdotool key Escape >/dev/null 2>&1");
    });
    const int answer = prompts::question("Answered by Esc?", "Wyrle question box test", wxYES_NO | wxICON_QUESTION);
    esc.join();
    EXPECT_EQ(answer, wxID_NO);
    // A key left down would end the next test's box.
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    char keys[32];
    XQueryKeymap(display, keys);
    const KeyCode escape = XKeysymToKeycode(display, XStringToKeysym("Escape"));
    EXPECT_FALSE(keys[escape / 8] & (1 << (escape % 8))) << "Esc is still held down";
    XCloseDisplay(display);
}
