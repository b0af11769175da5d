#include "core/FileNames.h"

#include "core/GuiBridge.h"

wxString SharedString::get() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return guibridge::deepCopy(value_);
}

void SharedString::set(const wxString& value) {
    wxString copy = guibridge::deepCopy(value);
    std::lock_guard<std::mutex> lock(mutex_);
    value_ = copy;
}

bool SharedString::empty() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return value_.empty();
}

SharedString f_loadFile;
SharedString f_loadFileBcg;
SharedString f_saveFile;
SharedString f_exportFile;
