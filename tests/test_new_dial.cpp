// The New Settings dialog in the real tool window: its texts and read-out,
// the number test's message, what OK hands to the engine, the swatch, and
// how Cancel, Esc and the close box end it.
#include <wx/checkbox.h>
#include <wx/textctrl.h>

#include "core/Requests.h"
#include "tests/toolwindow_fixture.h"

using twtest::ToolWindow;

namespace {

std::string readout(NewDial* d) {
    return (d->widthCm->GetLabel() + " x " + d->heightCm->GetLabel() + " cm, " + d->widthInch->GetLabel() + " x " +
            d->heightInch->GetLabel() + " inch")
        .utf8_string();
}

}  // namespace

TEST_F(ToolWindow, NewSettingsStartsFromItsOwnTextsNotTheArtwork) {
    NewDial* d = frame->newDial;
    EXPECT_EQ(d->GetTitle(), "New Settings");
    f_sx = 1234;
    f_sy = 567;
    f_alphaBCG = 1;
    f_bcgR = 200;
    menu(wxID_NEW);
    ASSERT_TRUE(d->IsShown());
    EXPECT_FALSE(f_showCursor.load());
    EXPECT_EQ(d->widthText->GetValue(), "800");
    EXPECT_EQ(d->heightText->GetValue(), "600");
    EXPECT_EQ(d->dpiText->GetValue(), "72");
    EXPECT_FALSE(d->alphaBox->GetValue());
    EXPECT_EQ(pictureColour(d->colourSwatch), *wxBLACK);
    EXPECT_EQ(readout(d), "28.22 x 21.17 cm, 11.11 x 8.33 inch");

    // Every text change refreshes the read-out; showing it again while it
    // is up keeps what was typed.
    d->widthText->SetValue("1920");
    d->heightText->SetValue("1080");
    d->dpiText->SetValue("300");
    EXPECT_EQ(readout(d), "16.26 x 9.14 cm, 6.40 x 3.60 inch");
    d->dpiText->SetValue("0");
    EXPECT_EQ(readout(d), "0.00 x 0.00 cm, 0.00 x 0.00 inch");
    menu(wxID_NEW);
    EXPECT_EQ(d->widthText->GetValue(), "1920");
}

TEST_F(ToolWindow, NewSettingsRefusesTextsThatAreNoNumbers) {
    NewDial* d = frame->newDial;
    f_sx = 1234;
    d->Show(true);
    for (const char* width : {"abc", "12.5", "800px", " 800", "12 3"}) {
        for (bool inWidth : {true, false}) {
            answers.messages.clear();
            f_showCursor = false;
            f_workState = 7;
            d->widthText->SetValue(inWidth ? width : "300");
            d->heightText->SetValue(inWidth ? "200" : width);
            click(d->okButton);
            ASSERT_EQ(answers.messages.size(), 1u) << width;
            EXPECT_EQ(answers.messages[0], "Info: Only numbers are allowed as width and height parameter.");
            EXPECT_EQ(f_workState.load(), 7) << width;
            EXPECT_EQ(f_sx.load(), 1234) << width;
            EXPECT_FALSE(f_showCursor.load()) << width;
            EXPECT_TRUE(d->IsShown()) << width;
        }
    }
    d->widthText->SetValue("abc");
    d->heightText->SetValue("600");
    EXPECT_EQ(readout(d), "0.00 x 21.17 cm, 0.00 x 8.33 inch");
}

TEST_F(ToolWindow, NewSettingsOkHandsTheCanvasToTheEngine) {
    NewDial* d = frame->newDial;
    struct Row {
        const char *w, *h;
        bool alpha;
        int sx, sy;
    } rows[] = {{"9", "10", true, 10, 10}, {"11", "", false, 11, 10}, {"+800", "-50", true, 800, 10},
                {"99999999999", "600", false, 2147483647, 600}};
    for (const Row& r : rows) {
        d->Show(true);
        f_workState = 4;  // a pending request is replaced
        f_showCursor = false;
        f_alphaBCG = r.alpha ? 0 : 1;
        f_alphaBCGsave = r.alpha ? 0 : 1;
        d->widthText->SetValue(r.w);
        d->heightText->SetValue(r.h);
        d->alphaBox->SetValue(r.alpha);
        click(d->okButton);
        EXPECT_EQ(f_sx.load(), r.sx) << r.w;
        EXPECT_EQ(f_sy.load(), r.sy) << r.h;
        EXPECT_EQ(f_alphaBCG.load(), r.alpha ? 1 : 0) << r.w;
        EXPECT_EQ(f_alphaBCGsave.load(), r.alpha ? 1 : 0) << r.w;
        EXPECT_EQ(f_workState.load(), kWorkNewArtwork) << r.w;
        EXPECT_TRUE(f_showCursor.load()) << r.w;
        EXPECT_FALSE(d->IsShown()) << r.w;
    }
    EXPECT_TRUE(answers.messages.empty());

    // The next showing has the texts of that OK and a fresh read-out.
    d->Show(true);
    EXPECT_EQ(d->widthText->GetValue(), "99999999999");
    EXPECT_EQ(d->heightCm->GetLabel(), "21.17");
}

