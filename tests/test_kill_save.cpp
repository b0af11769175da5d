// A save killed at any moment (SIGKILL, no chance to clean up) leaves the
// file on disk as the old or the new complete picture (or preferences), never
// a cut or mixed one. A child process saves over the same file again and again; the parent
// kills it at a random moment, then checks what is on disk.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/GuiBridge.h"
#include "core/artwork.h"
#include "framework/ofImage.h"
#include "services/MetadataHandler.h"
#include "services/SettingsHandler.h"
#include "tests/services_fixture.h"

namespace {

using svctest::TempDir;

constexpr int kSide = 384;
constexpr int kRounds = 80;

// Noise compresses badly, so a save takes long enough to be hit mid-way.
std::vector<unsigned char> noise(unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<unsigned char> px(static_cast<size_t>(kSide) * kSide * 3);
    for (auto& b : px) b = static_cast<unsigned char>(rng());
    return px;
}

bool savePicture(const std::vector<unsigned char>& px, const std::string& path) {
    ofImage img;
    img.setUseTexture(false);
    img.setFromPixels(px.data(), kSide, kSide, OF_IMAGE_COLOR);
    return img.saveImage(path);
}

// 0 or 1 for the picture the file holds, -1 for anything else.
int whichPicture(const std::string& path, const std::vector<unsigned char>* pictures) {
    ofImage img;
    img.setUseTexture(false);
    if (!img.loadImage(path) || img.width != kSide || img.height != kSide || img.imageType != OF_IMAGE_COLOR)
        return -1;
    for (int i = 0; i < 2; ++i)
        if (std::memcmp(img.getPixels(), pictures[i].data(), pictures[i].size()) == 0) return i;
    return -1;
}

struct Outcome {
    int rounds = 0;
    int midWrite = 0;  // kills that caught a temp file, i.e. a write in progress
    std::vector<std::string> bad;
};

// Runs `writeOnce(i)` for i = round, round + 1, ... in a child,
// SIGKILLs it after a random delay of up to `window`, and after each kill asks
// `verify` whether the target is sound. Temp files a killed writer leaves in
// `dir` are counted and removed.
Outcome killWhileWriting(const TempDir& dir, const std::string& target, std::chrono::microseconds window,
                         const std::function<bool(int)>& writeOnce, const std::function<std::string()>& verify) {
    Outcome out;
    std::mt19937 rng(1234);
    for (int round = 0; round < kRounds; ++round) {
        int ready[2];
        if (pipe(ready) != 0) {
            out.bad.push_back("pipe failed");
            break;
        }
        const pid_t child = fork();
        if (child == 0) {
            close(ready[0]);
            for (int i = round;; ++i) {
                if (i == round + 1 && ::write(ready[1], "w", 1) != 1) _exit(3);
                if (!writeOnce(i)) _exit(4);
            }
        }
        close(ready[1]);
        char c;
        // The first write has finished: the kill lands somewhere in the next ones.
        const bool started = read(ready[0], &c, 1) == 1;
        close(ready[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(rng() % (window.count() + 1)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        if (!started || !WIFSIGNALED(status)) {
            out.bad.push_back("round " + std::to_string(round) + ": the writer failed before the kill");
            continue;
        }
        ++out.rounds;
        bool tempLeft = false;
        for (const std::string& name : svctest::listDir(dir.root())) {
            if (dir.path(name) == target) continue;
            tempLeft = true;
            unlink(dir.path(name).c_str());
        }
        if (tempLeft) ++out.midWrite;
        const std::string problem = verify();
        if (!problem.empty()) out.bad.push_back("round " + std::to_string(round) + ": " + problem);
    }
    return out;
}

// A milliseconds-long write measured once, so the kill window covers it.
template <class F>
std::chrono::microseconds timed(F f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0);
}

}  // namespace

TEST(KillDuringSave, ThePictureOnDiskIsAlwaysTheOldOrTheNewOne) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string target = dir.path("art.png");
    const std::vector<unsigned char> pictures[2] = {noise(1), noise(2)};
    ASSERT_TRUE(savePicture(pictures[0], target));
    const auto oneSave = timed([&] { ASSERT_TRUE(savePicture(pictures[1], target)); });
    ASSERT_EQ(whichPicture(target, pictures), 1);

    const Outcome out = killWhileWriting(
        dir, target, oneSave * 3, [&](int i) { return savePicture(pictures[i % 2], target); },
        [&]() -> std::string { return whichPicture(target, pictures) < 0 ? "the file is neither picture" : ""; });

    EXPECT_TRUE(out.bad.empty()) << out.bad.front();
    EXPECT_EQ(out.rounds, kRounds);
    // Else the test proves nothing: most kills must catch a save under way.
    EXPECT_GE(out.midWrite, kRounds / 3) << "only " << out.midWrite << " kills hit a save in progress";
}

TEST(KillDuringSave, ACommentRewriteLeavesTheOldOrTheNewComment) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string target = dir.path("preset.png");
    const std::vector<unsigned char> picture = noise(3);
    ASSERT_TRUE(savePicture(picture, target));
    const char* comments[2] = {"V|150|old", "V|150|new"};
    const auto writeComment = [&](int i) { return MetadataHandler(wxString::FromUTF8(target)).WriteCommentPng(comments[i % 2]); };
    ASSERT_TRUE(writeComment(0));
    const auto oneWrite = timed([&] { ASSERT_TRUE(writeComment(1)); });

