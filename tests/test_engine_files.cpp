// Artwork files through the engine's requests, without a window: a new
// artwork, saving and reopening (pixels, alpha and background colour kept),
// exports, failed saves and opens, and a picture opened into the back layer.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/FileNames.h"
#include "framework/ofImage.h"
#include "tests/engine_paint_fixture.h"

using painttest::PaintEngine;

namespace {

bool exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

class EngineFiles : public PaintEngine {
protected:
    void newArtwork(int w, int h, int bg, int alpha) {
        f_sx = w;
        f_sy = h;
        f_bcgR = f_bcgG = f_bcgB = bg;
        f_alphaBCG = alpha;
        f_workState = kWorkNewArtwork;
        frames(2);
        ASSERT_EQ(engine->canvasWidth, w);
    }
    void save(const std::string& path, bool exporting, int alpha) {
        (exporting ? f_exportFile : f_saveFile).set(wxString::FromUTF8(path.c_str()));
        f_export = exporting;
        f_alphaBCGsave = alpha;
        f_workState = kWorkSave;
        frame();
        EXPECT_EQ(f_workState.load(), 0);
    }
    // Opens `path` as the artwork or, with `back`, into the back layer.
    void open(const std::string& path, bool back = false) {
        (back ? f_loadFileBcg : f_loadFile).set(wxString::FromUTF8(path.c_str()));
        f_fixedLoadPic = back;
        f_workState = kWorkLoad;
        frame();
        EXPECT_EQ(f_workState.load(), 0);
    }
    std::vector<unsigned char> layer(ofImage& image) const {
        const ofPixels& p = image.pixelBuffer;
        return std::vector<unsigned char>(p.data, p.data + static_cast<size_t>(p.width) * p.height * p.channelCount);
    }
};

TEST_F(EngineFiles, ANewArtworkTakesItsSizeColourAndAlpha) {
    gSaveAs = true;
    newArtwork(640, 480, 255, 1);
    const std::vector<unsigned char> f = front();
    ASSERT_EQ(f.size(), 640u * 480u * 4u);
    for (size_t i = 0; i < f.size(); i += 4) {
        ASSERT_EQ(f[i], 255);
        ASSERT_EQ(f[i + 3], 0);
    }
    EXPECT_EQ(layer(engine->backLayer), f);
    EXPECT_EQ(host.title, "wyrleArtwork.png | 640x480 pixels with Alpha | 100% | Back Layer Off (A)");
    EXPECT_FALSE(f_additive.load());
    EXPECT_TRUE(f_newArtwork.load());
    EXPECT_GE(host.wakeUps, 1);
    EXPECT_FALSE(gSaveAs.load());
    EXPECT_EQ(f_alphaBCGsave.load(), 1);
    EXPECT_EQ(std::string(f_saveFile.get().utf8_str()), "wyrleArtwork.png");
}

TEST_F(EngineFiles, SavedArtworkReopensWithItsPixelsAlphaAndBackground) {
    struct Case {
        int bg, alpha;
    };
    for (const Case c : {Case{0, 0}, Case{255, 0}, Case{0, 1}, Case{255, 1}, Case{40, 1}}) {
        SCOPED_TRACE("background " + std::to_string(c.bg) + " alpha " + std::to_string(c.alpha));
        newArtwork(300, 200, c.bg, c.alpha);
        stroke(300, 250, 600, 400, 20);
        const std::vector<unsigned char> painted = front();
        ASSERT_NE(painted, layer(engine->backLayer));
        const std::string path = dir.path("art " + std::to_string(c.bg) + std::to_string(c.alpha) + ".png");
        gSaveAs = true;
        save(path, false, c.alpha);
        ASSERT_TRUE(exists(path));
        EXPECT_TRUE(messages.empty());
        EXPECT_TRUE(gSaveAs.load());

        // Something else in between, in another colour.
        newArtwork(64, 64, 128, 0);
        gSaveAs = true;
        f_findAutoBcgColor = true;
        open(path);
        EXPECT_TRUE(messages.empty());
        ASSERT_EQ(engine->canvasWidth, 300);
        ASSERT_EQ(engine->canvasHeight, 200);
        EXPECT_EQ(f_alphaBCG.load(), c.alpha);
        EXPECT_EQ(front(), painted);
        EXPECT_EQ(f_bcgR.load(), c.bg);
        EXPECT_EQ(f_bcgB.load(), c.bg);
        // Save asks before it writes over what was opened.
        EXPECT_FALSE(gSaveAs.load());
        EXPECT_EQ(std::string(f_saveFile.get().utf8_str()), path);
        EXPECT_EQ(host.title.rfind("art ", 0), 0u) << host.title;
        EXPECT_EQ(engine->undoPos, 0);
    }
}

TEST_F(EngineFiles, SaveAsToANewNameRetitlesTheWindowAtOnce) {
    stroke(300, 300, 400, 350, 10);
    const auto titled = [this](const char* name) { return host.title.rfind(name, 0) == 0; };
    ASSERT_TRUE(titled("wyrleArtwork.png")) << host.title;
    gSaveAs = true;
    save(dir.path("renamed.png"), false, 0);
    EXPECT_TRUE(titled("renamed.png")) << host.title;
    // Whatever rebuilds the title later keeps the new name.
    f_changeShowBcg = 1;
    frame();
    EXPECT_TRUE(titled("renamed.png")) << host.title;
    f_scalezRangePos = 3;
    f_centerTexture = true;
    frame();
    EXPECT_TRUE(titled("renamed.png")) << host.title;
    // An export does not rename the artwork.
    save(dir.path("copy.jpg"), true, 0);
    EXPECT_TRUE(titled("renamed.png")) << host.title;
}

TEST_F(EngineFiles, ExportsWriteEveryFormatWithoutTouchingTheSaveState) {
    newArtwork(160, 120, 0, 1);
    stroke(300, 300, 400, 350, 10);
    gSaveAs = true;
    for (const char* ext : {".png", ".jpg", ".bmp", ".tga", ".tif"}) {
        SCOPED_TRACE(ext);
        const std::string path = dir.path(std::string("export") + ext);
        save(path, true, 1);
        ASSERT_TRUE(exists(path));
        ofImage back;
        back.setUseTexture(false);
        ASSERT_TRUE(back.loadImage(path));
        EXPECT_EQ(back.width, 160);
        EXPECT_EQ(back.height, 120);
        // JPEG holds no alpha; the others keep it.
        EXPECT_EQ(back.pixelBuffer.channelCount, std::string(ext) == ".jpg" ? 3 : 4);
    }
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(gSaveAs.load());
}

TEST_F(EngineFiles, AFailedSaveSaysSoKeepsTheOldFileAndAsksAgain) {
    const std::string kept = dir.path("kept.xyz");
    ASSERT_TRUE(svctest::writeFile(kept, "old bytes"));
    for (const std::string& path : {kept, dir.path("no such folder/art.png")}) {
        SCOPED_TRACE(path);
        messages.clear();
        gSaveAs = true;
        save(path, false, 0);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, "Could not save picture.");
        EXPECT_EQ(messages[0].caption, "Info");
        EXPECT_FALSE(gSaveAs.load());
    }
    EXPECT_EQ(svctest::readFile(kept), "old bytes");
    // A failed export leaves the native save alone.
    messages.clear();
    gSaveAs = true;
    save(kept, true, 0);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_TRUE(gSaveAs.load());
}

