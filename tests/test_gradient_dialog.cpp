// The gradient tool's window under the test's X server: how it is built,
// its pictures, the stop editing, the snapshot and what Apply, OK, Cancel and
// the close box hand to the engine and the tool window.

#include <wx/checkbox.h>
#include <wx/scrolwin.h>
#include <wx/statbmp.h>
#include <wx/textctrl.h>

#include <cstdlib>
#include <mutex>
#include <set>

#include "toolwindow_fixture.h"

using twtest::ToolWindow;

namespace {

wxColour pixel(const wxBitmap& bitmap, int x, int y) {
    wxImage image = bitmap.ConvertToImage();
    return wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
}

bool near(const wxColour& a, const wxColour& b, int tolerance = 2) {
    return std::abs(a.Red() - b.Red()) <= tolerance && std::abs(a.Green() - b.Green()) <= tolerance &&
           std::abs(a.Blue() - b.Blue()) <= tolerance;
}

// Column x of a ramp from `from` at x0 to `to` over `width` pixels: the
// linear fill samples each column at its centre.
wxColour ramp(const wxColour& from, const wxColour& to, int x0, int width, int x) {
    const double t = (x - x0 + 0.5) / width;
    auto mix = [t](int a, int b) { return static_cast<int>(a + (b - a) * t + 0.5); };
    return wxColour(mix(from.Red(), to.Red()), mix(from.Green(), to.Green()), mix(from.Blue(), to.Blue()));
}

std::string rgb(const wxColour& c) { return std::string(c.GetAsString(wxC2S_CSS_SYNTAX).utf8_str()); }

void onlyStops(GradientDialog* g, std::initializer_list<int> on) {
    for (bool& b : g->checkBoxStateArray)
        b = false;
    for (int i : on)
        g->checkBoxStateArray[i] = true;
}

}  // namespace

class GradientTool : public ToolWindow {
protected:
    // A click on a stop's check box as the toolkit delivers it: the box has
    // already changed when the handler runs.
    void toggle(int stop, bool checked) {
        wxCheckBox* box = g()->checkBoxes[stop];
        box->SetValue(checked);
        wxCommandEvent ev(wxEVT_COMMAND_CHECKBOX_CLICKED, box->GetId());
        ev.SetEventObject(box);
        ev.SetInt(checked ? 1 : 0);
        box->GetEventHandler()->ProcessEvent(ev);
    }
    void closeBox() { g()->Close(); }
    void showFromSwatch() {
        click(frame->gradientButton);
        click(frame->colorSwatch);
        ASSERT_TRUE(g()->IsShown());
    }
    GradientDialog* g() const { return frame->gradientDialog; }
};

TEST(GradientToolIds, AreDistinct) {
    const long ids[] = {GradientDialog::ID_STATICLINE2,
                        GradientDialog::ID_STATICBITMAP1,
                        GradientDialog::ID_BITMAPBUTTON1,
                        GradientDialog::ID_BITMAPBUTTON2,
                        GradientDialog::ID_BITMAPBUTTON3,
                        GradientDialog::ID_BITMAPBUTTON4,
                        GradientDialog::ID_BITMAPBUTTON5,
                        GradientDialog::ID_BITMAPBUTTON6,
                        GradientDialog::ID_BITMAPBUTTON7,
                        GradientDialog::ID_BITMAPBUTTON8,
                        GradientDialog::ID_BITMAPBUTTON9,
                        GradientDialog::ID_CHECKBOX1,
                        GradientDialog::ID_CHECKBOX2,
                        GradientDialog::ID_CHECKBOX3,
                        GradientDialog::ID_CHECKBOX4,
                        GradientDialog::ID_CHECKBOX5,
                        GradientDialog::ID_CHECKBOX6,
                        GradientDialog::ID_CHECKBOX7,
                        GradientDialog::ID_CHECKBOX8,
                        GradientDialog::ID_CHECKBOX9,
                        GradientDialog::ID_CHECKBOXUSETIME,
                        GradientDialog::ID_STATICTEXT1,
                        GradientDialog::ID_STATICTEXTTIMEVALUE,
                        GradientDialog::ID_SLIDERTIME,
                        GradientDialog::ID_BITMAPBUTTONLIST_DEFAULT,
                        GradientDialog::ID_BUTTONLIST_DEFAULT,
                        GradientDialog::ID_STATICTEXTLIST_Default,
                        GradientDialog::ID_STATICLINEDEFAULT,
                        GradientDialog::ID_STATICLINE3,
                        GradientDialog::ID_SCROLLEDWINDOW,
                        GradientDialog::ID_BUTTONSAVEGRADIENT,
                        GradientDialog::ID_TEXTCTRLNEWGRADIENT,
                        GradientDialog::ID_BUTTONOKNEWGRADIENT,
                        GradientDialog::ID_BUTTONAPPLY,
                        GradientDialog::ID_BUTTON1};
    ASSERT_EQ(sizeof ids / sizeof ids[0], 35u);
    std::set<long> distinct(std::begin(ids), std::end(ids));
    EXPECT_EQ(distinct.size(), 35u);
    for (long id : ids) {
        EXPECT_NE(id, wxID_OK);
        EXPECT_NE(id, wxID_CANCEL);
    }
}

