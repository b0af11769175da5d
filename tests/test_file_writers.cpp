// The four writers that replace a file on disk, over one table of cases: a
// save replaces the file and keeps its mode, writes through a symbolic link
// to its target, leaves no temp file, and on a full disk or in a folder it
// may not write to leaves the old file as it was. (Killed mid-write:
// test_kill_save.cpp.)

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/GuiBridge.h"
#include "core/artwork.h"
#include "framework/ofImage.h"
#include "services/MetadataHandler.h"
#include "services/SettingsHandler.h"
#include "tests/services_fixture.h"

namespace {

constexpr int kSide = 16;

std::vector<unsigned char> pattern(int version) {
    std::vector<unsigned char> px(kSide * kSide * 3);
    for (size_t i = 0; i < px.size(); ++i) px[i] = static_cast<unsigned char>(i * (version + 3) + version * 101);
    return px;
}

bool savePicture(const std::string& path, int version) {
    ofImage img;
    img.setUseTexture(false);
    const std::vector<unsigned char> px = pattern(version);
    img.setFromPixels(px.data(), kSide, kSide, OF_IMAGE_COLOR);
    return img.saveImage(path);
}

// 0 or 1 for the picture the file holds, -1 for anything else.
int whichPicture(const std::string& path) {
    ofImage img;
    img.setUseTexture(false);
    if (!img.loadImage(path) || img.width != kSide || img.height != kSide || img.imageType != OF_IMAGE_COLOR)
        return -1;
    for (int v = 0; v < 2; ++v)
        if (std::memcmp(img.getPixels(), pattern(v).data(), pattern(v).size()) == 0) return v;
    return -1;
}

const char* const kComments[2] = {"V|150|old", "V|150|new"};
const char* const kPrefs[2] = {"UndoPercent = 30 #UndoPercent\n", "UndoPercent = 60 #UndoPercent\n"};

struct Writer {
    const char* name;
    const char* file;                                  // in the working folder
    std::function<bool(const std::string&, int)> write;  // version 0 or 1; true when saved
    std::function<int(const std::string&)> which;        // the version on disk, -1 for neither
    bool rewritesInPlace;  // in a folder it may not write to (the preferences file)
};

std::vector<Writer> writers(std::vector<std::string>& messages) {
    return {
        {"picture", "picture.png", savePicture, whichPicture, false},
        {"artwork", "artwork.png",
         [](const std::string& path, int v) {
             std::vector<unsigned char> px = pattern(v);
             artwork::SaveOptions options;
             options.bg = palette::Rgb{v * 100, 20, 30};
             return artwork::saveArtwork(path, canvas::PixelSpan{px.data(), kSide, kSide, 3},
                                         canvas::PixelSpan{nullptr, 0, 0, 3}, options);
         },
         whichPicture, false},
        {"comment", "preset.png",
         [](const std::string& path, int v) {
             // The picture the comment goes into is made once.
             if (access(path.c_str(), F_OK) != 0 && !savePicture(path, 0)) return false;
             return MetadataHandler(wxString::FromUTF8(path)).WriteCommentPng(kComments[v]);
         },
         [](const std::string& path) {
             MetadataHandler reader(wxString::FromUTF8(path));
             if (!reader.ReadCommentPng() || whichPicture(path) != 0) return -1;
             for (int v = 0; v < 2; ++v)
                 if (std::strcmp(reader.comment, kComments[v]) == 0) return v;
             return -1;
         },
         false},
        {"preferences", "prefs.cfg",
         [&messages](const std::string&, int v) {
             messages.clear();
             SettingsHandler h;
             h.undoPercent = v ? 60 : 30;
             h.Save();
             return messages.empty();
         },
         [](const std::string& path) {
             const std::string text = svctest::readFile(path);
             for (int v = 0; v < 2; ++v)
                 if (text == kPrefs[v]) return v;
             return -1;
         },
         true},
    };
}

class FileWriters : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.ok());
        cwd.reset(new svctest::ScopedCwd(tmp.root()));
        ASSERT_TRUE(cwd->ok());
        guibridge::setPoster([](guibridge::Task task) { task(); });
        guibridge::setMessageSink([this](const wxString& text, const wxString&) {
            messages.push_back(std::string(text.utf8_str()));
        });
    }
    void TearDown() override {
        guibridge::setMessageSink(nullptr);
        guibridge::setPoster(nullptr);
        cwd.reset();
    }
    // What the folder holds besides the names given.
    std::vector<std::string> others(const std::vector<std::string>& expected) const {
        std::vector<std::string> left;
        for (const std::string& name : svctest::listDir(tmp.root()))
            if (std::find(expected.begin(), expected.end(), name) == expected.end()) left.push_back(name);
        return left;
    }
    svctest::TempDir tmp;
    std::unique_ptr<svctest::ScopedCwd> cwd;
    std::vector<std::string> messages;
};

}  // namespace

