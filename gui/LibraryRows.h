#pragma once
// The scrolled list of a library window (the gradient list, the brush
// presets). It keeps row windows only for the rows in view and a few
// around them; as the list scrolls, the same row windows show other
// entries, so a list of thousands costs what a screenful does. The entries
// are librarylist::Entries; the window that owns the list makes and fills
// its rows.

#include <wx/scrolwin.h>

#include <functional>
#include <string>
#include <vector>

#include "library_list.h"

class wxBitmapButton;
class wxBoxSizer;
class wxButton;
class wxSizer;
class wxSizerItem;
class wxStaticLine;
class wxStaticText;

// One row's windows, children of the list, and the sizers that lay them out.
struct LibraryRow {
    wxBitmapButton* picture = nullptr;
    wxButton* remove = nullptr;
    wxStaticText* name = nullptr;
    wxStaticLine* line = nullptr;
    wxSizer* layout = nullptr;  // the whole row, line included; owns no window
    int shown = librarylist::kNone;  // the picture id of the entry shown
    int index = -1;                  // that entry's place in the list
    bool stale = false;              // the entry's file changed: fill again
};

// How a row's windows stand: the picture with a border on all sides, to its
// right a box holding "X" above the name, and the line under the row.
struct RowLayout {
    int pictureBorder;
    int boxBorder;  // on all sides of the box
    int removeFlags;
    int removeBorder;
    int nameTop;  // the border above the name
};
// The sizers of a row, laid out so.
wxSizer* layRow(const LibraryRow& row, const RowLayout& how);

class LibraryRowsWindow : public wxScrolledWindow {
public:
    // Rows this many beyond the view on each side exist too, so a small
    // scroll brings rows that are ready.
    static const int kMargin = 2;

    struct Kind {
        // One row's windows and their layout. The row's picture and name are
        // filled in later; the windows have the size they keep.
        std::function<LibraryRow(wxWindow* list)> make;
        // Shows entry `index` in the row (its picture and its name).
        std::function<void(LibraryRow& row, int index)> fill;
    };

    LibraryRowsWindow(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style,
                      const wxString& name);
    ~LibraryRowsWindow() override;

    // The entries to show, and the sizer of the list's own sizer in which
    // the rows stand (it gets one spacer as tall as all rows).
    void setRows(librarylist::Entries* entries, wxBoxSizer* place, Kind kind);
    // After the entries changed: the scrolled area follows their number and
    // the rows in view show them.
    void update();
    // The entry's file was written anew: its row is filled again.
    void refill(int index);
    // One file of the folder was saved (`written`) or looked at: its row
    // follows what the folder holds now, the other rows stay as they are.
    // False when the folder cannot be opened; the list is then empty, as a
    // listing would leave it.
    bool followFile(const std::string& folder, const std::string& fileName, bool written);

    // The row window showing the entry, or null while the entry is out of view.
    const LibraryRow* rowOf(int index) const;
    wxBitmapButton* pictureOf(int index) const;
    wxButton* removeOf(int index) const;
    const std::vector<LibraryRow>& rows() const { return rows_; }
    int pitch() const { return pitch_; }

    bool Layout() override;
    void ScrollWindow(int dx, int dy, const wxRect* rect = nullptr) override;

protected:
    void DoScroll(int x, int y) override;

private:
    LibraryRow makeRow();
    // Everything in its place for the present scroll position.
    void relayout();
    // Gives the row windows to the entries in view and puts them in place.
    void place();

    librarylist::Entries* entries_ = nullptr;
    Kind kind_;
    wxSizerItem* spacer_ = nullptr;
    std::vector<LibraryRow> rows_;
    wxPoint top_;  // where row 0 starts in the scrolled area
    int pitch_ = 0;
    int width_ = 0;
    bool scrolling_ = false;  // inside DoScroll
};