TEST_F(GradientTool, StateRightAfterConstruction) {
    GradientDialog* d = g();
    EXPECT_FALSE(d->IsShown());
    EXPECT_EQ(d->GetTitle(), "Gradient Tool");
    EXPECT_TRUE(d->HasFlag(wxSTAY_ON_TOP));
    EXPECT_FALSE(d->HasFlag(wxMAXIMIZE_BOX));
    EXPECT_EQ(d->GetPosition(), wxPoint(300, 35));
    EXPECT_EQ(d->GetEscapeId(), wxID_NONE);
    EXPECT_EQ(d->GetName(), "wxID_ANY");
    EXPECT_EQ(d->GetMinSize(), d->GetSize());

    const gradient::Stops start = gradient::defaultStops();
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(d->checkBoxes[i]->GetValue(), i == 0 || i == 4 || i == 8) << i;
        EXPECT_EQ(d->checkBoxStateArray[i], i == 0 || i == 4 || i == 8) << i;
        EXPECT_EQ(d->checkBoxes[i]->GetName(), wxString::Format("ID_CHECKBOX%d", i + 1));
        const wxBitmap swatch = d->swatches[i]->GetBitmapLabel();
        EXPECT_EQ(swatch.GetSize(), wxSize(20, 20)) << i;
        // 25 x 25, or as much more as GTK's frame round a 25 x 25 picture needs.
        const wxSize size = d->swatches[i]->GetSize();
        EXPECT_TRUE(size.x >= 25 && size.y == size.x) << i;
        EXPECT_EQ(pixel(swatch, 10, 10), wxColour(start.colour[i].r, start.colour[i].g, start.colour[i].b)) << i;
    }
    EXPECT_EQ(d->preview->GetBitmap().GetSize(), wxSize(273, 30));
    EXPECT_EQ(pixel(d->preview->GetBitmap(), 272, 15), pixel(d->GradientBitmap(273, 30), 272, 15));
    EXPECT_EQ(d->BitmapButtonList_default->GetBitmapLabel().GetSize(), wxSize(160, 22));
    EXPECT_EQ(d->GetDefaultItem(), d->BitmapButtonList_default);

    EXPECT_TRUE(d->CheckBoxUseTime->GetValue());
    EXPECT_EQ(d->SliderTime->GetValue(), 3);
    EXPECT_EQ(d->SliderTime->GetMin(), 1);
    EXPECT_EQ(d->SliderTime->GetMax(), 10);
    EXPECT_EQ(label(d->StaticTextTimeValue), "3");
    EXPECT_EQ(label(d->StaticTextList_Default), "Default Gradient");

    EXPECT_EQ(d->TextCtrlNewGradient->GetValue(), "GradientName");
    EXPECT_FALSE(d->TextCtrlNewGradient->IsEnabled());
    EXPECT_FALSE(d->ButtonOkNewGradient->IsEnabled());
    EXPECT_TRUE(d->ButtonSaveGradient->IsEnabled());
    EXPECT_FALSE(d->newGradientOpen);
    EXPECT_FALSE(d->Button_cancle->IsShown());
    EXPECT_FALSE(d->Button1->IsShown());
    EXPECT_FALSE(d->ButtonList_Default->IsShown());
    EXPECT_FALSE(d->ButtonList_Default->IsEnabled());
    EXPECT_EQ(d->Button_ok->GetName(), "wxID_OK");
    EXPECT_EQ(d->Button_cancle->GetName(), "wxID_CANCEL");
    EXPECT_EQ(d->metadataVersion, "150");
    EXPECT_EQ(d->colorButton, nullptr);
    EXPECT_EQ(d->frameGradientShown, &frame->bGradientShown);
    // The list panel keeps the size of its first content, whatever rows come later.
    EXPECT_GE(d->ScrolledWindow->GetSize().GetWidth(), 272);
    EXPECT_LT(d->ScrolledWindow->GetSize().GetWidth(), 400);
    EXPECT_GE(d->ScrolledWindow->GetSize().GetHeight(), 210);
    EXPECT_LT(d->ScrolledWindow->GetSize().GetHeight(), 300);
    EXPECT_TRUE(answers.messages.empty());
}