TEST_F(EngineFiles, APictureThatCannotBeReadChangesNothing) {
    stroke(300, 300, 500, 400, 10);
    const std::vector<unsigned char> painted = front();
    const int pos = engine->undoPos;
    const std::string junk = dir.path("junk.png");
    ASSERT_TRUE(svctest::writeFile(junk, "this is no picture"));
    for (const std::string& path : {dir.path("missing.png"), junk}) {
        SCOPED_TRACE(path);
        messages.clear();
        open(path);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, "Could not load picture");
        EXPECT_EQ(messages[0].caption, "Info");
        EXPECT_EQ(engine->canvasWidth, 800);
        EXPECT_EQ(front(), painted);
        EXPECT_EQ(engine->undoPos, pos);
    }
    // Painting goes on as before.
    stroke(200, 200, 260, 240, 6);
    EXPECT_NE(front(), painted);
}

TEST_F(EngineFiles, ABackLayerPictureIsStretchedShownAndUndone) {
    // A 40 x 30 red picture.
    std::vector<unsigned char> red(40 * 30 * 3);
    for (size_t i = 0; i < red.size(); i += 3) red[i] = 200;
    const std::string path = dir.path("red.png");
    ASSERT_TRUE(ofSavePixels(path, red.data(), 40, 30, 3));
    stroke(300, 300, 500, 400, 10);
    const std::vector<unsigned char> painted = front();
    const int pos = engine->undoPos;

    open(path, true);
    EXPECT_TRUE(messages.empty());
    const std::vector<unsigned char> back = layer(engine->backLayer);
    ASSERT_EQ(back.size(), 800u * 600u * 3u);
    EXPECT_EQ(back[0], 200);
    EXPECT_EQ(back[back.size() - 3], 200);
    EXPECT_EQ(back[back.size() - 1], 0);
    EXPECT_TRUE(f_showBcg.load());
    EXPECT_EQ(front(), painted);
    EXPECT_NE(host.title.find("Back Layer On"), std::string::npos);
    // The display shows the painting over the back layer.
    const ofPixels& d = engine->displayImage.pixelBuffer;
    EXPECT_EQ(d.data[0], 200);
    frame();
    EXPECT_EQ(engine->undoPos, pos + 2);

    // Undo returns to the back layer as it was.
    f_workState = kWorkUndo;
    frame();
    const std::vector<unsigned char> restored = layer(engine->backLayer);
    EXPECT_EQ(std::count(restored.begin(), restored.end(), 0), static_cast<long>(restored.size()));
    EXPECT_EQ(front(), painted);

    messages.clear();
    open(dir.path("missing.png"), true);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Could not load background picture");
    EXPECT_EQ(messages[0].caption, "Info");
}
