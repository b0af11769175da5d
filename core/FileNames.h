#pragma once
// The file names that go with a load, save or export request (see
// core/WyrleGlobals.h for the request itself). They are wx strings, which the
// plain settings do without.

#include <wx/string.h>

#include <mutex>

// A string one thread writes while the other may read it.
class SharedString {
public:
    wxString get() const;
    void set(const wxString& value);
    bool empty() const;

private:
    mutable std::mutex mutex_;
    wxString value_;
};

extern SharedString f_loadFile;
extern SharedString f_loadFileBcg;
extern SharedString f_saveFile;
extern SharedString f_exportFile;