TEST_F(GradientTool, PicturesFollowTheFillPlan) {
    GradientDialog* d = g();
    const wxColour c0(213, 25, 32), c4(4, 167, 225);
    // The default gradient at 273: ramps over [0, 137) and [137, 274).
    const wxBitmap def = d->GradientBitmap(273, 30);
    EXPECT_EQ(def.GetSize(), wxSize(273, 30));
    for (int x : {0, 68, 136})
        EXPECT_TRUE(near(pixel(def, x, 29), ramp(c0, c4, 0, 137, x))) << x << " " << rgb(pixel(def, x, 29));
    for (int x : {137, 200, 272})
        EXPECT_TRUE(near(pixel(def, x, 0), ramp(c4, c0, 137, 137, x))) << x << " " << rgb(pixel(def, x, 0));
    // At 49: [0, 25) and [25, 50).
    const wxBitmap small = d->GradientBitmap(49, 50);
    EXPECT_EQ(small.GetSize(), wxSize(49, 50));
    for (int x : {0, 24})
        EXPECT_TRUE(near(pixel(small, x, 10), ramp(c0, c4, 0, 25, x))) << x << " " << rgb(pixel(small, x, 10));
    for (int x : {25, 48})
        EXPECT_TRUE(near(pixel(small, x, 10), ramp(c4, c0, 25, 25, x))) << x << " " << rgb(pixel(small, x, 10));

    // Two stops: solid ends, exactly, around a ramp shifted by w / 16.
    d->gradientArray[2] = wxColour(255, 0, 0);
    d->gradientArray[5] = wxColour(0, 0, 255);
    onlyStops(d, {2, 5});
    const wxBitmap two = d->GradientBitmap(273, 30);
    for (int x : {0, 16, 17, 84})
        EXPECT_EQ(pixel(two, x, 5), wxColour(255, 0, 0)) << x;
    for (int x : {187, 230, 272})
        EXPECT_EQ(pixel(two, x, 5), wxColour(0, 0, 255)) << x;
    for (int x : {85, 136, 186})
        EXPECT_TRUE(near(pixel(two, x, 5), ramp(wxColour(255, 0, 0), wxColour(0, 0, 255), 85, 102, x)))
            << x << " " << rgb(pixel(two, x, 5));

    // Stops 0 and 8: the ramp starts at 17 and is cut off short of the last colour.
    d->gradientArray[0] = wxColour(255, 0, 0);
    d->gradientArray[8] = wxColour(0, 0, 255);
    onlyStops(d, {0, 8});
    const wxBitmap ends = d->GradientBitmap(273, 30);
    EXPECT_EQ(pixel(ends, 16, 5), wxColour(255, 0, 0));
    const wxColour right = pixel(ends, 272, 5);
    EXPECT_TRUE(near(right, ramp(wxColour(255, 0, 0), wxColour(0, 0, 255), 17, 273, 272))) << rgb(right);
    EXPECT_GT(right.Red(), 10);

    onlyStops(d, {3});
    const wxBitmap one = d->GradientBitmap(160, 22);
    for (int x : {0, 80, 159})
        EXPECT_EQ(pixel(one, x, 11), wxColour(47, 194, 57)) << x;

    onlyStops(d, {});
    const wxBitmap none = d->GradientBitmap(160, 22);
    for (int x : {0, 80, 159})
        EXPECT_TRUE(near(pixel(none, x, 0), ramp(wxColour(255, 0, 0), wxColour(0, 0, 255), 0, 160, x)))
            << x << " " << rgb(pixel(none, x, 0));

    const wxBitmap solid = GradientDialog::GetOneColorBitmap(7, 5, wxColour(9, 8, 7, 0));
    EXPECT_EQ(solid.GetSize(), wxSize(7, 5));
    EXPECT_EQ(pixel(solid, 6, 4), wxColour(9, 8, 7));
}

