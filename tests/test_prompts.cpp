// The modal boxes of gui/GuiPrompts as the user meets them.

#include <cstdlib>
#include <thread>

#include "gui/GuiPrompts.h"
#include "tests/toolwindow_fixture.h"

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