    const std::vector<unsigned char> same[2] = {picture, picture};
    const Outcome out = killWhileWriting(dir, target, oneWrite * 3, writeComment, [&]() -> std::string {
        MetadataHandler reader(wxString::FromUTF8(target));
        if (!reader.ReadCommentPng()) return "cannot open the file";
        if (std::strcmp(reader.comment, comments[0]) != 0 && std::strcmp(reader.comment, comments[1]) != 0)
            return std::string("comment \"") + reader.comment + "\"";
        return whichPicture(target, same) == 0 ? "" : "the picture was damaged";
    });

    EXPECT_TRUE(out.bad.empty()) << out.bad.front();
    EXPECT_EQ(out.rounds, kRounds);
    EXPECT_GE(out.midWrite, kRounds / 3) << "only " << out.midWrite << " kills hit a rewrite in progress";
}

TEST(KillDuringSave, TheArtworkSaveLeavesAPictureWithItsOwnComment) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string target = dir.path("artwork.png");
    std::vector<unsigned char> pictures[2] = {noise(4), noise(5)};
    const palette::Rgb colours[2] = {{10, 20, 30}, {200, 100, 50}};
    const auto save = [&](int i) {
        canvas::PixelSpan front{pictures[i % 2].data(), kSide, kSide, 3};
        artwork::SaveOptions options;
        options.bg = colours[i % 2];
        return artwork::saveArtwork(target, front, canvas::PixelSpan{nullptr, 0, 0, 3}, options);
    };
    ASSERT_TRUE(save(0));
    const auto oneSave = timed([&] { ASSERT_TRUE(save(1)); });

    const Outcome out = killWhileWriting(dir, target, oneSave * 3, save, [&]() -> std::string {
        const int which = whichPicture(target, pictures);
        if (which < 0) return "the file is neither picture";
        palette::Rgb bg{-1, -1, -1};
        if (!artwork::backgroundFromComment(target, bg)) return "the picture has lost its comment";
        if (bg.r != colours[which].r || bg.g != colours[which].g || bg.b != colours[which].b)
            return "the comment belongs to the other picture";
        return "";
    });

    EXPECT_TRUE(out.bad.empty()) << out.bad.front();
    EXPECT_EQ(out.rounds, kRounds);
    EXPECT_GE(out.midWrite, kRounds / 3) << "only " << out.midWrite << " kills hit a save in progress";
}

TEST(KillDuringSave, ThePreferencesFileIsTheOldOrTheNewOne) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    svctest::ScopedCwd cwd(dir.root());
    ASSERT_TRUE(cwd.ok());
    const std::string target = dir.path("prefs.cfg");
    const std::string texts[2] = {"UndoPercent = 30 #UndoPercent\n", "UndoPercent = 60 #UndoPercent\n"};
    // A save that fails says so in a message box.
    bool failed = false;
    guibridge::setPoster([](guibridge::Task task) { task(); });
    guibridge::setMessageSink([&failed](const wxString&, const wxString&) { failed = true; });
    const auto save = [&](int i) {
        failed = false;
        SettingsHandler settings;
        settings.undoPercent = i % 2 ? 60 : 30;
        settings.Save();
        return !failed;
    };
    ASSERT_TRUE(save(0));
    const auto oneSave = timed([&] { ASSERT_TRUE(save(1)); });
    ASSERT_EQ(svctest::readFile(target), texts[1]);

    const Outcome out = killWhileWriting(dir, target, oneSave * 3, save, [&]() -> std::string {
        const std::string text = svctest::readFile(target);
        return text == texts[0] || text == texts[1] ? "" : "the file holds \"" + text + "\"";
    });
    guibridge::setMessageSink(nullptr);
    guibridge::setPoster(nullptr);

    EXPECT_TRUE(out.bad.empty()) << out.bad.front();
    EXPECT_EQ(out.rounds, kRounds);
    EXPECT_GE(out.midWrite, kRounds / 3) << "only " << out.midWrite << " kills hit a save in progress";
}