TEST_F(GradientTool, PostPaletteWritesTheEnabledStopsUnderTheLock) {
    {
        std::lock_guard<std::mutex> lock(gPaletteMutex);
        for (int k = 0; k < kPaletteSize; ++k)
            paletteRadd[k] = paletteGadd[k] = paletteBadd[k] = paletteSet[k] = 7;
    }
    GradientDialog* d = g();
    d->checkBoxStateArray[4] = false;
    d->checkBoxStateArray[5] = true;
    d->gradientArray[5] = wxColour(1, 2, 3);
    d->PostPalette();
    EXPECT_TRUE(f_setPalette.load());
    std::lock_guard<std::mutex> lock(gPaletteMutex);
    for (int k = 0; k < kPaletteSize; ++k) {
        const bool stop = k == 0 || k == 2000 || k == 3200;
        ASSERT_EQ(paletteSet[k], stop ? 1 : 0) << k;
        if (!stop) {
            ASSERT_EQ(paletteRadd[k] | paletteGadd[k] | paletteBadd[k], 0) << k;
        }
    }
    EXPECT_EQ(paletteRadd[0], 213);
    EXPECT_EQ(paletteRadd[2000], 1);
    EXPECT_EQ(paletteGadd[2000], 2);
    EXPECT_EQ(paletteBadd[2000], 3);
    EXPECT_EQ(paletteBadd[3200], 32);
}

TEST_F(GradientTool, TheLastStopCannotBeSwitchedOff) {
    showFromSwatch();
    GradientDialog* d = g();
    toggle(0, false);
    toggle(4, false);
    EXPECT_FALSE(d->checkBoxStateArray[0] || d->checkBoxStateArray[4]);
    EXPECT_TRUE(d->isLastCheckBox());
    const wxColour before = pixel(d->preview->GetBitmap(), 5, 5);
    toggle(8, false);  // refused: the box ticks itself again
    EXPECT_TRUE(d->checkBoxStateArray[8]);
    EXPECT_TRUE(d->checkBoxes[8]->GetValue());
    EXPECT_EQ(pixel(d->preview->GetBitmap(), 5, 5), before);
    toggle(4, true);
    EXPECT_TRUE(d->checkBoxStateArray[4]);
    EXPECT_FALSE(d->isLastCheckBox());
    toggle(8, false);  // allowed now
    EXPECT_FALSE(d->checkBoxStateArray[8]);
    // The preview follows: stop 4 alone paints it all in its colour.
    EXPECT_EQ(pixel(d->preview->GetBitmap(), 5, 5), wxColour(4, 167, 225));
}