TEST_F(FileWriters, ReplaceTheFileKeepingItsMode) {
    for (const Writer& w : writers(messages)) {
        SCOPED_TRACE(w.name);
        const std::string path = tmp.path(w.file);
        ASSERT_TRUE(w.write(path, 0));
        ASSERT_EQ(chmod(path.c_str(), 0604), 0);
        EXPECT_TRUE(w.write(path, 1));
        EXPECT_EQ(w.which(path), 1);
        struct stat st;
        ASSERT_EQ(stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0604u);
        EXPECT_EQ(others({w.file}), std::vector<std::string>{}) << "a temp file was left";
        unlink(path.c_str());
    }
}

TEST_F(FileWriters, WriteThroughASymbolicLinkToItsTarget) {
    for (const Writer& w : writers(messages)) {
        SCOPED_TRACE(w.name);
        const std::string path = tmp.path(w.file);
        const std::string target = std::string("real-") + w.file;
        ASSERT_TRUE(w.write(path, 0));
        ASSERT_EQ(rename(path.c_str(), tmp.path(target).c_str()), 0);
        ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0);
        EXPECT_TRUE(w.write(path, 1));
        struct stat st;
        ASSERT_EQ(lstat(path.c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link was replaced by a file";
        EXPECT_EQ(w.which(tmp.path(target)), 1);
        EXPECT_EQ(others({w.file, target}), std::vector<std::string>{}) << "a temp file was left";
        unlink(path.c_str());
        unlink(target.c_str());
    }
}

// A full disk, made with a file-size limit (which root obeys too).
TEST_F(FileWriters, AFullDiskFailsAndKeepsTheOldFile) {
    for (const Writer& w : writers(messages)) {
        SCOPED_TRACE(w.name);
        const std::string path = tmp.path(w.file);
        ASSERT_TRUE(w.write(path, 0));
        rlimit saved;
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = 16;
        void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool ok = w.write(path, 1);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_FALSE(ok);
        EXPECT_EQ(w.which(path), 0);
        EXPECT_EQ(others({w.file}), std::vector<std::string>{}) << "a temp file was left";
        unlink(path.c_str());
    }
}

// A writable file in a folder the user may not write to: no temp file can
// go beside it. The preferences are rewritten in place; the pictures stay.
TEST_F(FileWriters, AFolderThatCannotBeWrittenKeepsTheOldFile) {
    for (const Writer& w : writers(messages)) {
        SCOPED_TRACE(w.name);
        const std::string path = tmp.path(w.file);
        ASSERT_TRUE(w.write(path, 0));
        svctest::asUnprivileged(tmp.root(), [&] {
            ASSERT_EQ(chmod(".", 0555), 0);
            const bool ok = w.write(path, 1);
            ASSERT_EQ(chmod(".", 0755), 0);
            EXPECT_EQ(ok, w.rewritesInPlace);
            EXPECT_EQ(w.which(path), w.rewritesInPlace ? 1 : 0);
            EXPECT_EQ(others({w.file}), std::vector<std::string>{});
        });
        unlink(path.c_str());
    }
}
