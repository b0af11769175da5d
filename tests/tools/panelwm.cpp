// A tiny window manager for the end-to-end tests: it behaves like a desktop
// with a 27-pixel panel at the top of the screen. A window asked to go above
// y = 27 is put at y = 27 instead, and told so with a synthetic
// ConfigureNotify, as the window-manager conventions say. Windows get no
// frame. It also iconifies (WM_CHANGE_STATE), restores (_NET_ACTIVE_WINDOW or
// a map request) and closes (_NET_CLOSE_WINDOW, by WM_DELETE_WINDOW).
//   panelwm    runs until killed; prints "ready" once it manages the screen
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace {

const int kPanelHeight = 27;

bool gOtherManager = false;

int detectOther(Display*, XErrorEvent* e) {
    if (e->error_code == BadAccess)
        gOtherManager = true;
    return 0;
}

// Windows come and go under us; a request about one that is gone is no fault.
int ignoreErrors(Display*, XErrorEvent*) { return 0; }

struct Atoms {
    Atom wmState, wmChangeState, wmProtocols, wmDelete, netSupported, netCheck, netActive, netClose, netName,
        utf8;
};

void setWmState(Display* dpy, const Atoms& a, Window w, long state) {
    long data[2] = {state, None};
    XChangeProperty(dpy, w, a.wmState, a.wmState, 32, PropModeReplace, reinterpret_cast<unsigned char*>(data), 2);
}

// Where the window really is, said as the window manager must after moving
// or refusing to move it.
void tellGeometry(Display* dpy, Window w) {
    XWindowAttributes at;
    if (!XGetWindowAttributes(dpy, w, &at))
        return;
    XEvent ev;
    std::memset(&ev, 0, sizeof ev);
    ev.xconfigure.type = ConfigureNotify;
    ev.xconfigure.display = dpy;
    ev.xconfigure.event = w;
    ev.xconfigure.window = w;
    ev.xconfigure.x = at.x;
    ev.xconfigure.y = at.y;
    ev.xconfigure.width = at.width;
    ev.xconfigure.height = at.height;
    ev.xconfigure.border_width = at.border_width;
    ev.xconfigure.above = None;
    ev.xconfigure.override_redirect = False;
    XSendEvent(dpy, w, False, StructureNotifyMask, &ev);
}

void belowPanel(Display* dpy, Window w) {
    XWindowAttributes at;
    if (XGetWindowAttributes(dpy, w, &at) && at.y < kPanelHeight)
        XMoveWindow(dpy, w, at.x, kPanelHeight);
}

void normal(Display* dpy, const Atoms& a, Window w) {
    belowPanel(dpy, w);
    XMapRaised(dpy, w);
    setWmState(dpy, a, w, NormalState);
}

void advertise(Display* dpy, const Atoms& a, Window root) {
    Atom supported[] = {a.netActive, a.netClose};
    XChangeProperty(dpy, root, a.netSupported, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(supported), 2);
    Window check = XCreateSimpleWindow(dpy, root, -10, -10, 1, 1, 0, 0, 0);
    for (Window w : {root, check})
        XChangeProperty(dpy, w, a.netCheck, XA_WINDOW, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&check),
                        1);
    const char name[] = "panelwm";
    XChangeProperty(dpy, check, a.netName, a.utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(name), sizeof name - 1);
}

}  // namespace

int main() {
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "panelwm: no display\n");
        return 2;
    }
    Window root = DefaultRootWindow(dpy);
    XSetErrorHandler(detectOther);
    XSelectInput(dpy, root, SubstructureRedirectMask | SubstructureNotifyMask);
    XSync(dpy, False);
    if (gOtherManager) {
        std::fprintf(stderr, "panelwm: another window manager runs\n");
        return 1;
    }
    XSetErrorHandler(ignoreErrors);

    Atoms a;
    a.wmState = XInternAtom(dpy, "WM_STATE", False);
    a.wmChangeState = XInternAtom(dpy, "WM_CHANGE_STATE", False);
    a.wmProtocols = XInternAtom(dpy, "WM_PROTOCOLS", False);
    a.wmDelete = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
    a.netSupported = XInternAtom(dpy, "_NET_SUPPORTED", False);
    a.netCheck = XInternAtom(dpy, "_NET_SUPPORTING_WM_CHECK", False);
    a.netActive = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False);
    a.netClose = XInternAtom(dpy, "_NET_CLOSE_WINDOW", False);
    a.netName = XInternAtom(dpy, "_NET_WM_NAME", False);
    a.utf8 = XInternAtom(dpy, "UTF8_STRING", False);
    advertise(dpy, a, root);
    XSync(dpy, False);
    std::printf("ready\n");
    std::fflush(stdout);

    for (;;) {
        XEvent ev;
        XNextEvent(dpy, &ev);
        switch (ev.type) {
        case MapRequest:
            normal(dpy, a, ev.xmaprequest.window);
            break;
        case ConfigureRequest: {
            const XConfigureRequestEvent& r = ev.xconfigurerequest;
            XWindowChanges c;
            c.x = r.x;
            c.y = r.y < kPanelHeight ? kPanelHeight : r.y;
            c.width = r.width;
            c.height = r.height;
            c.border_width = r.border_width;
            c.sibling = r.above;
            c.stack_mode = r.detail;
            XConfigureWindow(dpy, r.window, static_cast<unsigned int>(r.value_mask), &c);
            tellGeometry(dpy, r.window);
            break;
        }
        case ClientMessage: {
            const XClientMessageEvent& m = ev.xclient;
            if (m.message_type == a.wmChangeState && m.data.l[0] == IconicState) {
                XUnmapWindow(dpy, m.window);
                setWmState(dpy, a, m.window, IconicState);
            } else if (m.message_type == a.netActive) {
                normal(dpy, a, m.window);
                XSetInputFocus(dpy, m.window, RevertToPointerRoot, CurrentTime);
            } else if (m.message_type == a.netClose) {
                XEvent del;
                std::memset(&del, 0, sizeof del);
                del.xclient.type = ClientMessage;
                del.xclient.window = m.window;
                del.xclient.message_type = a.wmProtocols;
                del.xclient.format = 32;
                del.xclient.data.l[0] = static_cast<long>(a.wmDelete);
                del.xclient.data.l[1] = CurrentTime;
                XSendEvent(dpy, m.window, False, NoEventMask, &del);
            }
            break;
        }
        default:
            break;
        }
        XFlush(dpy);
    }
}
