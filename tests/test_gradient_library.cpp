// The gradient library of the gradient tool in a scratch working folder:
// saving under a name, the overwrite question, the list rows, loading a row
// or the default row, deleting, and a missing folder.

#include <wx/checkbox.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/scrolwin.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <mutex>

#include <sys/stat.h>
#include <unistd.h>

#include "GradientComment.h"
#include "LibraryFiles.h"
#include "library_fixtures.h"
#include "MetadataHandler.h"
#include "library_rows_check.h"
#include "toolwindow_fixture.h"

using twtest::ToolWindow;

namespace {

const char* kNameRule = "Info: Gradient name can contain only following characters: \n 'a - z', 'A - Z', '0 - 9', ' ', "
                        "'-', '_'";

wxColour pixel(const wxBitmap& bitmap, int x, int y) {
    wxImage image = bitmap.ConvertToImage();
    return wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
}

std::string commentOf(const wxString& path) {
    MetadataHandler reader(path);
    if (!reader.CommentExistsPNG() || !reader.ReadCommentPng())
        return "";
    return reader.comment;
}

// A 160 x 22 picture whose column x has the colour (x, 255 - x, 7).
void writePicture(const wxString& path, const char* comment = nullptr) {
    wxImage image(160, 22);
    for (int x = 0; x < 160; ++x)
        for (int y = 0; y < 22; ++y)
            image.SetRGB(x, y, x, 255 - x, 7);
    ASSERT_TRUE(image.SaveFile(path, wxBITMAP_TYPE_PNG));
    if (comment) {
        ASSERT_TRUE(MetadataHandler(path).WriteCommentPng(comment));
    }
}

}  // namespace

class GradientLibrary : public ToolWindow {
protected:
    GradientDialog* g() const { return frame->gradientDialog; }
    wxString file(const wxString& name) const { return wxGetCwd() + "/Gradients/" + name + ".png"; }
    void saveAs(const wxString& name) {
        if (!g()->newGradientOpen)
            click(g()->ButtonSaveGradient);
        g()->TextCtrlNewGradient->SetValue(name);
        click(g()->ButtonOkNewGradient);
    }
    // The names the rows show, in list order.
    std::vector<std::string> rowNames() const {
        std::vector<std::string> names;
        for (int i = 0; i < g()->rowCount(); ++i) {
            const LibraryRow* row = g()->ScrolledWindow->rowOf(i);
            names.push_back(row && row->name->IsShown() ? row->name->GetLabel().utf8_string() : "<not shown>");
        }
        return names;
    }
    wxWindow* xButton(int row) const { return g()->rowXButton(row); }
    // Rebuilds after a deletion wait until the click is over.
    void settle() { wxTheApp->ProcessPendingEvents(); }
};

TEST_F(GradientLibrary, NewOpensAndClosesTheNameField) {
    GradientDialog* d = g();
    click(d->ButtonSaveGradient);
    EXPECT_TRUE(d->newGradientOpen);
    EXPECT_TRUE(d->TextCtrlNewGradient->IsEnabled() && d->ButtonOkNewGradient->IsEnabled());
    click(d->ButtonSaveGradient);
    EXPECT_FALSE(d->newGradientOpen);
    EXPECT_FALSE(d->TextCtrlNewGradient->IsEnabled() || d->ButtonOkNewGradient->IsEnabled());
    EXPECT_EQ(d->TextCtrlNewGradient->GetValue(), "GradientName");
}

