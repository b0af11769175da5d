// The steps every dialog shares: the library folders and names, showing a
// dialog once, and keys inside a dialog.
#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/textctrl.h>

#include <fstream>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "DialogKit.h"
#include "LibraryFiles.h"
#include "Wyrle1_0App.h"
#include "services_fixture.h"
#include "toolwindow_fixture.h"

namespace {

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void touch(const std::string& path) { std::ofstream(path) << "x"; }

}  // namespace

TEST(LibraryName, OneRuleForGradientsAndPresets) {
    using libraryfiles::NameProblem;
    struct Case {
        std::string name;
        NameProblem problem;
    };
    const Case cases[] = {
        {"Brush 1", NameProblem::kNone},
        {"a-b_C", NameProblem::kNone},
        {std::string(200, 'a'), NameProblem::kNone},
        {"", NameProblem::kEmpty},
        {std::string(201, 'a'), NameProblem::kCharacters},
        {"a.b", NameProblem::kCharacters},
        {"a/b", NameProblem::kCharacters},
        {"..", NameProblem::kCharacters},
        {"\xC3\xA9t\xC3\xA9", NameProblem::kCharacters},
        {"tab\there", NameProblem::kCharacters},
        {"x\\y", NameProblem::kCharacters},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(libraryfiles::nameProblem(c.name), c.problem) << "'" << c.name << "'";
        EXPECT_EQ(libraryfiles::isValidName(c.name), c.problem == NameProblem::kNone) << "'" << c.name << "'";
    }
    EXPECT_FALSE(dialogkit::isFileNameValid(wxString::FromUTF8("\xC3\xA9")));
    EXPECT_TRUE(dialogkit::isFileNameValid("Sunset 2"));
    // The empty name is told apart from one with the wrong characters.
    EXPECT_EQ(dialogkit::nameRefusal("", "Gradient"), "Gradient name cannot be empty.");
    EXPECT_EQ(dialogkit::nameRefusal("a.b", "Brush"),
              "Brush name can contain only following characters: \n 'a - z', 'A - Z', '0 - 9', ' ', '-', '_'");
    EXPECT_EQ(dialogkit::nameRefusal("Sunset 2", "Brush"), "");
}

TEST(LibraryFolders, CreatedWhereMissingAndListedInByteOrder) {
    svctest::TempDir scratch;
    ASSERT_TRUE(scratch.ok());
    const std::string root = scratch.root();
    ASSERT_TRUE(libraryfiles::ensureLibraryFolders(root));
    EXPECT_TRUE(isFolder(root + "/Gradients"));
    EXPECT_TRUE(isFolder(root + "/Brushes/Icons"));
    EXPECT_TRUE(libraryfiles::ensureLibraryFolders(root));  // again: nothing to do

    const std::string g = root + "/Gradients";
    for (const char* name : {"b.png", "B.png", "a.png", ".png", ".hidden.png", "c.PNG", "notes.txt", "png"})
        touch(g + "/" + name);
    ASSERT_EQ(::mkdir((g + "/folder.png").c_str(), 0755), 0);
    std::vector<std::string> names{"stale"};
    ASSERT_TRUE(libraryfiles::listPngFiles(g, names));
    EXPECT_EQ(names, (std::vector<std::string>{"B.png", "a.png", "b.png"}));

    EXPECT_FALSE(libraryfiles::listPngFiles(root + "/missing", names));
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(libraryfiles::joinPath("/a/", {"Brushes", "Icons", "x.png"}), "/a/Brushes/Icons/x.png");
}

TEST(LibraryFolders, AFileInTheWayIsReported) {
    svctest::TempDir scratch;
    ASSERT_TRUE(scratch.ok());
    touch(scratch.root() + "/Brushes");
    EXPECT_FALSE(libraryfiles::ensureLibraryFolders(scratch.root()));
    EXPECT_TRUE(isFolder(scratch.root() + "/Gradients"));
}

class DialogKitWindow : public ::testing::Test {
protected:
    void SetUp() override {
        if (!twtest::startWx())
            GTEST_SKIP() << "no X display";
    }
};

TEST_F(DialogKitWindow, ShowingAShownDialogRunsNoSecondInit) {
    wxDialog* dialog = new wxDialog(nullptr, wxID_ANY, "d");
    int inits = 0;
    dialog->Bind(wxEVT_INIT_DIALOG, [&](wxInitDialogEvent&) { ++inits; });
    EXPECT_TRUE(dialogkit::showDialog(dialog));
    EXPECT_FALSE(dialogkit::showDialog(dialog));
    EXPECT_EQ(inits, 1);
    EXPECT_TRUE(dialogkit::showDialog(dialog, false));
    EXPECT_FALSE(dialogkit::showDialog(dialog, false));
    EXPECT_TRUE(dialogkit::showDialog(dialog));
    EXPECT_EQ(inits, 2);
    dialog->Destroy();
    wxTheApp->ProcessIdle();
}

TEST_F(DialogKitWindow, TabAndEnterAreLeftToDialogs) {
    wxDialog* dialog = new wxDialog(nullptr, wxID_ANY, "d");
    wxTextCtrl* inDialog = new wxTextCtrl(dialog, wxID_ANY);
    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "f");
    wxTextCtrl* inFrame = new wxTextCtrl(frame, wxID_ANY);
    EXPECT_TRUE(keyBelongsToDialog(inDialog));
    EXPECT_TRUE(keyBelongsToDialog(dialog));
    EXPECT_FALSE(keyBelongsToDialog(inFrame));
    EXPECT_FALSE(keyBelongsToDialog(nullptr));
    dialog->Destroy();
    frame->Destroy();
    wxTheApp->ProcessIdle();
}
