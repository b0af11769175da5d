// The library list without windows: entries in name order with identifiers
// that stay with their file, the rows in view, and which row window shows
// which entry as the list scrolls.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "library_list.h"

using librarylist::Entries;
using librarylist::kNone;
using librarylist::Span;

namespace {

Entries counting(int& next) {
    return Entries([&next] { return next++; });
}

std::vector<std::string> names(const Entries& e) {
    std::vector<std::string> out;
    for (int i = 0; i < e.size(); ++i)
        out.push_back(e[i].name);
    return out;
}

}  // namespace

TEST(LibraryEntries, KeepNameOrderAndTheIdsOfEntriesThatStay) {
    int next = 100;
    Entries e = counting(next);
    EXPECT_TRUE(e.assign({"b.png", "a.png", "c.png", "a.png"}));
    EXPECT_EQ(names(e), (std::vector<std::string>{"a.png", "b.png", "c.png"}));
    const int bPicture = e[1].pictureId, bDelete = e[1].deleteId;
    EXPECT_NE(bPicture, bDelete);

    // A new listing: b stays with its ids, a goes, d comes with new ones.
    EXPECT_TRUE(e.assign({"d.png", "c.png", "b.png"}));
    EXPECT_EQ(names(e), (std::vector<std::string>{"b.png", "c.png", "d.png"}));
    EXPECT_EQ(e[0].pictureId, bPicture);
    EXPECT_EQ(e[0].deleteId, bDelete);
    EXPECT_GE(e[2].pictureId, 106);
    EXPECT_FALSE(e.assign({"c.png", "d.png", "b.png"}));  // the same files

    // One save, one delete.
    bool added = false;
    EXPECT_EQ(e.insert("bb.png", &added), 1);
    EXPECT_TRUE(added);
    EXPECT_EQ(e.insert("c.png", &added), 2);
    EXPECT_FALSE(added);
    EXPECT_EQ(e.insert("A.png", &added), 0);  // byte order: capitals first
    EXPECT_EQ(names(e), (std::vector<std::string>{"A.png", "b.png", "bb.png", "c.png", "d.png"}));
    EXPECT_EQ(e[1].pictureId, bPicture);
    EXPECT_EQ(e.remove("bb.png"), 2);
    EXPECT_EQ(e.remove("bb.png"), -1);
    EXPECT_EQ(names(e), (std::vector<std::string>{"A.png", "b.png", "c.png", "d.png"}));

    // Clicks find their entry by either button's id, and only by those.
    EXPECT_EQ(e.findPicture(bPicture), 1);
    EXPECT_EQ(e.findDelete(bDelete), 1);
    EXPECT_EQ(e.findPicture(bDelete), -1);
    EXPECT_EQ(e.findDelete(99), -1);
    EXPECT_EQ(e.find("d.png"), 3);
    EXPECT_EQ(e.find("e.png"), -1);
}

TEST(LibraryEntries, ThousandsOfChangesKeepTheOrderAndOneIdPerButton) {
    int next = 1;
    Entries e = counting(next);
    std::vector<std::string> listed;
    for (int i = 0; i < 5000; i += 2)
        listed.push_back("g" + std::to_string(i) + ".png");
    e.assign(listed);
    for (int i = 1; i < 5000; i += 2)
        e.insert("g" + std::to_string(i) + ".png");
    for (int i = 0; i < 5000; i += 3)
        e.remove("g" + std::to_string(i) + ".png");
    std::vector<std::string> expected;
    for (int i = 0; i < 5000; ++i)
        if (i % 3 != 0)
            expected.push_back("g" + std::to_string(i) + ".png");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names(e), expected);
    std::vector<int> ids;
    for (int i = 0; i < e.size(); ++i) {
        ids.push_back(e[i].pictureId);
        ids.push_back(e[i].deleteId);
    }
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());
}

TEST(LibraryView, RowsInViewWithTheirMargin) {
    // Rows of 35 pixels starting 40 pixels down, a view 210 pixels high.
    struct {
        const char* what;
        int scrollTop, count, margin;
        Span expected;
    } cases[] = {
        {"top, no margin", 0, 100, 0, {0, 5}},  // 40..210 holds rows 0-4 (row 4 in part)
        {"top, margin 2", 0, 100, 2, {0, 7}},
        {"one row down", 75, 100, 0, {1, 7}},  // 75..285: rows 1 (from 75) to 6 (210..245 .. 245..280)
        {"inside the header", 20, 100, 2, {0, 8}},
        {"the end", 3500 - 210 + 40, 100, 2, {92, 100}},
        {"past the end", 10000, 100, 2, {0, 0}},
        {"fewer rows than the view", 0, 3, 2, {0, 3}},
        {"an empty list", 0, 0, 2, {0, 0}},
    };
    for (const auto& c : cases) {
        const Span got = librarylist::rowsInView(c.scrollTop, 210, 40, 35, c.count, c.margin);
        EXPECT_EQ(got.first, c.expected.first) << c.what;
        EXPECT_EQ(got.last, c.expected.last) << c.what;
    }
    // However the view stands, it never needs more rows than rowsForView.
    for (int top = 0; top < 400; ++top)
        EXPECT_LE(librarylist::rowsInView(top, 210, 40, 35, 1000, 2).count(), librarylist::rowsForView(210, 35, 2))
            << top;
    EXPECT_EQ(librarylist::rowsInView(0, 0, 40, 35, 10, 2).count(), 0);
}

TEST(LibraryView, RowWindowsKeepTheirEntryWhileItStaysInView) {
    struct {
        const char* what;
        std::vector<int> shown, wanted, expected;
    } cases[] = {
        {"first showing", {kNone, kNone, kNone}, {10, 11}, {10, 11, kNone}},
        {"one row down", {10, 11, 12}, {11, 12, 13}, {13, 11, 12}},
        {"one row up", {13, 11, 12}, {10, 11, 12}, {10, 11, 12}},
        {"a jump", {10, 11, 12}, {50, 51, 52}, {50, 51, 52}},
        {"more rows than windows", {10}, {10, 11, 12}, {10, 11, 12}},
        {"the list got shorter", {10, 11, 12}, {12}, {kNone, kNone, 12}},
        {"nothing to show", {10, 11}, {}, {kNone, kNone}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(librarylist::assignRows(c.shown, c.wanted), c.expected) << c.what;
}
