// The user manual the build makes: a whole PDF of more than one page whose
// text names every slider and every menu item of the real tool window, with
// the screenshots taken of the program each on the page of its caption.

#include <wx/menu.h>
#include <wx/slider.h>

#include <cstdio>
#include <cctype>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/toolwindow_fixture.h"

using twtest::ToolWindow;

namespace {

const char kManual[] = WYRLE_SOURCE_DIR "/Documents/Wyrle_Manual_v1.5_Win.pdf";

std::string run(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, p)) > 0)
            out.append(buffer, n);
        pclose(p);
    }
    return out;
}

// Typographic dashes as "-", every run of white space as one blank, so that a
// name broken over two lines still reads as written.
std::string plain(std::string text) {
    for (const char* dash : {"\u2010", "\u2011", "\u2012", "\u2013", "\u2212"})
        for (size_t at; (at = text.find(dash)) != std::string::npos;)
            text.replace(at, std::string(dash).size(), "-");
    std::string out;
    for (char c : text) {
        const bool blank = std::isspace(static_cast<unsigned char>(c));
        if (!blank)
            out += c;
        else if (out.empty() || out.back() != ' ')
            out += ' ';
    }
    return out;
}

std::string quoted(const std::string& path) { return "'" + path + "'"; }

}  // namespace

// Every screenshot the screenshot script takes is in the manual pixel for
// pixel, on the page that holds its caption.
TEST(Manual, HoldsEachScreenshotOnThePageOfItsCaption) {
    struct Figure {
        const char* shot;
        const char* caption;
    };
    const Figure figures[] = {
        {"toolwindow", "The tool window as the program starts"},
        {"stroke-wyrle", "One quick wave of the mouse in the Wyrle style"},
        {"stroke-follow", "The same wave in the Follow style"},
        {"stroke-ribbon", "The same wave in the Ribbon style"},
    };
    // "page num type width height ..." after two heading lines.
    std::istringstream list(run("pdfimages -list " + quoted(kManual) + " 2>&1"));
    std::vector<int> pages;
    std::string line;
    for (int skip = 0; skip < 2 && std::getline(list, line); ++skip) {}
    while (std::getline(list, line)) {
        std::istringstream row(line);
        int page = 0, num = -1;
        if (row >> page >> num && num == static_cast<int>(pages.size())) pages.push_back(page);
    }
    EXPECT_EQ(pages.size(), std::size(figures)) << "pictures in the manual";

    svctest::TempDir dir;
    ASSERT_TRUE(dir.ok());
    run("pdfimages -png " + quoted(kManual) + " " + quoted(dir.path("image")));
    for (const Figure& figure : figures) {
        SCOPED_TRACE(figure.shot);
        const std::string shot = std::string(WYRLE_MANUAL_SHOTS "/") + figure.shot + ".png";
        ASSERT_FALSE(svctest::readFile(shot).empty()) << shot << " was not taken";
        int page = 0;
        for (size_t n = 0; n < pages.size() && page == 0; ++n) {
            char name[32];
            std::snprintf(name, sizeof name, "image-%03zu.png", n);
            const std::string differ =
                run("compare -metric AE " + quoted(shot) + " " + quoted(dir.path(name)) + " null: 2>&1");
            if (differ == "0") page = pages[n];
        }
        ASSERT_NE(page, 0) << "the manual does not hold the screenshot " << shot;
        const std::string text = plain(run("pdftotext -enc UTF-8 -f " + std::to_string(page) + " -l " +
                                           std::to_string(page) + " " + quoted(kManual) + " - 2>&1"));
        EXPECT_NE(text.find(figure.caption), std::string::npos) << "its caption is not on its page " << page;
    }
}

TEST(Manual, IsAWholePdfOfSeveralPages) {
    const std::string bytes = svctest::readFile(kManual);
    ASSERT_FALSE(bytes.empty()) << kManual << " was not built";
    EXPECT_EQ(bytes.compare(0, 5, "%PDF-"), 0);
    EXPECT_NE(bytes.find("%%EOF", bytes.size() > 32 ? bytes.size() - 32 : 0), std::string::npos);
    const std::string info = run(std::string("pdfinfo '") + kManual + "' 2>&1");
    const size_t at = info.find("Pages:");
    ASSERT_NE(at, std::string::npos) << info;
    EXPECT_GT(std::atoi(info.c_str() + at + 6), 1) << info;
}

TEST_F(ToolWindow, ManualNamesEverySliderAndMenuItem) {
    const std::string text = plain(run(std::string("pdftotext -enc UTF-8 '") + kManual + "' - 2>&1"));
    ASSERT_FALSE(text.empty());
    std::vector<std::string> names;
    // A slider's name is the label just before it in its row.
    wxWindow* before = nullptr;
    for (wxWindow* child : frame->GetChildren()) {
        if (dynamic_cast<wxSlider*>(child) && dynamic_cast<wxStaticText*>(before))
            names.push_back(std::string(before->GetLabel().utf8_str()));
        before = child;
    }
    EXPECT_EQ(names.size(), 17u);  // 4 colour, 11 brush, 2 eraser
    wxMenuBar* bar = frame->GetMenuBar();
    for (size_t m = 0; m < bar->GetMenuCount(); ++m) {
        names.push_back(std::string(bar->GetMenuLabelText(m).utf8_str()));
        for (wxMenuItem* item : bar->GetMenu(m)->GetMenuItems())
            if (!item->IsSeparator())
                names.push_back(std::string(item->GetItemLabelText().utf8_str()));
    }
    for (const std::string& name : names)
        EXPECT_NE(text.find(plain(name)), std::string::npos) << "the manual does not name \"" << name << "\"";
}
