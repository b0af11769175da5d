// The library folders as a user may leave them, over real files: entries
// that are no regular files, names that are not UTF-8, pictures that are not
// pictures or far too large, and writes that replace an entry instead of
// writing through it.
#include <gtest/gtest.h>
#include <wx/image.h>

#include <algorithm>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "LibraryFiles.h"
#include "LibraryPictures.h"
#include "library_fixtures.h"
#include "services_fixture.h"

namespace {

using libtest::writeBlackPng;
using libtest::writeClaimingPng;

bool isRegular(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The entries of a folder that a listing would hide (the ones a write left
// behind, had it left any).
std::vector<std::string> dotFiles(const std::string& folder) {
    std::vector<std::string> found;
    for (const std::string& name : svctest::listDir(folder))
        if (name[0] == '.')
            found.push_back(name);
    return found;
}

class LibraryFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(scratch.ok());
        folder = scratch.path("Gradients");
        ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    }
    std::string in(const std::string& name) const { return folder + "/" + name; }

    svctest::TempDir scratch;
    std::string folder;
};

}  // namespace

TEST_F(LibraryFiles, ListingTakesRegularFilesWithUtf8NamesOnly) {
    ASSERT_TRUE(writeBlackPng(in("plain.png"), 4, 4));
    ASSERT_TRUE(writeBlackPng(in("caf\xc3\xa9.png"), 4, 4));
    ASSERT_TRUE(writeBlackPng(scratch.path("elsewhere.png"), 4, 4));
    ASSERT_EQ(::symlink(scratch.path("elsewhere.png").c_str(), in("linked.png").c_str()), 0);
    ASSERT_EQ(::mkfifo(in("pipe.png").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("/dev/zero", in("zero.png").c_str()), 0);
    ASSERT_EQ(::symlink(scratch.path("nowhere.png").c_str(), in("dangling.png").c_str()), 0);
    ASSERT_TRUE(writeBlackPng(in("bad\xff.png"), 4, 4));
    ASSERT_TRUE(writeBlackPng(in("overlong\xc0\xaf.png"), 4, 4));

    std::vector<std::string> names;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(libraryfiles::listPngFiles(folder, names));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(names, (std::vector<std::string>{"caf\xc3\xa9.png", "linked.png", "plain.png"}));
    // One line for each name that is left out for its bytes, naming them.
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2) << said;
    EXPECT_NE(said.find("bad\\xff.png"), std::string::npos) << said;
    EXPECT_NE(said.find("overlong\\xc0\\xaf.png"), std::string::npos) << said;
}

TEST(LibraryNames, Utf8AsATable) {
    struct Case {
        const char* bytes;
        bool valid;
    } cases[] = {
        {"", true},
        {"plain", true},
        {"caf\xc3\xa9", true},
        {"\xe2\x82\xac", true},          // three bytes
        {"\xf0\x9f\x8e\xa8", true},      // four bytes
        {"\xff", false},                 // never a UTF-8 byte
        {"\xc3", false},                 // cut short
        {"\xe2\x82", false},
        {"\xc3(", false},                // not a continuation
        {"\xc0\xaf", false},             // overlong "/"
        {"\xed\xa0\x80", false},         // a UTF-16 surrogate
        {"\xf4\x90\x80\x80", false},     // past U+10FFFF
        {"\x80", false},                 // a lone continuation
    };
    for (const Case& c : cases)
        EXPECT_EQ(libraryfiles::isValidUtf8(c.bytes), c.valid) << c.bytes;
}

