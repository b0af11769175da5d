#pragma once
// Starts wx once per process on the X server that DISPLAY names, for the
// tests and the benchmark, which build the program's windows without the
// program. Failed reads inside wx go to stderr, never to a modal box.

#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>

#include <cstdlib>

namespace wxstart {

// False when there is no display to run on. `started` runs once, after wx.
inline bool start(void (*started)() = nullptr) {
    static int state = 0;  // 0 not tried, 1 running, 2 failed
    if (state == 0) {
        setenv("GDK_BACKEND", "x11", 1);
        setenv("NO_AT_BRIDGE", "1", 1);
        state = 2;
        if (std::getenv("DISPLAY")) {
            wxApp::SetInstance(new wxApp());
            static int argc = 1;
            static char name[] = "wyrle-windows";
            static char* argv[] = {name, nullptr};
            if (wxEntryStart(argc, argv) && wxTheApp->CallOnInit()) {
                wxInitAllImageHandlers();
                delete wxLog::SetActiveTarget(new wxLogStderr);
                if (started)
                    started();
                state = 1;
            }
        }
    }
    return state == 1;
}

}  // namespace wxstart