TEST_F(GradientLibrary, SavingWritesThePictureAndCommentAndListsIt) {
    GradientDialog* d = g();
    d->checkBoxes[4]->SetValue(false);
    wxCommandEvent untick(wxEVT_COMMAND_CHECKBOX_CLICKED, d->checkBoxes[4]->GetId());
    untick.SetInt(0);
    d->OnCheckBox5Click(untick);
    d->gradientArray[6] = wxColour(1, 2, 3);  // off, but written all the same
    f_perpixelzTimeVal = 3;
    d->CheckBoxUseTime->SetValue(true);
    f_setPalette = false;
    saveAs("warm Gradient_2-b");
    EXPECT_TRUE(answers.messages.empty()) << answers.messages[0];
    EXPECT_EQ(answers.questions, 0);
    EXPECT_FALSE(d->TextCtrlNewGradient->IsEnabled() || d->ButtonOkNewGradient->IsEnabled());
    EXPECT_FALSE(d->newGradientOpen);

    const wxString path = file("warm Gradient_2-b");
    wxImage saved(path);
    ASSERT_TRUE(saved.IsOk());
    EXPECT_EQ(saved.GetSize(), wxSize(160, 22));
    EXPECT_FALSE(wxFileExists(path + ".part"));
    EXPECT_EQ(commentOf(path), gradientfile::BuildGradientComment(
                                   [&] {
                                       gradient::Stops s = gradient::defaultStops();
                                       s.on[4] = false;
                                       s.colour[6] = gradient::Rgb{1, 2, 3};
                                       return s;
                                   }(),
                                   true, 3));
    EXPECT_EQ(commentOf(path).substr(0, 30), "V|150|G|1|3|T|F|F|F|F|F|F|F|T|");
    // The picture is the preview reduced: red at both ends with only stops 0 and 8.
    EXPECT_NEAR(saved.GetRed(80, 11), 213, 3);
    EXPECT_EQ(rowNames(), std::vector<std::string>({"warm Gradient_2-b"}));
    EXPECT_EQ(d->rowCount(), 1);
    EXPECT_FALSE(f_setPalette.load());  // the engine sees nothing of a save
}

TEST_F(GradientLibrary, NamesOutsideTheRuleAreRefusedAndTheFieldStaysOpen) {
    GradientDialog* d = g();
    for (const wxString& name : {wxString(""), wxString("a.b"), wxString("../x"), wxString::FromUTF8("\xc3\xa9t\xc3\xa9"),
                                 wxString::FromUTF8("\xe2\x84\xaa"), wxString(201, 'a')}) {
        answers.messages.clear();
        saveAs(name);
        ASSERT_EQ(answers.messages.size(), 1u) << name;
        // The empty name is told that a name is needed, not about characters.
        EXPECT_EQ(answers.messages[0], name.empty() ? wxString("Info: Gradient name cannot be empty.") : wxString(kNameRule));
        EXPECT_TRUE(d->newGradientOpen && d->TextCtrlNewGradient->IsEnabled() && d->ButtonOkNewGradient->IsEnabled());
    }
    std::vector<std::string> files;
    ASSERT_TRUE(libraryfiles::listPngFiles(std::string(wxGetCwd().utf8_str()) + "/Gradients", files));
    EXPECT_TRUE(files.empty());
}

TEST_F(GradientLibrary, OverwriteAsksAndFollowsTheAnswer) {
    GradientDialog* d = g();
    writePicture(file("warm"), "old");  // after the listing: no row yet
    answers.questionReplies = {wxID_NO};
    saveAs("warm");
    EXPECT_EQ(answers.questions, 1);
    EXPECT_EQ(commentOf(file("warm")), "old");
    EXPECT_FALSE(d->TextCtrlNewGradient->IsEnabled() || d->newGradientOpen);
    EXPECT_TRUE(rowNames().empty());  // not rebuilt

    answers.questionReplies = {wxID_CANCEL};
    saveAs("warm");
    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_EQ(answers.messages[0], "Unexpected wxMessageDialog return code!: Unexpected wxMessageDialog return code!");
    EXPECT_EQ(commentOf(file("warm")), "old");
    EXPECT_EQ(rowNames(), std::vector<std::string>({"warm"}));  // listed all the same
    EXPECT_EQ(pixel(d->rowButton(0)->GetBitmapLabel(), 80, 11), wxColour(80, 175, 7));

    answers.questionReplies = {wxID_YES};
    saveAs("warm");
    EXPECT_EQ(answers.questions, 3);
    EXPECT_EQ(commentOf(file("warm")).substr(0, 6), "V|150|");
    EXPECT_EQ(rowNames(), std::vector<std::string>({"warm"}));
    // The row shows the picture written now.
    EXPECT_EQ(pixel(d->rowButton(0)->GetBitmapLabel(), 80, 11), pixel(wxBitmap(wxImage(file("warm"))), 80, 11));
    EXPECT_NE(pixel(d->rowButton(0)->GetBitmapLabel(), 80, 11), wxColour(80, 175, 7));
    // A name that differs only in case is another file on Linux: no question.
    saveAs("WARM");
    EXPECT_EQ(answers.questions, 3);
    EXPECT_EQ(rowNames(), std::vector<std::string>({"WARM", "warm"}));
}