TEST_F(LibraryFiles, APictureIsJudgedByItsHeaderAlone) {
    ASSERT_TRUE(svctest::writeFile(in("text.png"), "just some words, not a picture\n"));
    ASSERT_TRUE(svctest::writeFile(in("empty.png"), ""));
    ASSERT_TRUE(writeBlackPng(in("huge.png"), 10000, 10000));
    ASSERT_TRUE(writeClaimingPng(in("claims.png"), 100000, 100000));
    ASSERT_TRUE(writeClaimingPng(in("wide.png"), 4097, 1));
    ASSERT_TRUE(writeClaimingPng(in("many.png"), 4096, 1025));
    ASSERT_TRUE(writeClaimingPng(in("nothing.png"), 0, 22));
    ASSERT_TRUE(writeBlackPng(in("gradient.png"), 160, 22));
    ASSERT_TRUE(writeClaimingPng(in("largest.png"), 4096, 1024));
    std::string cut = svctest::readFile(in("gradient.png"));
    cut.resize(50);  // inside the IDAT chunk, whose length claims more
    ASSERT_TRUE(svctest::writeFile(in("cut.png"), cut));
    ASSERT_EQ(::mkfifo(in("pipe.png").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("/dev/zero", in("zero.png").c_str()), 0);

    struct Case {
        const char* name;
        bool good;
        int width, height;  // as claimed, when the header is a PNG's
    } cases[] = {
        {"text.png", false, 0, 0},     {"empty.png", false, 0, 0},   {"huge.png", false, 10000, 10000},
        {"claims.png", false, 100000, 100000}, {"wide.png", false, 4097, 1}, {"many.png", false, 4096, 1025},
        {"nothing.png", false, 0, 22}, {"cut.png", false, 0, 0},     {"pipe.png", false, 0, 0},
        {"zero.png", false, 0, 0},     {"missing.png", false, 0, 0}, {"gradient.png", true, 160, 22},
        {"largest.png", true, 4096, 1024},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const libraryfiles::PictureHeader header = libraryfiles::readPictureHeader(in(c.name));
        EXPECT_EQ(header.problem.empty(), c.good) << header.problem;
        if (c.width) {
            EXPECT_EQ(header.width, c.width);
            EXPECT_EQ(header.height, c.height);
        }
    }
}

TEST_F(LibraryFiles, AHugePictureIsNeverDecoded) {
    ASSERT_TRUE(writeBlackPng(in("huge.png"), 10000, 10000));
    ASSERT_TRUE(writeBlackPng(in("small.png"), 64, 64));
    wxInitAllImageHandlers();
    wxImage image;
    ASSERT_TRUE(librarypictures::load(wxString::FromUTF8(in("small.png")), image));
    EXPECT_EQ(image.GetSize(), wxSize(64, 64));

    // Decoded, the picture would take 300 MB (RGB), at once.
    ASSERT_TRUE(libtest::resetPeakMemory());
    const long before = libtest::peakMemoryKb();
    EXPECT_FALSE(librarypictures::load(wxString::FromUTF8(in("huge.png")), image));
    const long grown = libtest::peakMemoryKb() - before;
    EXPECT_FALSE(image.IsOk());
    EXPECT_LT(grown, 32 * 1024) << "the peak grew by " << grown << " kB";

    for (const char* name : {"text.png", "claims.png", "pipe.png"}) {
        SCOPED_TRACE(name);
        if (std::string(name) == "pipe.png")
            ASSERT_EQ(::mkfifo(in(name).c_str(), 0644), 0);
        else if (std::string(name) == "claims.png")
            ASSERT_TRUE(writeClaimingPng(in(name), 100000, 100000));
        else
            ASSERT_TRUE(svctest::writeFile(in(name), "words"));
        EXPECT_FALSE(librarypictures::load(wxString::FromUTF8(in(name)), image));
        EXPECT_FALSE(image.IsOk());
    }
}

TEST_F(LibraryFiles, AWriteReplacesTheEntryAndNeverWritesThroughIt) {
    ASSERT_TRUE(svctest::writeFile(scratch.path("outside.png"), "keep me"));
    ASSERT_EQ(::mkfifo(in("pipe.png").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("/dev/zero", in("zero.png").c_str()), 0);
    ASSERT_EQ(::symlink(scratch.path("created.png").c_str(), in("dangling.png").c_str()), 0);
    ASSERT_EQ(::symlink(scratch.path("outside.png").c_str(), in("linked.png").c_str()), 0);
    ASSERT_TRUE(svctest::writeFile(in("old.png"), "old"));
    for (const char* name : {"pipe.png", "zero.png", "dangling.png", "linked.png", "old.png", "new.png"}) {
        SCOPED_TRACE(name);
        const std::string made = libraryfiles::newFileBeside(in(name));
        ASSERT_FALSE(made.empty());
        EXPECT_EQ(made.rfind(folder + "/.", 0), 0u) << made;  // hidden, in the same folder
        ASSERT_TRUE(svctest::writeFile(made, name));
        ASSERT_TRUE(libraryfiles::replaceWith(made, in(name)));
        EXPECT_TRUE(isRegular(in(name)));
        EXPECT_EQ(svctest::readFile(in(name)), name);
    }
    EXPECT_EQ(svctest::readFile(scratch.path("outside.png")), "keep me");
    EXPECT_FALSE(svctest::exists(scratch.path("created.png")));
    EXPECT_TRUE(dotFiles(folder).empty());

    // Nowhere to put it: nothing is made; a folder in the way: nothing changes.
    EXPECT_EQ(libraryfiles::newFileBeside(scratch.path("missing/x.png")), "");
    ASSERT_EQ(::mkdir(in("folder.png").c_str(), 0755), 0);
    ASSERT_TRUE(svctest::writeFile(in("folder.png/inside"), "x"));
    const std::string made = libraryfiles::newFileBeside(in("folder.png"));
    EXPECT_FALSE(libraryfiles::replaceWith(made, in("folder.png")));
    EXPECT_EQ(svctest::readFile(in("folder.png/inside")), "x");
    EXPECT_TRUE(dotFiles(folder).empty());
}

TEST_F(LibraryFiles, TwoReplacementsHappenTogetherOrNotAtAll) {
    const std::string icons = in("Icons");
    ASSERT_EQ(::mkdir(icons.c_str(), 0755), 0);
    const std::string picture = in("p.png"), icon = icons + "/p.png";
    ASSERT_TRUE(svctest::writeFile(picture, "old picture"));
    ASSERT_TRUE(svctest::writeFile(icon, "old icon"));
    const auto attempt = [&](const std::string& iconPath) {
        const std::string a = libraryfiles::newFileBeside(picture), b = libraryfiles::newFileBeside(iconPath);
        EXPECT_TRUE(svctest::writeFile(a, "new picture") && svctest::writeFile(b, "new icon"));
        return libraryfiles::replaceBothWith(a, picture, b, iconPath);
    };

    // The icon's place is taken by a folder: the old picture comes back.
    ASSERT_EQ(::mkdir((icons + "/q.png").c_str(), 0755), 0);
    ASSERT_TRUE(svctest::writeFile(icons + "/q.png/inside", "x"));
    EXPECT_FALSE(attempt(icons + "/q.png"));
    EXPECT_EQ(svctest::readFile(picture), "old picture");
    EXPECT_TRUE(dotFiles(folder).empty());
    EXPECT_TRUE(dotFiles(icons).empty());

    EXPECT_TRUE(attempt(icon));
    EXPECT_EQ(svctest::readFile(picture), "new picture");
    EXPECT_EQ(svctest::readFile(icon), "new icon");
    EXPECT_TRUE(dotFiles(folder).empty());
    EXPECT_TRUE(dotFiles(icons).empty());

    // A new preset whose icon cannot go in leaves no picture behind.
    const std::string lone = in("lone.png");
    const std::string a = libraryfiles::newFileBeside(lone), b = libraryfiles::newFileBeside(icons + "/q.png");
    EXPECT_FALSE(libraryfiles::replaceBothWith(a, lone, b, icons + "/q.png"));
    EXPECT_FALSE(svctest::exists(lone));
    EXPECT_TRUE(dotFiles(folder).empty());
}

TEST_F(LibraryFiles, ADeleteNeverTargetsTheFolder) {
    ASSERT_TRUE(svctest::writeFile(scratch.path("target.png"), "kept"));
    ASSERT_EQ(::symlink(scratch.path("target.png").c_str(), in("link.png").c_str()), 0);
    ASSERT_TRUE(svctest::writeFile(in("a.png"), "a"));
    // Empty folders, which the C library's remove() would take away.
    ASSERT_EQ(::mkdir(in("sub.png").c_str(), 0755), 0);
    const std::string empty = scratch.path("Brushes");
    ASSERT_EQ(::mkdir(empty.c_str(), 0755), 0);
    for (const std::string& path : {std::string(), folder, folder + "/", in("sub.png"), empty, empty + "/",
                                    in("missing.png")})
        EXPECT_FALSE(libraryfiles::removeEntry(path)) << "'" << path << "'";
    EXPECT_TRUE(svctest::exists(in("sub.png")));
    EXPECT_TRUE(svctest::exists(empty));
    EXPECT_TRUE(svctest::exists(in("a.png")));
    EXPECT_TRUE(libraryfiles::removeEntry(in("link.png")));
    EXPECT_EQ(svctest::readFile(scratch.path("target.png")), "kept");
    EXPECT_TRUE(libraryfiles::removeEntry(in("a.png")));
    EXPECT_FALSE(svctest::exists(in("a.png")));
}
