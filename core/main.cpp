#include <X11/Xlib.h>
#include <wx/app.h>

#include <cstdlib>

#include "core/Wyrle1_0App.h"
#include "core/WyrleGlobals.h"
#include "framework/ofAppRunner.h"

// Here rather than beside the class: the application object is linked from a
// library, and only the entry point makes sure it is pulled in.
wxIMPLEMENT_APP_NO_MAIN(Wyrle1_0App);

int main(int argc, char** argv) {
    // GTK and GLUT both talk to X, from two threads.
    XInitThreads();
    // GLUT draws through X11, so the toolkit must as well.
    setenv("GDK_BACKEND", "x11", 1);
    const char* logging = std::getenv("WYRLE_LOGGING");
    if (logging && *logging == '1')
        gLogging.store(true);
    int rc = wxEntry(argc, argv);
    ofEndProcess(rc);
}