TEST_F(GradientLibrary, ListShowsThePngFilesSortedAndNothingElse) {
    writePicture(file("b"));
    writePicture(file("a"));
    writePicture(file("C"));
    writePicture(file(".hidden"));
    writePicture(wxGetCwd() + "/Gradients/x.PNG");
    wxFileName::Mkdir(wxGetCwd() + "/Gradients/folder.png");
    g()->LoadGradients();
    saveAs("d");
    EXPECT_EQ(rowNames(), std::vector<std::string>({"C", "a", "b", "d"}));
    GradientDialog* d = g();
    ASSERT_EQ(d->rowCount(), 4);
    for (int i = 0; i < d->rowCount(); ++i) {
        ASSERT_NE(d->rowButton(i), nullptr);
        EXPECT_EQ(d->rowButton(i)->GetName(), wxString::Format("ID_BITMAPBUTTONLIST%d", i));
        EXPECT_EQ(d->rowButton(i)->GetId(), d->gradients[i].pictureId);
        EXPECT_NE(d->gradients[i].pictureId, d->gradients[i].deleteId);
        ASSERT_NE(xButton(i), nullptr);
        EXPECT_EQ(xButton(i)->GetId(), d->gradients[i].deleteId);
        EXPECT_EQ(xButton(i)->GetName(), "ID_BUTTONLIST_DEFAULT");
    }
    EXPECT_TRUE(d->gradientPath(1).EndsWith("/Gradients/a.png"));
}

TEST_F(GradientLibrary, LoadingARowFillsTheEditorOnly) {
    GradientDialog* d = g();
    gradient::Stops s = gradient::defaultStops();
    s.on[4] = false;
    s.on[2] = true;
    s.colour[2] = gradient::Rgb{9, 8, 7};
    writePicture(file("saved"), gradientfile::BuildGradientComment(s, false, 9).c_str());
    writePicture(file("plain"));
    writePicture(file("zz other version"),
                 "V|151|G|1|3|T|T|T|T|T|T|T|T|T|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|T|");
    d->LoadGradients();
    saveAs("x");
    ASSERT_EQ(rowNames(), std::vector<std::string>({"plain", "saved", "x", "zz other version"}));
    {
        std::lock_guard<std::mutex> lock(gPaletteMutex);
        paletteRadd[0] = 77;
    }
    scroll(d->SliderTime, 6);
    f_setPalette = false;

    click(d->rowButton(1));  // "saved"
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(d->checkBoxStateArray[i], s.on[i]) << i;
        EXPECT_EQ(d->checkBoxes[i]->GetValue(), s.on[i]) << i;
        EXPECT_EQ(d->swatches[i]->GetBitmapLabel().GetSize(), wxSize(25, 25));
    }
    EXPECT_EQ(d->gradientArray[2], wxColour(9, 8, 7));
    EXPECT_EQ(pixel(d->swatches[2]->GetBitmapLabel(), 12, 12), wxColour(9, 8, 7));
    EXPECT_TRUE(d->CheckBoxUseTime->GetValue());  // the file's timing is not read
    EXPECT_EQ(d->SliderTime->GetValue(), 6);
    EXPECT_FALSE(f_setPalette.load());
    {
        std::lock_guard<std::mutex> lock(gPaletteMutex);
        EXPECT_EQ(paletteRadd[0], 77);
    }

    click(d->rowButton(3));  // another version: nothing changes
    EXPECT_EQ(d->gradientArray[2], wxColour(9, 8, 7));
    EXPECT_FALSE(d->checkBoxStateArray[1]);

    click(d->rowButton(0));  // no comment: all nine, coloured from the top row
    for (int i = 0; i < 9; ++i) {
        const int x = gradientfile::kSampleX[i];
        EXPECT_TRUE(d->checkBoxStateArray[i] && d->checkBoxes[i]->GetValue()) << i;
        EXPECT_EQ(d->gradientArray[i], wxColour(x, 255 - x, 7)) << i;
    }
    EXPECT_EQ(pixel(d->preview->GetBitmap(), 272, 15), pixel(d->GradientBitmap(273, 30), 272, 15));

    click(d->BitmapButtonList_default);
    const gradient::Stops start = gradient::defaultStops();
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(d->checkBoxStateArray[i], start.on[i]) << i;
        EXPECT_EQ(d->checkBoxes[i]->GetValue(), start.on[i]) << i;
        EXPECT_EQ(d->gradientArray[i], wxColour(start.colour[i].r, start.colour[i].g, start.colour[i].b)) << i;
        EXPECT_EQ(d->swatches[i]->GetBitmapLabel().GetSize(), wxSize(20, 20));
    }
    EXPECT_TRUE(answers.messages.empty());

    // Apply afterwards hands the loaded gradient over.
    click(d->rowButton(1));
    click(d->applyButton);
    std::lock_guard<std::mutex> lock(gPaletteMutex);
    EXPECT_EQ(paletteSet[800], 1);
    EXPECT_EQ(paletteRadd[800], 9);
    EXPECT_EQ(paletteSet[1600], 0);
}

