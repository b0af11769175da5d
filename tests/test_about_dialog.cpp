// The About box: its texts, colours and size, and the website button, which
// starts the same command as the Help menu's online item once per press.

#include <wx/statbmp.h>

#include <fstream>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "toolwindow_fixture.h"

using twtest::ToolWindow;

namespace {

class About : public ToolWindow {
protected:
    void TearDown() override {
        WyrleFrame::opener = savedOpener;
        ToolWindow::TearDown();
    }
    AboutDialog* box() { return frame->aboutDialog; }

    // Makes the opener a script that appends its arguments, one line per run.
    void recordOpener() {
        putManual();
        record = scratch.path("opened.txt");
        const std::string script = scratch.path("opener.sh");
        std::ofstream(script) << "#!/bin/sh\necho \"$*\" >> '" << record << "'\n";
        ASSERT_EQ(chmod(script.c_str(), 0755), 0);
        WyrleFrame::opener = wxString::FromUTF8(script.c_str());
    }
    // The recorded lines once there are `count` of them (or after 5 s).
    std::vector<std::string> recorded(size_t count) {
        std::vector<std::string> lines;
        for (int i = 0; i < 100; ++i) {
            lines.clear();
            std::ifstream in(record);
            for (std::string line; std::getline(in, line);)
                lines.push_back(line);
            if (lines.size() >= count)
                break;
            wxMilliSleep(50);
        }
        return lines;
    }

    const wxString savedOpener = WyrleFrame::opener;
    std::string record;
};

class AboutWithoutLogo : public About {
protected:
    void SetUp() override {
        linkData = false;
        About::SetUp();
    }
};

}  // namespace

TEST_F(About, ShowsTheLogoVersionAndRolesOnTheDarkBackground) {
    AboutDialog* d = box();
    d->Show(true);
    EXPECT_EQ(d->GetTitle(), "");
    EXPECT_EQ(d->GetBackgroundColour(), wxColour(84, 80, 76));
    EXPECT_EQ(d->logo->GetBitmap().GetSize(), wxSize(240, 80));
    const struct { wxStaticText* text; const char* label; wxColour colour; } lines[] = {
        {d->versionText, "version 1.5", wxColour(159, 159, 159)},
        {d->conceptText, "Concept, Technology Design, Interface and Code", wxColour(191, 191, 191)},
        {d->backboneText, "Backbone Design, Security and Code", wxColour(191, 191, 191)},
    };
    for (const auto& line : lines) {
        EXPECT_EQ(line.text->GetLabel(), line.label);
        EXPECT_EQ(line.text->GetForegroundColour(), line.colour) << line.label;
    }
    // The version line ends 35 pixels from the right edge.
    EXPECT_EQ(d->GetClientSize().x - d->versionText->GetRect().GetRight() - 1, 35);
    EXPECT_EQ(d->websiteButton->GetLabel(), "Wyrle Website");
    EXPECT_EQ(d->websiteButton->GetSize(), wxSize(150, 23));
    EXPECT_EQ(d->websiteButton->GetBackgroundColour(), wxColour(240, 240, 240));
    // No OK or Close button of its own.
    EXPECT_EQ(d->FindWindow(wxID_OK), nullptr);
    EXPECT_EQ(d->FindWindow(wxID_CANCEL), nullptr);
    d->Show(false);
}

TEST_F(About, KeepsItsContentOffTheEdgesOnTheBoxsOwnBackground) {
    AboutDialog* d = box();
    d->Show(true);
    const wxSize box = d->GetClientSize();
    for (wxWindow* w : d->GetChildren()) {
        const wxRect r = w->GetRect();
        SCOPED_TRACE(w->GetLabel().utf8_string());
        EXPECT_GE(r.x, 20);
        EXPECT_GE(box.x - r.GetRight() - 1, 20);
        EXPECT_GE(box.y - r.GetBottom() - 1, 20);
    }
    // Round the trail the logo is clear, so the box's colour shows there.
    const wxImage logo = d->logo->GetBitmap().ConvertToImage();
    ASSERT_TRUE(logo.HasAlpha());
    for (const wxPoint& p : {wxPoint(0, 0), wxPoint(239, 0), wxPoint(0, 79), wxPoint(239, 79), wxPoint(120, 4)})
        EXPECT_EQ(logo.GetAlpha(p.x, p.y), 0) << p.x << ", " << p.y;
    d->Show(false);
}

TEST_F(About, EachPressStartsTheOnlineCommandOnceAndTheBoxStaysOpen) {
    recordOpener();
    menu(WyrleFrame::ID_MENUONLINE);
    const std::vector<std::string> online = recorded(1);
    ASSERT_EQ(online.size(), 1u);

    AboutDialog* d = box();
    d->Show(true);
    click(d->websiteButton);
    click(d->websiteButton);
    const std::vector<std::string> lines = recorded(3);
    EXPECT_EQ(lines, std::vector<std::string>(3, online[0]));
    EXPECT_TRUE(d->IsShown());
    d->Show(false);
}

TEST_F(About, RunsModallyFromTheHelpMenu) {
    answers.beforeModal = [this](wxDialog& shown) { EXPECT_EQ(&shown, box()); };
    menu(WyrleFrame::idHelpAbout);
    EXPECT_EQ(answers.modals, 1);
}

TEST_F(AboutWithoutLogo, AMissingLogoStillBuildsAWorkingBox) {
    AboutDialog* d = box();
    EXPECT_FALSE(d->logo->GetBitmap().IsOk());
    EXPECT_TRUE(answers.messages.empty());
    recordOpener();
    d->Show(true);
    click(d->websiteButton);
    EXPECT_EQ(recorded(1).size(), 1u);
    EXPECT_TRUE(d->IsShown());
    d->Show(false);
}
