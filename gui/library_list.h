#pragma once
// The list of a library window (gradients, brush presets) without its
// windows: the listed file names in order, each with the identifiers of its
// row's two buttons, which rows are in view, and which of the few row
// windows shows which entry. The window side keeps row windows only for the
// rows in view, so a list of thousands costs what a screenful does. Plain
// C++: no wx, no globals.

#include <functional>
#include <string>
#include <vector>

namespace librarylist {

// One listed file. The identifiers belong to the entry while it is listed:
// whichever row window shows it takes them, and a click finds its entry by
// them.
struct Entry {
    std::string name;  // file name with its extension, e.g. "warm.png"
    int pictureId = 0;
    int deleteId = 0;
};

// The entries in byte order of their names, each name once. Every change
// costs at most one pass over the entries.
class Entries {
public:
    // Gives the identifiers of new entries (wxNewId in the program).
    explicit Entries(std::function<int()> newId);

    // A new listing of the folder: entries of names that stay keep their
    // identifiers, new names get new ones. False when nothing changed.
    bool assign(std::vector<std::string> names);
    // The index of the name after it was added where it belongs; `added` is
    // false when it was listed already.
    int insert(const std::string& name, bool* added = nullptr);
    // The index the name had, or -1 when it was not listed.
    int remove(const std::string& name);

    // The entry's index, or -1.
    int find(const std::string& name) const;
    int findPicture(int id) const;
    int findDelete(int id) const;

    int size() const { return static_cast<int>(entries_.size()); }
    const Entry& operator[](int index) const { return entries_[static_cast<size_t>(index)]; }

private:
    Entry make(const std::string& name);

    std::function<int()> newId_;
    std::vector<Entry> entries_;
};

// Rows [first, last) of the list.
struct Span {
    int first = 0;
    int last = 0;
    int count() const { return last - first; }
    bool operator==(const Span& o) const { return first == o.first && last == o.last; }
};

// The rows that can be seen, with `margin` rows more on each side, of a list
// of `count` rows of `pitch` pixels whose row 0 starts `top` pixels down the
// scrolled area, seen from `scrollTop` for `viewHeight` pixels.
Span rowsInView(int scrollTop, int viewHeight, int top, int pitch, int count, int margin);

// The most rows rowsInView gives for a view of that height: how many row
// windows a list needs at most.
int rowsForView(int viewHeight, int pitch, int margin);

// Which entry each row window shows next. `shown` holds, per row window, the
// picture identifier of the entry it shows (kNone for none); `wanted` the
// identifiers that are to be shown. A window keeps its entry when that is
// still wanted, the others take the wanted entries no window shows yet, in
// order, and windows are added at the end when there are too few. The
// result has one identifier (or kNone) per window.
constexpr int kNone = -1;
std::vector<int> assignRows(const std::vector<int>& shown, const std::vector<int>& wanted);

}  // namespace librarylist
