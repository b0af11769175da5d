// The Export dialog's rules without a window: the enabling rule, the name
// it proposes and the plan its OK hands over.
#include <gtest/gtest.h>

#include <string>

#include "gui/model/ExportModel.h"

using namespace exportmodel;

namespace {

Controls shown(Format format, bool alpha) {
    Controls c;
    c.format = format;
    return onShow(c, alpha);
}

}  // namespace

TEST(ExportEnabling, FollowsFormatAlphaAndTransparentBox) {
    const Controls alphaPng = shown(Format::Png, true);
    const Controls plainPng = shown(Format::Png, false);
    const Controls cleared = onTransparentClick(alphaPng, false);
    Controls straight = alphaPng;
    straight.straightChecked = true;
    const Controls jpg = onFormat(cleared, Format::Jpg, true);
    struct Row {
        const char* name;
        Controls state;
        bool transparentChecked, transparentEnabled, straightChecked, straightEnabled, jpgEnabled;
    } rows[] = {
        {"shown without alpha", plainPng, false, false, false, false, true},
        {"shown with alpha", alphaPng, true, true, false, true, false},
        {"a new showing keeps Straight's check", onShow(straight, true), true, true, true, true, false},
        {"Transparent unchecked", cleared, false, true, false, false, true},
        {"Transparent checked again", onTransparentClick(cleared, true), true, true, false, true, false},
        {"JPG chosen", jpg, false, false, false, false, true},
        {"then PNG, with alpha", onFormat(jpg, Format::Png, true), false, true, false, true, true},
        {"TGA without alpha changes nothing", onFormat(plainPng, Format::Tga, false), false, false, false, false,
         true},
        {"JPG shown again with alpha", onShow(jpg, true), false, false, false, false, true},
        {"JPG drops a checked Straight", onFormat(straight, Format::Jpg, true), false, false, false, false, false},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(r.state.transparentChecked, r.transparentChecked) << r.name;
        EXPECT_EQ(r.state.transparentEnabled, r.transparentEnabled) << r.name;
        EXPECT_EQ(r.state.straightChecked, r.straightChecked) << r.name;
        EXPECT_EQ(r.state.straightEnabled, r.straightEnabled) << r.name;
        EXPECT_EQ(r.state.jpgEnabled, r.jpgEnabled) << r.name;
    }
    EXPECT_EQ(onShow(jpg, true).format, Format::Jpg);
}

TEST(ExportProposal, NameAndFolderForTheSelector) {
    struct Row {
        bool saveAs;
        const char *exportFile, *loadFile, *folder, *name;
    } rows[] = {
        {false, "", "wyrleArtwork.png", "/home/u/", "wyrleArtwork"},
        {false, "/out/x.png", "/pics/a.jpg", "/pics/", "a"},
        {true, "/out/x.png", "/pics/a.jpg", "/out/", "x"},
        {false, "", "relative.tif", "", "relative"},
        {false, "", "/pics/a.b.c", "/pics/", "a.b"},
        {false, "", "/pics/.hidden", "/pics/", ".hidden"},
        {false, "", "/pics/noext", "/pics/", "noext"},
    };
    for (const Row& r : rows) {
        const DefaultName d = defaultName(proposal(r.saveAs, r.exportFile, r.loadFile, "/home/u"));
        EXPECT_EQ(d.folder, r.folder) << r.loadFile;
        EXPECT_EQ(d.name, r.name) << r.loadFile;
    }
    EXPECT_EQ(proposal(false, "", "wyrleArtwork.png", "/home/u/"), "/home/u/wyrleArtwork.png");
    const char* ext[] = {"png", "tga", "tif", "bmp", "jpg"};
    const Format formats[] = {Format::Png, Format::Tga, Format::Tif, Format::Bmp, Format::Jpg};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(extension(formats[i]), ext[i]);
}

TEST(ExportPlan, WritesTheAlphaChoicesOnlyWithTheRequest) {
    Controls c = shown(Format::Png, true);
    c.straightChecked = true;
    struct Row {
        const char* name;
        const char* path;
        bool exists;
        Answer answer;
        bool asks, request, unexpected;
    } rows[] = {
        {"new file", "/out/a.png", false, Answer::None, false, true, false},
        {"selector cancelled", "", false, Answer::None, false, false, false},
        {"overwrite: Yes", "/out/a.png", true, Answer::Yes, true, true, false},
        {"overwrite: No", "/out/a.png", true, Answer::No, true, false, false},
        {"overwrite: odd answer", "/out/a.png", true, Answer::Other, true, false, true},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(asksOverwrite(r.path, r.exists), r.asks) << r.name;
        const Plan plan = planExport(c, r.path, r.exists, r.answer);
        EXPECT_EQ(plan.request, r.request) << r.name;
        EXPECT_EQ(plan.unexpected, r.unexpected) << r.name;
        EXPECT_EQ(plan.exportFile, r.request ? r.path : "") << r.name;
        EXPECT_EQ(plan.alphaSave, r.request ? 1 : 0) << r.name;
        EXPECT_EQ(plan.straightAlpha, r.request ? 1 : 0) << r.name;
    }
}
