// The user manual the build makes: a whole PDF of more than one page whose
// text names every slider and every menu item of the real tool window.

#include <wx/menu.h>
#include <wx/slider.h>

#include <cstdio>
#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "toolwindow_fixture.h"

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

}  // namespace

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
