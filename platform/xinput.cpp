#include "xinput.h"

#include <GL/glx.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace xinput {

namespace {

// Opened lazily by the first query; only the render thread touches it.
Display* gDisplay = nullptr;
bool gOpenFailed = false;

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

void closeDisplay() {
    if (gDisplay) XCloseDisplay(gDisplay);
    gDisplay = nullptr;
    gOpenFailed = false;
}

}  // namespace xinput