TEST_F(GradientLibrary, DeletingAsksAndKeepsTheEditor) {
    GradientDialog* d = g();
    gradient::Stops s = gradient::defaultStops();
    s.colour[0] = gradient::Rgb{1, 2, 3};
    writePicture(file("keep"));
    writePicture(file("gone"), gradientfile::BuildGradientComment(s, true, 3).c_str());
    d->LoadGradients();
    saveAs("x");
    ASSERT_EQ(rowNames(), std::vector<std::string>({"gone", "keep", "x"}));
    click(d->rowButton(0));
    ASSERT_EQ(d->gradientArray[0], wxColour(1, 2, 3));

    answers.questionReplies = {wxID_NO};
    click(xButton(0));
    settle();
    EXPECT_TRUE(wxFileExists(file("gone")));
    EXPECT_EQ(d->rowCount(), 3);

    answers.questionReplies = {wxID_CANCEL};
    click(xButton(0));
    settle();
    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_EQ(answers.messages[0], "Unexpected wxMessageDialog return code!: Unexpected wxMessageDialog return code!");
    EXPECT_TRUE(wxFileExists(file("gone")));

    answers.questionReplies = {wxID_YES};
    click(xButton(0));
    settle();
    EXPECT_EQ(answers.questions, 3);
    EXPECT_FALSE(wxFileExists(file("gone")));
    EXPECT_EQ(rowNames(), std::vector<std::string>({"keep", "x"}));
    EXPECT_EQ(d->rowCount(), 2);
    EXPECT_EQ(d->gradientArray[0], wxColour(1, 2, 3));  // the editor keeps the deleted gradient

    // A file that went away behind the list cannot be deleted.
    ASSERT_TRUE(wxRemoveFile(file("keep")));
    answers.questionReplies = {wxID_YES};
    answers.messages.clear();
    click(xButton(0));
    settle();
    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_EQ(answers.messages[0], "Message: Gradient file could not be deleted.");
    EXPECT_EQ(d->rowCount(), 2);
}

TEST_F(GradientLibrary, AnUnknownRowIdIsReported) {
    wxCommandEvent ev(wxEVT_COMMAND_BUTTON_CLICKED, wxNewId());
    g()->OnBitmapButtonListClick(ev);
    g()->OnXButtonListClick(ev);
    EXPECT_EQ(answers.messages, std::vector<wxString>({"Message: Event Id could not be identified.",
                                                       "Message: Event Id could not be identified."}));
}

