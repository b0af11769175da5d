// The Open dialog's rules without a window: where a showing and Browse
// start, and what OK hands over.
#include <gtest/gtest.h>

#include "gui/model/OpenModel.h"

using namespace openpicture;

TEST(OpenShowing, TheSavedFileReplacesThePathTextOnlyAfterASave) {
    const Showing before = onShow(false, "/art/saved.png", "/home/u", "/typed/by/user.png");
    EXPECT_EQ(before.startFolder, "/home/u");
    EXPECT_EQ(before.pathText, "/typed/by/user.png");
    const Showing after = onShow(true, "/art/saved.png", "/home/u", "/typed/by/user.png");
    EXPECT_EQ(after.startFolder, "/art/saved.png");
    EXPECT_EQ(after.pathText, "/art/saved.png");
}

TEST(OpenBrowse, StartsFromThePathTextOnceAFileWasChosen) {
    EXPECT_EQ(browseStart(false, "/typed.png", "/home/u"), "/home/u");
    EXPECT_EQ(browseStart(true, "/typed.png", "/home/u"), "/typed.png");
}

TEST(OpenPlan, OnlyAnExistingFileIsLoadedButTheNameIsAlwaysKept) {
    const Plan missing = planOpen("/no/such.png", false, false, true, 1, 2, 3);
    EXPECT_FALSE(missing.request);
    EXPECT_EQ(missing.loadFile, "/no/such.png");
    const Plan found = planOpen(" /odd name.png", true, false, true, 255, 128, 0);
    EXPECT_TRUE(found.request);
    EXPECT_EQ(found.loadFile, " /odd name.png");  // as typed, untrimmed
    EXPECT_EQ(found.red * 1000000 + found.green * 1000 + found.blue, 255128000);
    EXPECT_FALSE(found.autoColour);
    EXPECT_TRUE(found.premultiply);
}
