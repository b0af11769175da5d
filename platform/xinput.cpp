#include "xinput.h"

#include <GL/glx.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace xinput {

namespace {

// Opened lazily by the first query; only the render thread touches it.
Display* gDisplay = nullptr;
bool gOpenFailed = false;
// An unmapped window whose property changes report the server's time.
Window gClock = 0;

Display* queryDisplay() {
    if (gDisplay || gOpenFailed) return gDisplay;
    gDisplay = XOpenDisplay(nullptr);
    // Without a server every later query would try again and again.
    if (!gDisplay) gOpenFailed = true;
    return gDisplay;
}

}  // namespace

PointerState queryPointer() {
    PointerState state;
    Display* display = queryDisplay();
    if (!display) return state;
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned int mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &winX, &winY, &mask);
    state.ok = true;
    state.leftButton = (mask & Button1Mask) != 0;
    state.shift = (mask & ShiftMask) != 0;
    state.capsLock = (mask & LockMask) != 0;
    return state;
}

bool leftButtonDown() { return queryPointer().leftButton; }

int keyModifiers(int glutModifiers, const PointerState& now) {
    int mods = glutModifiers & (kShift | kCtrl | kAlt);
    // Caps Lock is a toggle, so its state now is its state at the event.
    if (now.ok && now.capsLock && (mods & kShift) && !now.shift) mods &= ~kShift;
    return mods;
}

bool detectableAutoRepeatOnGlutDisplay() {
    Display* display = glXGetCurrentDisplay();
    if (!display) return false;
    Bool supported = False;
    XkbSetDetectableAutoRepeat(display, True, &supported);
    return supported == True;
}

unsigned long serverTime() {
    Display* display = queryDisplay();
    if (!display) return 0;
    const Atom atom = XInternAtom(display, "WYRLE_SERVER_TIME", False);
    if (!gClock) {
        gClock = XCreateSimpleWindow(display, DefaultRootWindow(display), -10, -10, 1, 1, 0, 0, 0);
        XSelectInput(display, gClock, PropertyChangeMask);
    }
    // Appending nothing changes nothing but still reports the change, with
    // the server's time in it.
    static const unsigned char nothing = 0;
    XChangeProperty(display, gClock, atom, atom, 8, PropModeAppend, &nothing, 0);
    XEvent event;
    do {
        XWindowEvent(display, gClock, PropertyChangeMask, &event);
    } while (event.xproperty.atom != atom);
    return event.xproperty.time;
}

void closeDisplay() {
    if (gDisplay) XCloseDisplay(gDisplay);
    gDisplay = nullptr;
    gClock = 0;
    gOpenFailed = false;
}

}  // namespace xinput
