// The New Settings dialog's rules without a window: the number test, the
// lenient reads, the size read-out and the plan its OK hands over.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "gui/model/NewSettingsModel.h"

using namespace newsettings;

TEST(NewSettingsNumbers, TestAndReadTogether) {
    struct Row {
        const char* text;
        bool passes;
        int value;  // as read, before the smallest side applies
    } rows[] = {
        {"", true, 0},
        {"-50", true, -50},
        {"+800", true, 800},
        {"9", true, 9},
        {"10", true, 10},
        {"11", true, 11},
        {"-", true, 0},
        {"007", true, 7},
        {"12.5", false, 12},
        {"800px", false, 800},
        {" 800", false, 800},
        {"12 3", false, 12},
        {"abc", false, 0},
        {"+-5", false, 0},
        {"8\xC2\xB2", false, 8},  // a non-ASCII digit sign
        {"99999999999999999999999", true, INT_MAX},
        {"2147483647", true, INT_MAX},
        {"2147483648", true, INT_MAX},
        {"-2147483648", true, INT_MIN},
        {"-99999999999999999999", true, INT_MIN},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(isNumberText(r.text), r.passes) << '"' << r.text << '"';
        EXPECT_EQ(readInt(r.text), r.value) << '"' << r.text << '"';
    }
}

TEST(NewSettingsNumbers, RealsReadTheirLeadingNumber) {
    struct Row {
        const char* text;
        double value;
    } rows[] = {{"72", 72},     {"72.5", 72.5}, {" 300dpi", 300}, {"+1e2", 100}, {"-3", -3},
                {"", 0},        {"abc", 0},     {"+-1", 0},       {".5", 0.5},   {"1e999", 0}};
    for (const Row& r : rows)
        EXPECT_DOUBLE_EQ(readReal(r.text), r.value) << '"' << r.text << '"';
}

TEST(NewSettingsReadout, CentimetresAndInchesAtTheTypedDpi) {
    struct Row {
        const char *w, *h, *dpi;
        const char *wCm, *hCm, *wIn, *hIn;
    } rows[] = {
        {"800", "600", "72", "28.22", "21.17", "11.11", "8.33"},
        {"1920", "1080", "300", "16.26", "9.14", "6.40", "3.60"},
        {"145", "100", "72.5", "5.08", "3.50", "2.00", "1.38"},
        {"abc", "600", "72", "0.00", "21.17", "0.00", "8.33"},
        {"800", "600", "0", "0.00", "0.00", "0.00", "0.00"},
        {"800", "600", "", "0.00", "0.00", "0.00", "0.00"},
        {"800", "600", "-72", "0.00", "0.00", "0.00", "0.00"},
        {"800", "600", "dpi", "0.00", "0.00", "0.00", "0.00"},
        {"800", "600", "1e-300", "0.00", "0.00", "0.00", "0.00"},  // beyond a float
        {"-72", "600", "72", "-2.54", "21.17", "-1.00", "8.33"},
    };
    for (const Row& r : rows) {
        const Readout out = sizeReadout(r.w, r.h, r.dpi);
        EXPECT_EQ(out.widthCm, r.wCm) << r.w << " " << r.h << " " << r.dpi;
        EXPECT_EQ(out.heightCm, r.hCm) << r.w << " " << r.h << " " << r.dpi;
        EXPECT_EQ(out.widthInch, r.wIn) << r.w << " " << r.h << " " << r.dpi;
        EXPECT_EQ(out.heightInch, r.hIn) << r.w << " " << r.h << " " << r.dpi;
    }
}

TEST(NewSettingsPlan, SidesOfAtLeastTenAndNothingWhenATextFails) {
    struct Row {
        const char *w, *h;
        bool accepted;
        int width, height;
    } rows[] = {
        {"", "", true, 10, 10},
        {"-50", "9", true, 10, 10},
        {"10", "11", true, 10, 11},
        {"+800", "600", true, 800, 600},
        {"99999999999", "600", true, INT_MAX, 600},
        {"800", "12.5", false, 10, 10},
        {"abc", "600", false, 10, 10},
        {"800", " 600", false, 10, 10},
    };
    for (const Row& r : rows) {
        const Plan plan = planNewArtwork(r.w, r.h, true, 1, 2, 3);
        EXPECT_EQ(plan.accepted, r.accepted) << r.w << " " << r.h;
        EXPECT_EQ(plan.width, r.width) << r.w << " " << r.h;
        EXPECT_EQ(plan.height, r.height) << r.w << " " << r.h;
    }
    const Plan plan = planNewArtwork("300", "200", false, 7, 8, 9);
    EXPECT_EQ(plan.alpha, 0);
    EXPECT_EQ(plan.red * 10000 + plan.green * 100 + plan.blue, 70809);
    EXPECT_EQ(planNewArtwork("300", "200", true, 0, 0, 0).alpha, 1);
}
