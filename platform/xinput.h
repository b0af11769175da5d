#pragma once
// The X server's view of the pointer and the keyboard, for the render thread.
// It takes the place of GetKeyState: the left button is read from the server,
// so a release anywhere on the screen is seen, and key modifiers count only
// Shift, Ctrl and Alt, so Caps Lock and Num Lock never change a command.
//
// Every call belongs to the render thread: the queries use a connection of
// their own, opened on first use and used by no other thread.

namespace xinput {

// GLUT's modifier bits.
constexpr int kShift = 1;
constexpr int kCtrl = 2;
constexpr int kAlt = 4;

// The pointer state of the server, as XQueryPointer gives it.
struct PointerState {
    bool ok = false;          // false: no X display could be reached
    bool leftButton = false;  // Button1 held
    bool shift = false;       // the Shift key itself (not Caps Lock)
    bool capsLock = false;
};
PointerState queryPointer();

// True while the left button is held; false when no display is reachable.
bool leftButtonDown();

// The modifiers of a key event: Shift 1, Ctrl 2, Alt 4. `glutModifiers` is
// glutGetModifiers() at the event, exact for Ctrl and Alt but with Caps Lock
// counted as Shift. With Caps Lock off that Shift is the key; with it on the
// Shift key is taken from the server's current state.
int keyModifiers(int glutModifiers, const PointerState& now);

// Makes key auto-repeat detectable on the connection of the current GLX
// context (GLUT's), so a held key gives one release at the end instead of a
// release before every repeat. False when the server does not allow it.
bool detectableAutoRepeatOnGlutDisplay();

// The X server's time now, as X events carry it: asked for at a key press in
// the drawing window, it stands for the time of that press, which a window
// shown in answer takes as its user time. 0 when no display is reachable.
unsigned long serverTime();

// Closes the connection of the queries (the next query opens it again).
void closeDisplay();

}  // namespace xinput
