#include "LibraryRows.h"

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statline.h>
#include <wx/stattext.h>

#include <utility>

#include "LibraryFiles.h"

namespace {

std::vector<wxWindow*> windowsOf(const LibraryRow& row) {
    return {row.picture, row.remove, row.name, row.line};
}

void showRow(LibraryRow& row, bool show) {
    for (wxWindow* w : windowsOf(row)) {
        if (w && w->IsShown() != show)
            w->Show(show);
    }
}

}  // namespace

wxSizer* layRow(const LibraryRow& row, const RowLayout& how) {
    wxBoxSizer* box = new wxBoxSizer(wxVERTICAL);
    box->Add(row.remove, 0, how.removeFlags, how.removeBorder);
    box->Add(row.name, 0, wxTOP, how.nameTop);
    wxBoxSizer* line = new wxBoxSizer(wxHORIZONTAL);
    line->Add(row.picture, 0, wxALL, how.pictureBorder);
    line->Add(box, 0, wxALL, how.boxBorder);
    wxBoxSizer* layout = new wxBoxSizer(wxVERTICAL);
    layout->Add(line, 0, wxALL, 0);
    layout->Add(row.line, 0, wxALL, 0);
    return layout;
}

LibraryRowsWindow::LibraryRowsWindow(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                                     long style, const wxString& name)
    : wxScrolledWindow(parent, id, pos, size, style, name) {}

LibraryRowsWindow::~LibraryRowsWindow() {
    // The windows go with the list; the sizers that placed them go here.
    for (LibraryRow& row : rows_)
        delete row.layout;
}

void LibraryRowsWindow::setRows(librarylist::Entries* entries, wxBoxSizer* place, Kind kind) {
    entries_ = entries;
    kind_ = std::move(kind);
    // The first row gives the pitch. All the rows a view can hold are made
    // now, before the list is first shown: a control made in a shown window
    // measures itself before GTK has applied its style.
    rows_.push_back(kind_.make(this));
    const wxSize rowSize = rows_.front().layout->GetMinSize();
    pitch_ = rowSize.GetHeight();
    width_ = rowSize.GetWidth();
    const int needed = librarylist::rowsForView(GetClientSize().GetHeight(), pitch_, kMargin);
    while (static_cast<int>(rows_.size()) < needed)
        rows_.push_back(makeRow());
    for (LibraryRow& row : rows_)
        showRow(row, false);
    spacer_ = place->Add(width_, 0);
}

LibraryRow LibraryRowsWindow::makeRow() {
    LibraryRow row = kind_.make(this);
    if (!rows_.empty()) {
        // Made later, it takes the first row's sizes, measured before showing.
        const std::vector<wxWindow*> first = windowsOf(rows_.front());
        const std::vector<wxWindow*> made = windowsOf(row);
        for (size_t i = 0; i < made.size(); ++i) {
            if (made[i] && first[i])
                made[i]->SetInitialSize(first[i]->GetMinSize());
        }
    }
    return row;
}

void LibraryRowsWindow::update() {
    if (!spacer_)
        return;
    spacer_->SetMinSize(wxSize(width_, entries_->size() * pitch_));
    FitInside();
    Layout();
}

void LibraryRowsWindow::refill(int index) {
    if (!entries_ || index < 0 || index >= entries_->size())
        return;
    for (LibraryRow& row : rows_) {
        if (row.shown == (*entries_)[index].pictureId)
            row.stale = true;
    }
    place();
}

bool LibraryRowsWindow::followFile(const std::string& folder, const std::string& fileName, bool written) {
    bool opened = true;
    switch (libraryfiles::listed(folder, fileName)) {
    case libraryfiles::Listed::NoFolder:
        entries_->assign({});
        opened = false;
        break;
    case libraryfiles::Listed::Yes: {
        bool added = false;
        const int index = entries_->insert(fileName, &added);
        if (!added && written)
            refill(index);
        break;
    }
    case libraryfiles::Listed::No:
        entries_->remove(fileName);
        break;
    }
    update();
    return opened;
}

const LibraryRow* LibraryRowsWindow::rowOf(int index) const {
    if (!entries_ || index < 0 || index >= entries_->size())
        return nullptr;
    for (const LibraryRow& row : rows_) {
        if (row.shown == (*entries_)[index].pictureId)
            return &row;
    }
    return nullptr;
}

wxBitmapButton* LibraryRowsWindow::pictureOf(int index) const {
    const LibraryRow* row = rowOf(index);
    return row ? row->picture : nullptr;
}

wxButton* LibraryRowsWindow::removeOf(int index) const {
    const LibraryRow* row = rowOf(index);
    return row ? row->remove : nullptr;
}

bool LibraryRowsWindow::Layout() {
    const bool done = wxScrolledWindow::Layout();
    if (spacer_) {
        // The sizers were just placed for the present scroll position.
        top_ = CalcUnscrolledPosition(spacer_->GetPosition());
        place();
    }
    return done;
}

void LibraryRowsWindow::ScrollWindow(int, int, const wxRect*) {
    // Not GTK's scrolling, which moves every child window, hidden ones too
    // (with a complaint about each of those): the list's few windows are
    // laid out for the new position instead. A scroll bar's own scrolling
    // has set that position already; Scroll() sets it only afterwards, and
    // lays out then.
    if (!scrolling_)
        relayout();
}

void LibraryRowsWindow::DoScroll(int x, int y) {
    scrolling_ = true;
    wxScrolledWindow::DoScroll(x, y);
    scrolling_ = false;
    relayout();
}

void LibraryRowsWindow::relayout() {
    Layout();
    Refresh();
}

void LibraryRowsWindow::place() {
    if (!entries_ || pitch_ <= 0)
        return;
    int unitX = 0, unitY = 0;
    GetScrollPixelsPerUnit(&unitX, &unitY);
    const int scrollTop = GetViewStart().y * unitY;
    const librarylist::Span span =
        librarylist::rowsInView(scrollTop, GetClientSize().GetHeight(), top_.y, pitch_, entries_->size(), kMargin);
    std::vector<int> wanted;
    wanted.reserve(static_cast<size_t>(span.count()));
    for (int i = span.first; i < span.last; ++i)
        wanted.push_back((*entries_)[i].pictureId);
    std::vector<int> shown;
    shown.reserve(rows_.size());
    for (const LibraryRow& row : rows_)
        shown.push_back(row.shown);
    const std::vector<int> next = librarylist::assignRows(shown, wanted);

    for (size_t w = 0; w < next.size(); ++w) {
        if (w == rows_.size())
            rows_.push_back(makeRow());
        LibraryRow& row = rows_[w];
        if (next[w] == librarylist::kNone) {
            showRow(row, false);
            row.shown = librarylist::kNone;
            row.index = -1;
            continue;
        }
        int index = span.first;
        while ((*entries_)[index].pictureId != next[w])
            ++index;
        const librarylist::Entry& entry = (*entries_)[index];
        if (row.shown != entry.pictureId || row.stale) {
            row.picture->SetId(entry.pictureId);
            row.remove->SetId(entry.deleteId);
            kind_.fill(row, index);
            row.shown = entry.pictureId;
            row.stale = false;
        }
        if (row.index != index) {
            row.picture->SetName(wxString::Format("ID_BITMAPBUTTONLIST%d", index));
            row.index = index;
        }
        // Shown first: a sizer passes over hidden windows.
        showRow(row, true);
        row.layout->SetDimension(CalcScrolledPosition(wxPoint(top_.x, top_.y + index * pitch_)),
                                 wxSize(width_, pitch_));
    }
}
