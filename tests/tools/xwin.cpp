// Test helper for the X server the program runs on.
//   xwin list          one line per mapped top-level window: id x y w h "name"
//   xwin close ID      sends WM_DELETE_WINDOW to the window, as a window manager would
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int listWindows(Display* dpy) {
    Window root = DefaultRootWindow(dpy), parent = 0, *children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(dpy, root, &root, &parent, &children, &n))
        return 1;
    for (unsigned int i = 0; i < n; ++i) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(dpy, children[i], &a) || a.map_state != IsViewable)
            continue;
        char* name = nullptr;
        XFetchName(dpy, children[i], &name);
        std::printf("0x%lx %d %d %d %d \"%s\"\n", children[i], a.x, a.y, a.width, a.height,
                    name ? name : "");
        if (name)
            XFree(name);
    }
    if (children)
        XFree(children);
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

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: xwin list | xwin close ID\n");
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
    XCloseDisplay(dpy);
    return rc;
}