TEST_F(GradientTool, PickingAColourSwitchesItsStopOnAndCancelChangesNothing) {
    showFromSwatch();
    GradientDialog* d = g();
    answers.colours = {wxColour(9, 99, 199)};
    click(d->swatches[2]);
    EXPECT_EQ(answers.colourDialogs, 1);
    EXPECT_EQ(d->gradientArray[2], wxColour(9, 99, 199));
    EXPECT_TRUE(d->checkBoxStateArray[2] && d->checkBoxes[2]->GetValue());
    EXPECT_EQ(d->swatches[2]->GetBitmapLabel().GetSize(), wxSize(20, 20));
    EXPECT_EQ(pixel(d->swatches[2]->GetBitmapLabel(), 3, 3), wxColour(9, 99, 199));
    // Stops 0, 2, 4, 8: the second ramp starts at ceil(2 * 273 / 8) in the new colour.
    EXPECT_TRUE(near(pixel(d->preview->GetBitmap(), 69, 5), ramp(wxColour(9, 99, 199), wxColour(4, 167, 225), 69, 69, 69)))
        << rgb(pixel(d->preview->GetBitmap(), 69, 5));

    click(d->swatches[6]);  // no colour left: cancelled
    EXPECT_EQ(answers.colourDialogs, 2);
    EXPECT_EQ(d->gradientArray[6], wxColour(121, 56, 170));
    EXPECT_FALSE(d->checkBoxStateArray[6] || d->checkBoxes[6]->GetValue());
}

TEST_F(GradientTool, CloseBoxDropsWhatWasNotApplied) {
    showFromSwatch();
    GradientDialog* d = g();
    f_showCursor = false;
    answers.colours = {wxColour(1, 1, 1), wxColour(2, 2, 2)};
    click(d->swatches[1]);
    scroll(d->SliderTime, 6);
    click(d->applyButton);
    EXPECT_TRUE(f_showCursor.load());
    f_showCursor = false;

    click(d->swatches[3]);
    toggle(1, false);
    scroll(d->SliderTime, 8);
    d->CheckBoxUseTime->SetValue(false);
    closeBox();
    EXPECT_FALSE(d->IsShown());
    EXPECT_FALSE(frame->bGradientShown);
    EXPECT_FALSE(f_showCursor.load());  // the close box leaves the cursor alone
    // Stops: as applied. Timing: as shown, even across the Apply.
    EXPECT_TRUE(d->checkBoxStateArray[1] && d->checkBoxes[1]->GetValue());
    EXPECT_EQ(d->gradientArray[1], wxColour(1, 1, 1));
    EXPECT_FALSE(d->checkBoxStateArray[3] || d->checkBoxes[3]->GetValue());
    EXPECT_EQ(d->gradientArray[3], wxColour(47, 194, 57));
    EXPECT_EQ(pixel(d->swatches[3]->GetBitmapLabel(), 1, 1), wxColour(47, 194, 57));
    EXPECT_EQ(d->swatches[3]->GetBitmapLabel().GetSize(), wxSize(25, 25));
    EXPECT_EQ(d->SliderTime->GetValue(), 3);
    EXPECT_EQ(label(d->StaticTextTimeValue), "3");
    EXPECT_TRUE(d->CheckBoxUseTime->GetValue());
    EXPECT_EQ(pixel(d->preview->GetBitmap(), 5, 5), pixel(d->GradientBitmap(273, 30), 5, 5));
}

TEST_F(GradientTool, ACancelledTimingEditNeverReachesTheBrush) {
    showFromSwatch();
    GradientDialog* d = g();
    scroll(d->SliderTime, 9);
    EXPECT_FLOAT_EQ(f_perpixelzTimeVal.load(), 9);
    closeBox();
    EXPECT_FLOAT_EQ(f_perpixelzTimeVal.load(), 3);
    click(frame->colorSwatch);
    ASSERT_TRUE(d->IsShown());
    click(d->Button_ok);
    EXPECT_FLOAT_EQ(f_perpixelzTime.load(), 3);

    // The same through the tool window's swatch, which hides it too.
    click(frame->colorSwatch);
    scroll(d->SliderTime, 9, wxEVT_SCROLL_CHANGED);
    EXPECT_EQ(label(d->StaticTextTimeValue), "9");
    click(frame->colorSwatch);
    EXPECT_FALSE(d->IsShown());
    EXPECT_FLOAT_EQ(f_perpixelzTimeVal.load(), 3);
}