// Files in the folder that are no gradient pictures: each lists as a row with
// no picture, and a click gives what a picture that cannot be read gives, all
// nine stops on and black. Entries that are no regular files, and names that
// are not UTF-8, are not listed; nothing is ever done to the folder itself.
TEST_F(GradientLibrary, FilesThatAreNoGradientPicturesLoadAsNineBlackStops) {
    const std::string folder = std::string(wxGetCwd().utf8_str()) + "/Gradients/";
    ASSERT_TRUE(svctest::writeFile(folder + "text.png", "no picture here\n"));
    ASSERT_TRUE(svctest::writeFile(folder + "empty.png", ""));
    ASSERT_TRUE(libtest::writeBlackPng(folder + "huge.png", 10000, 10000));
    ASSERT_TRUE(libtest::writeClaimingPng(folder + "claims.png", 100000, 100000));
    ASSERT_EQ(::mkfifo((folder + "pipe.png").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("/dev/zero", (folder + "zero.png").c_str()), 0);
    ASSERT_TRUE(libtest::writeBlackPng(folder + "bad\xff.png", 160, 22));
    writePicture(file("fine"));
    g()->LoadGradients();
    saveAs("x");
    ASSERT_EQ(rowNames(), std::vector<std::string>({"claims", "empty", "fine", "huge", "text", "x"}));
    GradientDialog* d = g();
    for (int row : {0, 1, 3, 4}) {
        SCOPED_TRACE(rowNames()[row]);
        click(d->BitmapButtonList_default);
        click(d->rowButton(row));
        for (int i = 0; i < 9; ++i) {
            EXPECT_TRUE(d->checkBoxStateArray[i] && d->checkBoxes[i]->GetValue()) << i;
            EXPECT_EQ(d->gradientArray[i], *wxBLACK) << i;
        }
    }
    click(d->rowButton(2));
    EXPECT_EQ(d->gradientArray[8], wxColour(159, 96, 7));
    EXPECT_TRUE(answers.messages.empty()) << answers.messages[0];
    for (int row = 0; row < d->rowCount(); ++row)
        EXPECT_FALSE(d->gradientPath(row).EndsWith("/")) << d->gradientPath(row);

    // Deleting a listed file takes that file only.
    answers.questionReplies = {wxID_YES};
    click(xButton(4));
    settle();
    EXPECT_FALSE(svctest::exists(folder + "text.png"));
    EXPECT_EQ(rowNames(), std::vector<std::string>({"claims", "empty", "fine", "huge", "x"}));
    EXPECT_TRUE(svctest::exists(folder + "pipe.png") && svctest::exists(folder + "bad\xff.png"));
}

// A save replaces whatever stands at the gradient's name, never writing
// through it: a pipe would block the program for ever, a link would write
// outside the library.
TEST_F(GradientLibrary, ASaveReplacesAPipeOrALinkAtItsName) {
    const std::string folder = std::string(wxGetCwd().utf8_str()) + "/Gradients/";
    const std::string outside = std::string(wxGetCwd().utf8_str()) + "/outside.png";
    ASSERT_EQ(::mkfifo((folder + "pipe.png").c_str(), 0644), 0);
    ASSERT_EQ(::symlink(outside.c_str(), (folder + "link.png").c_str()), 0);
    for (const char* name : {"link", "pipe"}) {
        SCOPED_TRACE(name);
        answers.questionReplies = {wxID_YES};
        saveAs(name);
        EXPECT_EQ(wxImage(file(name)).GetSize(), wxSize(160, 22));
        EXPECT_FALSE(commentOf(file(name)).empty());
    }
    EXPECT_FALSE(svctest::exists(outside));
    EXPECT_TRUE(answers.messages.empty()) << answers.messages[0];
    EXPECT_EQ(rowNames(), std::vector<std::string>({"link", "pipe"}));
}

class GradientLibraryWithoutFolder : public GradientLibrary {
protected:
    void beforeFrame() override { ASSERT_TRUE(wxRmdir(wxGetCwd() + "/Gradients")); }
};

TEST_F(GradientLibraryWithoutFolder, ShowsOnlyTheDefaultRowAndSaysSoAtEachListing) {
    GradientDialog* d = g();
    EXPECT_EQ(answers.messages, std::vector<wxString>({"Error 01: Directory can not be opened."}));
    EXPECT_EQ(d->rowCount(), 0);
    EXPECT_TRUE(rowNames().empty());
    EXPECT_TRUE(d->BitmapButtonList_default->IsShown());
    answers.messages.clear();
    saveAs("lost");
    const wxString path = file("lost");
    EXPECT_EQ(answers.messages, std::vector<wxString>({"Message: Error when saving Image: " + path,
                                                       "Error 01: Directory can not be opened."}));
    EXPECT_FALSE(wxFileExists(path));

    // The listing's message comes with the normal cursor: the busy one is for
    // the reading only.
    std::vector<bool> busy;
    prompts::setMessage([&](const wxString&, const wxString&, wxWindow*) { busy.push_back(wxIsBusy()); });
    d->LoadGradients();
    EXPECT_EQ(busy, std::vector<bool>{false});
}

// Thousands of gradients: a few row windows show whichever rows are in view,
// and a save or a delete changes its one row.
class GradientLibraryOfThousands : public GradientLibrary {
protected:
    static constexpr int kCount = 5000;
    static std::string name(int i) { return wxString::Format("g%05d", i).utf8_string(); }
    void beforeFrame() override {
        // One picture under every name; the last one carries a comment.
        writePicture(file(name(0)));
        const std::string bytes = svctest::readFile(file(name(0)).utf8_string());
        for (int i = 1; i < kCount - 1; ++i)
            ASSERT_TRUE(svctest::writeFile(file(name(i)).utf8_string(), bytes));
        writePicture(file(name(kCount - 1)), gradientfile::BuildGradientComment(lastStops(), true, 3).c_str());
    }
    static gradient::Stops lastStops() {
        gradient::Stops s = gradient::defaultStops();
        s.on[3] = true;
        s.colour[3] = gradient::Rgb{1, 2, 3};
        return s;
    }
    // Row 0 starts right below the default row's line.
    int top() const {
        return g()->ScrolledWindow->CalcUnscrolledPosition(g()->StaticLineDefault->GetRect().GetBottomLeft()).y + 1;
    }
    void expectRows(const rowcheck::NameOf& nameOf, const std::string& what) {
        rowcheck::expectRowsInView(*g()->ScrolledWindow, top(), g()->rowCount(), nameOf, what);
    }
    void scrollTo(int row) { g()->ScrolledWindow->Scroll(0, (top() + row * g()->ScrolledWindow->pitch()) / 5); }
    size_t windows() const { return g()->ScrolledWindow->GetChildren().size(); }
};

TEST_F(GradientLibraryOfThousands, AFewRowWindowsShowTheRowsInViewWhereverTheListScrolls) {
    GradientDialog* d = g();
    ASSERT_EQ(d->rowCount(), kCount);
    const size_t made = windows();
    // The default row's five windows, and four for each row a view needs.
    EXPECT_LT(made, 64u);
    const rowcheck::NameOf names = [](int i) { return name(i); };
    expectRows(names, "at the top");

    // Scroll() as the program calls it, then the scroll bar's own events.
    for (int row : {1, 2, 1234, kCount / 2, kCount - 3, kCount, 0}) {
        scrollTo(row);
        expectRows(names, "scrolled to row " + std::to_string(row));
    }
    const int end = d->ScrolledWindow->GetScrollRange(wxVERTICAL) - d->ScrolledWindow->GetScrollThumb(wxVERTICAL);
    for (int position : {end / 3, end / 3 + 1, end / 3 - 7, end, 0}) {
        wxScrollWinEvent drag(wxEVT_SCROLLWIN_THUMBTRACK, position, wxVERTICAL);
        drag.SetEventObject(d->ScrolledWindow);
        d->ScrolledWindow->GetEventHandler()->ProcessEvent(drag);
        ASSERT_EQ(d->ScrolledWindow->GetViewStart().y, position);
        expectRows(names, "dragged to " + std::to_string(position));
    }
    EXPECT_EQ(windows(), made);
}

TEST_F(GradientLibraryOfThousands, ARowFarDownLoadsDeletesAndSavesItsOwnFile) {
    GradientDialog* d = g();
    const size_t made = windows();
    scrollTo(kCount - 1);
    ASSERT_NE(d->rowButton(kCount - 1), nullptr);
    click(d->rowButton(kCount - 1));
    EXPECT_TRUE(d->checkBoxStateArray[3]);
    EXPECT_EQ(d->gradientArray[3], wxColour(1, 2, 3));

    // "X" on a row in the middle: that file goes, the rows below move up.
    scrollTo(2498);
    ASSERT_NE(d->rowButton(2497), nullptr);
    const wxBitmap above = d->rowButton(2497)->GetBitmapLabel();
    answers.questionReplies = {wxID_YES};
    click(xButton(2500));
    EXPECT_FALSE(wxFileExists(file(name(2500))));
    EXPECT_TRUE(wxFileExists(file(name(2501))));
    ASSERT_EQ(d->rowCount(), kCount - 1);
    expectRows([](int i) { return name(i < 2500 ? i : i + 1); }, "after the deletion");
    // A row that did not change keeps its picture: its file was not read again.
    EXPECT_TRUE(d->rowButton(2497)->GetBitmapLabel().IsSameAs(above));

    // A new gradient takes its place in the order.
    saveAs("g02500 new");
    ASSERT_EQ(d->rowCount(), kCount);
    expectRows([](int i) { return i == 2500 ? std::string("g02500 new") : name(i); }, "after the save");
    EXPECT_TRUE(d->rowButton(2497)->GetBitmapLabel().IsSameAs(above));
    EXPECT_EQ(windows(), made);
    EXPECT_TRUE(answers.messages.empty());
}
