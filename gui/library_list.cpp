#include "library_list.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

namespace librarylist {

namespace {

bool byName(const Entry& e, const std::string& name) { return e.name < name; }

}  // namespace

Entries::Entries(std::function<int()> newId) : newId_(std::move(newId)) {}

Entry Entries::make(const std::string& name) {
    Entry e;
    e.name = name;
    e.pictureId = newId_();
    e.deleteId = newId_();
    return e;
}

bool Entries::assign(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    // Both sides are sorted: one merge keeps the entries that stay.
    std::vector<Entry> next;
    next.reserve(names.size());
    bool changed = names.size() != entries_.size();
    auto old = entries_.begin();
    for (const std::string& name : names) {
        while (old != entries_.end() && old->name < name) {
            ++old;
            changed = true;
        }
        if (old != entries_.end() && old->name == name) {
            next.push_back(std::move(*old));
            ++old;
        } else {
            next.push_back(make(name));
            changed = true;
        }
    }
    entries_ = std::move(next);
    return changed;
}

int Entries::insert(const std::string& name, bool* added) {
    const auto at = std::lower_bound(entries_.begin(), entries_.end(), name, byName);
    const bool fresh = at == entries_.end() || at->name != name;
    if (added)
        *added = fresh;
    const int index = static_cast<int>(at - entries_.begin());
    if (fresh)
        entries_.insert(at, make(name));
    return index;
}

int Entries::remove(const std::string& name) {
    const int index = find(name);
    if (index >= 0)
        entries_.erase(entries_.begin() + index);
    return index;
}

int Entries::find(const std::string& name) const {
    const auto at = std::lower_bound(entries_.begin(), entries_.end(), name, byName);
    return at != entries_.end() && at->name == name ? static_cast<int>(at - entries_.begin()) : -1;
}

int Entries::findPicture(int id) const {
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].pictureId == id)
            return static_cast<int>(i);
    return -1;
}

int Entries::findDelete(int id) const {
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].deleteId == id)
            return static_cast<int>(i);
    return -1;
}

Span rowsInView(int scrollTop, int viewHeight, int top, int pitch, int count, int margin) {
    Span span;
    if (count <= 0 || pitch <= 0 || viewHeight <= 0)
        return span;
    // Rows that overlap the view [scrollTop, scrollTop + viewHeight).
    const int from = scrollTop - top;
    const int to = scrollTop + viewHeight - top;
    int first = from >= 0 ? from / pitch : -((-from + pitch - 1) / pitch);
    int last = to > 0 ? (to + pitch - 1) / pitch : 0;
    first = std::max(0, first - margin);
    last = std::min(count, last + margin);
    if (first >= last)
        return span;
    span.first = first;
    span.last = last;
    return span;
}

int rowsForView(int viewHeight, int pitch, int margin) {
    if (pitch <= 0 || viewHeight <= 0)
        return 0;
    // A view that starts inside a row touches one row more than it holds.
    return (viewHeight + pitch - 1) / pitch + 1 + 2 * margin;
}

std::vector<int> assignRows(const std::vector<int>& shown, const std::vector<int>& wanted) {
    std::unordered_map<int, bool> placed;  // wanted id -> a window shows it
    placed.reserve(wanted.size());
    for (int id : wanted)
        placed[id] = false;
    std::vector<int> next(shown.size(), kNone);
    for (size_t w = 0; w < shown.size(); ++w) {
        auto it = placed.find(shown[w]);
        if (shown[w] != kNone && it != placed.end() && !it->second) {
            next[w] = shown[w];
            it->second = true;
        }
    }
    size_t free = 0;
    for (int id : wanted) {
        if (placed[id])
            continue;
        while (free < next.size() && next[free] != kNone)
            ++free;
        if (free == next.size())
            next.push_back(id);
        else
            next[free] = id;
        placed[id] = true;
    }
    return next;
}

}  // namespace librarylist