TEST_F(GradientTool, ApplyAndOkHandOverTheStopsAndTiming) {
    showFromSwatch();
    GradientDialog* d = g();
    d->gradientArray[0] = wxColour(0, 0, 0);
    scroll(d->SliderTime, 7);
    EXPECT_FLOAT_EQ(f_perpixelzTimeVal.load(), 7);
    EXPECT_EQ(label(d->StaticTextTimeValue), "7");
    f_perpixelzMode = 0;
    click(d->applyButton);
    EXPECT_EQ(f_perpixelzMode.load(), 1);
    EXPECT_FLOAT_EQ(f_perpixelzTime.load(), 7);
    EXPECT_TRUE(f_setPalette.load());
    EXPECT_TRUE(d->IsShown());
    EXPECT_TRUE(frame->bGradientShown);
    EXPECT_TRUE(near(pixel(frame->colorSwatch->GetBitmapLabel(), 0, 0), ramp(*wxBLACK, wxColour(4, 167, 225), 0, 25, 0)));
    EXPECT_EQ(frame->colorSwatch->GetBitmapLabel().GetSize(), wxSize(49, 50));

    d->CheckBoxUseTime->SetValue(false);
    click(d->applyButton);
    EXPECT_EQ(f_perpixelzMode.load(), 0);
    EXPECT_FLOAT_EQ(f_perpixelzTime.load(), 0);

    // OK with timing off: no cycling, and the mode stays.
    f_perpixelzMode = 1;
    f_perpixelzTime = 5;
    click(d->Button_ok);
    EXPECT_FALSE(d->IsShown());
    EXPECT_FALSE(frame->bGradientShown);
    EXPECT_EQ(f_perpixelzMode.load(), 1);
    EXPECT_FLOAT_EQ(f_perpixelzTime.load(), 0);

    click(frame->colorSwatch);
    d->CheckBoxUseTime->SetValue(true);
    f_perpixelzMode = 0;
    f_showCursor = false;
    click(d->Button_ok);
    EXPECT_EQ(f_perpixelzMode.load(), 0);
    EXPECT_FLOAT_EQ(f_perpixelzTime.load(), 7);
    EXPECT_TRUE(f_showCursor.load());
}

TEST_F(GradientTool, HiddenCancelOnlyHides) {
    showFromSwatch();
    GradientDialog* d = g();
    toggle(0, false);
    f_showCursor = false;
    click(d->Button_cancle);
    EXPECT_FALSE(d->IsShown());
    EXPECT_TRUE(f_showCursor.load());
    EXPECT_TRUE(frame->bGradientShown);  // it does not tell the tool window
    EXPECT_FALSE(d->checkBoxStateArray[0]);
}

TEST_F(GradientTool, KeysOnTheDialogAndItsListAreAnsweredWithAMessage) {
    GradientDialog* d = g();
    struct {
        wxWindow* target;
        wxEventType type;
    } cases[] = {{d, wxEVT_KEY_DOWN}, {d, wxEVT_CHAR}, {d->ScrolledWindow, wxEVT_KEY_DOWN}};
    for (const auto& c : cases) {
        answers.messages.clear();
        wxKeyEvent ev(c.type);
        ev.m_keyCode = 'a';
        ev.SetEventObject(c.target);
        ev.SetId(c.target->GetId());
        c.target->GetEventHandler()->ProcessEvent(ev);
        ASSERT_EQ(answers.messages.size(), 1u);
        EXPECT_EQ(answers.messages[0], "Message: OnKeyDown");
    }
    answers.messages.clear();
    wxKeyEvent typed(wxEVT_CHAR);
    typed.m_keyCode = 'a';
    typed.SetEventObject(d->TextCtrlNewGradient);
    d->TextCtrlNewGradient->GetEventHandler()->ProcessEvent(typed);
    EXPECT_TRUE(answers.messages.empty());
}
