// Test helper for the X server the program runs on.
//   xwin list          one line per mapped top-level window: id x y w h "name";
//                      under a window manager that frames windows, the
//                      program's own window inside the frame, at its place
//                      on the screen
//   xwin close ID      sends WM_DELETE_WINDOW to the window, as a window manager would
//   xwin wmclose ID    asks the window manager to close the window (_NET_CLOSE_WINDOW)
//   xwin ping ID [MS]  sends _NET_WM_PING and waits up to MS milliseconds
//                      (default 10000) for the answer, which the program's
//                      toolkit gives once its event loop runs again; prints
//                      the milliseconds it took, fails when none came
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool hasWmState(Display* dpy, Window w, Atom wmState) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0, left = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy, w, wmState, 0, 0, False, AnyPropertyType, &type, &format, &items, &left, &data) !=
        Success)
        return false;
    if (data)
        XFree(data);
    return type != None;
}

// The program's window in a window manager's frame: the window that carries
// WM_STATE, 0 when none does.
Window clientOf(Display* dpy, Window w, Atom wmState, int depth = 0) {
    if (hasWmState(dpy, w, wmState))
        return w;
    Window root = 0, parent = 0, *children = nullptr, found = 0;
    unsigned int n = 0;
    if (depth < 3 && XQueryTree(dpy, w, &root, &parent, &children, &n)) {
        for (unsigned int i = 0; i < n && !found; ++i)
            found = clientOf(dpy, children[i], wmState, depth + 1);
        if (children)
            XFree(children);
    }
    return found;
}

int listWindows(Display* dpy) {
    Window root = DefaultRootWindow(dpy), parent = 0, *children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(dpy, root, &root, &parent, &children, &n))
        return 1;
    const Atom wmState = XInternAtom(dpy, "WM_STATE", False);
    for (unsigned int i = 0; i < n; ++i) {
        XWindowAttributes frame;
        if (!XGetWindowAttributes(dpy, children[i], &frame) || frame.map_state != IsViewable)
            continue;
        Window w = clientOf(dpy, children[i], wmState);
        if (!w)
            w = children[i];
        XWindowAttributes a;
        if (!XGetWindowAttributes(dpy, w, &a) || a.map_state != IsViewable)
            continue;
        int x = a.x, y = a.y;
        Window child = 0;
        if (w != children[i])
            XTranslateCoordinates(dpy, w, root, 0, 0, &x, &y, &child);
        char* name = nullptr;
        XFetchName(dpy, w, &name);
        std::printf("0x%lx %d %d %d %d \"%s\"\n", w, x, y, a.width, a.height, name ? name : "");
        if (name)
            XFree(name);
    }
    if (children)
        XFree(children);
    return 0;
}

int askManagerToClose(Display* dpy, Window w) {
    XEvent ev;
    std::memset(&ev, 0, sizeof ev);
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = XInternAtom(dpy, "_NET_CLOSE_WINDOW", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = CurrentTime;
    ev.xclient.data.l[1] = 2;  // as a pager or task bar asks
    XSendEvent(dpy, DefaultRootWindow(dpy), False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
    XFlush(dpy);
    return 0;
}

int closeWindow(Display* dpy, Window w) {
    XEvent ev;
    std::memset(&ev, 0, sizeof ev);
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, w, False, NoEventMask, &ev);
    XFlush(dpy);
    return 0;
}

int ping(Display* dpy, Window w, long timeoutMs) {
    const Window root = DefaultRootWindow(dpy);
    const Atom protocols = XInternAtom(dpy, "WM_PROTOCOLS", False);
    const Atom pingAtom = XInternAtom(dpy, "_NET_WM_PING", False);
    // The answer goes to the root window.
    XSelectInput(dpy, root, SubstructureNotifyMask);
    const long stamp = static_cast<long>(std::chrono::steady_clock::now().time_since_epoch().count() & 0x7fffffff);
    XEvent ev;
    std::memset(&ev, 0, sizeof ev);
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = protocols;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(pingAtom);
    ev.xclient.data.l[1] = stamp;
    ev.xclient.data.l[2] = static_cast<long>(w);
    const auto start = std::chrono::steady_clock::now();
    XSendEvent(dpy, w, False, NoEventMask, &ev);
    XFlush(dpy);
    for (;;) {
        while (XPending(dpy)) {
            XEvent in;
            XNextEvent(dpy, &in);
            if (in.type == ClientMessage && in.xclient.message_type == protocols &&
                static_cast<Atom>(in.xclient.data.l[0]) == pingAtom && in.xclient.data.l[1] == stamp) {
                const auto ms = std::chrono::duration_cast<std::chrono::microseconds>(
                                    std::chrono::steady_clock::now() - start).count() / 1000.0;
                std::printf("%.1f\n", ms);
                return 0;
            }
        }
        const long left = timeoutMs - std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - start).count();
        if (left <= 0)
            return 1;
        pollfd fd{ConnectionNumber(dpy), POLLIN, 0};
        ::poll(&fd, 1, static_cast<int>(left));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: xwin list | xwin close ID | xwin wmclose ID | xwin ping ID [MS]\n");
        return 2;
    }
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "xwin: no display\n");
        return 2;
    }
    int rc = 2;
    if (std::strcmp(argv[1], "list") == 0)
        rc = listWindows(dpy);
    else if (std::strcmp(argv[1], "close") == 0 && argc > 2)
        rc = closeWindow(dpy, static_cast<Window>(std::strtoul(argv[2], nullptr, 0)));
    else if (std::strcmp(argv[1], "wmclose") == 0 && argc > 2)
        rc = askManagerToClose(dpy, static_cast<Window>(std::strtoul(argv[2], nullptr, 0)));
    else if (std::strcmp(argv[1], "ping") == 0 && argc > 2)
        rc = ping(dpy, static_cast<Window>(std::strtoul(argv[2], nullptr, 0)), argc > 3 ? std::atol(argv[3]) : 10000);
    XCloseDisplay(dpy);
    return rc;
}