TEST_F(ToolWindow, NewSettingsSwatchKeepsItsColourUntilOk) {
    NewDial* d = frame->newDial;
    d->Show(true);
    const wxSize button = d->colourSwatch->GetSize();
    wxColourData seen;
    prompts::setColour([&](wxWindow* parent, wxColourData& data) {
        EXPECT_EQ(parent, d);
        seen = data;
        if (answers.colours.empty())
            return false;
        data.SetColour(answers.colours.front());
        answers.colours.pop_front();
        return true;
    });

    click(d->colourSwatch);  // cancelled: nothing changes
    EXPECT_TRUE(seen.GetChooseFull());
    EXPECT_EQ(seen.GetCustomColour(0), wxColour(0, 0, 0));
    EXPECT_EQ(seen.GetCustomColour(15), wxColour(240, 240, 240));
    EXPECT_EQ(d->colourSwatch->GetBitmapLabel().GetSize(), wxSize(25, 25));
    EXPECT_EQ(pictureColour(d->colourSwatch), *wxBLACK);

    answers.colours = {wxColour(10, 20, 30)};
    click(d->colourSwatch);
    EXPECT_EQ(d->colourSwatch->GetBitmapLabel().GetSize(), wxSize(30, 30));
    EXPECT_EQ(d->colourSwatch->GetSize(), button);
    EXPECT_EQ(pictureColour(d->colourSwatch), wxColour(10, 20, 30));
    click(d->colourSwatch);  // starts from the chosen colour
    EXPECT_EQ(seen.GetColour(), wxColour(10, 20, 30));

    // Cancel keeps the chosen colour for the next OK; nothing is written.
    click(d->cancelButton);
    EXPECT_EQ(f_bcgR.load(), 0);
    d->Show(true);
    click(d->okButton);
    EXPECT_EQ(wxColour(f_bcgR.load(), f_bcgG.load(), f_bcgB.load()), wxColour(10, 20, 30));

    d->Show(true);
    click(d->whiteButton);
    EXPECT_EQ(d->colourSwatch->GetBitmapLabel().GetSize(), wxSize(25, 25));
    EXPECT_EQ(pictureColour(d->colourSwatch), *wxWHITE);
    click(d->okButton);
    EXPECT_EQ(wxColour(f_bcgR.load(), f_bcgG.load(), f_bcgB.load()), *wxWHITE);
    d->Show(true);
    click(d->blackButton);
    click(d->okButton);
    EXPECT_EQ(wxColour(f_bcgR.load(), f_bcgG.load(), f_bcgB.load()), *wxBLACK);
}

TEST_F(ToolWindow, NewSettingsCancelEscAndCloseBoxOnlyHide) {
    NewDial* d = frame->newDial;
    f_sx = 1234;
    const std::function<void()> ends[] = {[&] { click(d->cancelButton); }, [&] { pressEscape(d); },
                                          [&] { d->Close(); }};
    for (const auto& end : ends) {
        d->Show(true);
        d->widthText->SetValue("321");
        d->alphaBox->SetValue(true);
        f_showCursor = false;
        f_workState = 0;
        end();
        EXPECT_FALSE(d->IsShown());
        EXPECT_TRUE(f_showCursor.load());
        EXPECT_EQ(f_workState.load(), 0);
        EXPECT_EQ(f_sx.load(), 1234);
        EXPECT_EQ(f_alphaBCG.load(), 0);
        d->Show(true);
        EXPECT_EQ(d->widthText->GetValue(), "321");
        EXPECT_TRUE(d->alphaBox->GetValue());
        d->Show(false);
    }
}
