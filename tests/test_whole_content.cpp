// Every dialog of the real program, shown under the test's X server with the
// contents a painter gives it, shows each button, label, text field, check
// box, slider and picture whole and inside its parent (see whole_content.h),
// and keeps its controls in place as their contents change.

#include <wx/image.h>

#include <cstdlib>
#include <fstream>

#include "toolwindow_fixture.h"
#include "whole_content.h"

using twtest::ToolWindow;

namespace {

void writePicture(const wxString& path, int w, int h) {
    wxImage picture(w, h);
    picture.SetRGB(wxRect(0, 0, w, h), 200, 60, 30);
    ASSERT_TRUE(picture.SaveFile(path, wxBITMAP_TYPE_PNG));
}

std::string joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines)
        all += "\n  " + line;
    return all;
}

}  // namespace

// The libraries hold a few rows, as a painter's do.
class WholeContent : public ToolWindow {
protected:
    void beforeFrame() override {
        for (const char* name : {"Sunset", "Forest green 2", "grey"})
            writePicture(wxGetCwd() + "/Gradients/" + name + ".png", 160, 22);
        // A file that is no picture makes an empty row.
        std::ofstream(std::string(wxGetCwd().utf8_string()) + "/Gradients/broken.png") << "no picture";
        for (const char* name : {"Test Brush_1", "Soft"}) {
            writePicture(wxGetCwd() + "/Brushes/" + name + ".png", 256, 256);
            writePicture(wxGetCwd() + "/Brushes/Icons/" + name + ".png", 64, 64);
        }
    }
    void show(wxTopLevelWindow* window) {
        window->Show(true);
        window->Layout();
        wxYield();
    }
    void expectWhole(wxTopLevelWindow* window, const std::vector<wxWindow*>& fills = {}) {
        show(window);
        EXPECT_EQ(joined(wholecontent::cutControls(window, fills)), "") << window->GetTitle();
    }
};

TEST_F(WholeContent, EveryDialogShowsAllItHolds) {
    NewDial* n = frame->newDial;
    n->widthText->SetValue("16384");
    n->heightText->SetValue("12000");
    n->dpiText->SetValue("300");
    expectWhole(n);
    frame->loadDial->pathText->SetValue("/home/painter/sunset.png");
    expectWhole(frame->loadDial);
    f_alphaBCG = 1;
    expectWhole(frame->exportDialog);
    expectWhole(frame->settingsDialog);
    expectWhole(frame->aboutDialog);
    GradientDialog* g = frame->gradientDialog;
    expectWhole(g);
    ASSERT_EQ(g->rowCount(), 4);
    // A save lists the rows anew while the window is up.
    click(g->ButtonSaveGradient);
    g->TextCtrlNewGradient->SetValue("Evening");
    click(g->ButtonOkNewGradient);
    ASSERT_EQ(g->rowCount(), 5);
    expectWhole(g);
    // Its first showing lists the rows anew.
    SaveBrushDialog* b = frame->saveBrushDialog;
    expectWhole(b);
    ASSERT_EQ(b->rowCount(), 2);
    b->nameText->Enable();
    b->nameText->SetValue("Test Brush_1");
    expectWhole(b);
    // The tool window's colour swatches show a cut-out of their picture by
    // design: the gradient's is 49 x 50 in a 50 x 37 swatch.
    expectWhole(frame, {frame->colorSwatch, frame->bcgSwatch});
}

TEST_F(WholeContent, TheArtworkDialogsKeepTheirControlsOffTheSides) {
    for (wxTopLevelWindow* d : std::vector<wxTopLevelWindow*>{frame->newDial, frame->loadDial, frame->exportDialog,
                                                               frame->settingsDialog}) {
        show(d);
        const int width = d->GetClientSize().x;
        for (wxWindow* w : d->GetChildren()) {
            const wxRect r = w->GetRect();
            if (!w->IsShown() || r.IsEmpty())
                continue;
            EXPECT_GE(r.x, 5) << d->GetTitle() << ": " << w->GetLabel();
            EXPECT_GE(width - r.GetRight() - 1, 5) << d->GetTitle() << ": " << w->GetLabel();
        }
    }
}

TEST_F(WholeContent, StopSwatchesKeepTheirFramesAndTheirBoxesUnderThem) {
    GradientDialog* g = frame->gradientDialog;
    std::vector<wxRect> places;
    auto expectInPlace = [&](const char* when) {
        SCOPED_TRACE(when);
        show(g);
        for (int i = 0; i < GradientDialog::kStops; ++i) {
            const wxRect swatch = g->swatches[i]->GetRect(), box = g->checkBoxes[i]->GetRect();
            EXPECT_LE(std::abs((swatch.x + swatch.width / 2) - (box.x + box.width / 2)), 1) << "stop " << i;
            EXPECT_GT(box.y, swatch.GetBottom()) << "stop " << i;
        }
        std::vector<wxRect> now;
        for (wxWindow* w : g->GetChildren())
            now.push_back(w->GetRect());
        if (places.empty())
            places = now;
        EXPECT_EQ(now, places);
        EXPECT_EQ(joined(wholecontent::cutControls(g)), "");
    };
    expectInPlace("first showing, 20 x 20 pictures");
    // A file row and the snapshot put 25 x 25 pictures in the swatches.
    click(g->rowButton(0));
    EXPECT_EQ(g->swatches[0]->GetBitmapLabel().GetSize(), wxSize(25, 25));
    expectInPlace("a file row loaded");
    g->Close();
    EXPECT_FALSE(g->IsShown());
    EXPECT_EQ(g->swatches[0]->GetBitmapLabel().GetSize(), wxSize(25, 25));
    expectInPlace("shown again after the close box");
}

TEST_F(WholeContent, TheDpiBoxStaysPutAsTheReadOutChanges) {
    NewDial* n = frame->newDial;
    show(n);
    const wxPoint dpi = n->dpiText->GetPosition();
    const struct {
        const char *w, *h, *dpi;
    } texts[] = {{"800", "600", "72"}, {"1", "1", "300"}, {"16384", "16384", "1"}, {"abc", "", ""}, {"10", "99999", "2"}};
    for (const auto& t : texts) {
        n->widthText->SetValue(t.w);
        n->heightText->SetValue(t.h);
        n->dpiText->SetValue(t.dpi);
        wxYield();
        EXPECT_EQ(n->dpiText->GetPosition(), dpi) << t.w << " x " << t.h << " at " << t.dpi;
    }
}
