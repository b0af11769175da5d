#pragma once
// What GTK, under wx, offers for a window's stacking and focus that wx does
// not pass on: the X server time of the user's act that a window answers.
// A window manager that prevents focus stealing (metacity) gives a newly
// shown window the focus and the top of the stack only when that time is not
// older than the user's last act in the focused window; otherwise it slips
// the window below. GTK knows only the acts in its own windows, not a key
// pressed in the drawing window.
//
// `widget` is a top-level window's GtkWidget (wxWindow::GetHandle()).
// GUI thread only.

#include <cstdint>

typedef struct _GtkWidget GtkWidget;

namespace gtkwindow {

// The time of the last user act GTK saw in the program's windows (0: none).
uint32_t userTime();

// Makes `time` the user time of the window before it is shown, and GTK's own
// when it is later: later windows and boxes carry it too. The window is
// realized first. Nothing happens for a time of 0.
void stampUserTime(GtkWidget* widget, uint32_t time);

// Asks the window manager to raise the shown window and give it the focus,
// as the answer to the user's act at `time`.
void present(GtkWidget* widget, uint32_t time);

// Every button inside `container`, also one made later, drops the theme's
// padding and least sizes. (A style given to a button itself once its window
// is up takes effect only at GTK's next frame, after the button was sized.)
void compactButtonsWithin(GtkWidget* container);

// The theme's frame of a control: its border and, inside it, its padding,
// each as the sum of both sides across and down.
struct Frame {
    int borderX = 0, borderY = 0, paddingX = 0, paddingY = 0;
};
Frame frameOf(GtkWidget* widget);

// The least size GTK asks for the control.
struct Size {
    int width = 0, height = 0;
};
Size minimumSize(GtkWidget* widget);

}  // namespace gtkwindow
