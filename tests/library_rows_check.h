#pragma once
// Checks of a library list in a scrolled window (the gradient list, the
// brush presets) as the user would see it: every row that the view shows,
// whole or in part, has a row window in its place with its own name and all
// its content, and there are no other row windows but a few around the view.

#include <gtest/gtest.h>
#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/statline.h>
#include <wx/stattext.h>

#include <functional>
#include <string>

#include "LibraryRows.h"

namespace rowcheck {

// The entry's name as its row shows it.
using NameOf = std::function<std::string(int index)>;

inline std::vector<wxWindow*> windowsOf(const LibraryRow& row) { return {row.picture, row.remove, row.name, row.line}; }

// Where the row's band starts in the list's window: its line closes it.
inline int bandTop(const LibraryRowsWindow& list, const LibraryRow& row) {
    return row.line->GetRect().GetBottom() + 1 - list.pitch();
}

// The row's windows show all their content, within the row's band and the
// list's width.
inline void expectWholeRow(const LibraryRowsWindow& list, const LibraryRow& row, const std::string& what) {
    const wxRect band(0, bandTop(list, row), list.GetClientSize().GetWidth(), list.pitch());
    for (wxWindow* w : windowsOf(row)) {
        const wxRect r = w->GetRect();
        EXPECT_TRUE(band.Contains(r)) << what << ": " << w->GetName() << " at " << r.x << "," << r.y << " size "
                                      << r.width << "x" << r.height << " is not inside its row";
        if (w == row.line)
            continue;  // a rule one pixel high, as the layout has it
        const wxSize best = w->GetBestSize();
        EXPECT_TRUE(r.width >= best.x && r.height >= best.y) << what << ": " << w->GetName() << " is " << r.width
                                                             << "x" << r.height << ", it needs " << best.x << "x"
                                                             << best.y;
    }
    // The picture whole inside its button's frame, and the "X" with its letter.
    const wxSize picture = row.picture->GetBitmapLabel().GetSize();
    EXPECT_TRUE(row.picture->GetSize().x >= picture.x + 2 && row.picture->GetSize().y >= picture.y + 2)
        << what << ": a " << picture.x << "x" << picture.y << " picture in a " << row.picture->GetSize().x << "x"
        << row.picture->GetSize().y << " button";
    EXPECT_EQ(row.remove->GetLabel(), "X") << what;
}

// `top` is where row 0 starts in the scrolled area.
inline void expectRowsInView(const LibraryRowsWindow& list, int top, int count, const NameOf& nameOf,
                             const std::string& what) {
    int unitX = 0, unitY = 0;
    list.GetScrollPixelsPerUnit(&unitX, &unitY);
    const int scrollTop = list.GetViewStart().y * unitY;
    const int height = list.GetClientSize().GetHeight();
    const int pitch = list.pitch();
    ASSERT_GT(pitch, 0) << what;
    int firstSeen = count, lastSeen = -1;
    for (int index = 0; index < count; ++index) {
        const int y = top + index * pitch - scrollTop;
        if (y >= height || y + pitch <= 0)
            continue;
        firstSeen = std::min(firstSeen, index);
        lastSeen = index;
        const LibraryRow* row = list.rowOf(index);
        ASSERT_NE(row, nullptr) << what << ": row " << index << " is in view and has no window";
        const std::string at = what + ", row " + std::to_string(index);
        for (wxWindow* w : windowsOf(*row))
            EXPECT_TRUE(w->IsShown()) << at << ": " << w->GetName() << " hidden";
        EXPECT_EQ(bandTop(list, *row), y) << at;
        EXPECT_EQ(row->name->GetLabel().utf8_string(), nameOf(index)) << at;
        EXPECT_EQ(row->picture->GetName(), wxString::Format("ID_BITMAPBUTTONLIST%d", index)) << at;
        expectWholeRow(list, *row, at);
    }
    for (const LibraryRow& row : list.rows()) {
        if (row.index < 0) {
            for (wxWindow* w : windowsOf(row))
                EXPECT_FALSE(w->IsShown()) << what << ": a spare row window is shown";
        } else {
            EXPECT_GE(row.index, firstSeen - LibraryRowsWindow::kMargin) << what;
            EXPECT_LE(row.index, lastSeen + LibraryRowsWindow::kMargin) << what;
        }
    }
}

}  // namespace rowcheck
