// What the end-to-end driver cannot do with xdotool alone:
//
//   xwin client-area WINDOW   prints "WIDTH HEIGHT TOP": the white client area, measured on the
//                             window's pixels as the white rectangle that runs from its
//                             bottom-left corner (the menu bar above it is not white), and the
//                             row where it begins. Waits until the window has been painted.
//   xwin close WINDOW         asks the window to close as a window manager does when its close
//                             box is clicked: a WM_DELETE_WINDOW message. The display the tests
//                             run on has no window manager, hence no close box to click.
//   xwin digest WINDOW X Y W H  prints a digest of the pixels of that rectangle of the window:
//                             two readings differ when what it shows changed (a button drawn
//                             pressed, say).
//   xwin clipboard-owner      prints the id of the window that owns the clipboard, 0 for none.
//                             A program that copies first clears the clipboard and then sets
//                             it; only once it owns the clipboard again is its text there.
//
// WINDOW is a decimal or 0x-prefixed window id, as xdotool prints it. Exit code 0 on success.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

bool g_badWindow = false;

int onXError(Display *, XErrorEvent *e)
{
    if (e->error_code == BadWindow || e->error_code == BadMatch || e->error_code == BadDrawable)
        g_badWindow = true;
    return 0;
}

bool isWhite(XImage *img, int x, int y)
{
    return (XGetPixel(img, x, y) & 0xFFFFFF) == 0xFFFFFF;
}

struct area {
    int width = 0, height = 0, top = 0;
    bool operator==(const area &) const = default;
};

area measureClientArea(Display *dpy, Window w)
{
    XWindowAttributes attrs;
    if (!XGetWindowAttributes(dpy, w, &attrs) || attrs.map_state != IsViewable)
        return {};
    XImage *img = XGetImage(dpy, w, 0, 0, attrs.width, attrs.height, AllPlanes, ZPixmap);
    if (!img)
        return {};
    area a;
    const int bottom = attrs.height - 1;
    while (a.width < attrs.width && isWhite(img, a.width, bottom))
        ++a.width;
    while (a.height < attrs.height && isWhite(img, 0, bottom - a.height))
        ++a.height;
    a.top = attrs.height - a.height;
    XDestroyImage(img);
    return a;
}

int clientArea(Display *dpy, Window w)
{
    // A freshly mapped window may not be painted yet: wait until two readings agree.
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + std::chrono::seconds(5);
    area last;
    while (clock::now() < deadline) {
        const area now = measureClientArea(dpy, w);
        if (g_badWindow) {
            std::fprintf(stderr, "xwin: no such window\n");
            return 1;
        }
        if (now.width > 0 && now == last) {
            std::printf("%d %d %d\n", now.width, now.height, now.top);
            return 0;
        }
        last = now;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::fprintf(stderr, "xwin: the window shows no steady white client area\n");
    return 1;
}

int askToClose(Display *dpy, Window w)
{
    const Atom protocols = XInternAtom(dpy, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
    Atom *list = nullptr;
    int count = 0;
    bool offered = false;
    if (XGetWMProtocols(dpy, w, &list, &count)) {
        for (int i = 0; i < count; ++i)
            offered = offered || list[i] == deleteWindow;
        XFree(list);
    }
    if (!offered) {
        std::fprintf(stderr, "xwin: the window does not take WM_DELETE_WINDOW\n");
        return 1;
    }
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = protocols;
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(deleteWindow);
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, w, False, NoEventMask, &e);
    XSync(dpy, False);
    return g_badWindow ? 1 : 0;
}

int digest(Display *dpy, Window w, char *place[])
{
    int r[4];
    for (int i = 0; i < 4; ++i) {
        char *end = nullptr;
        r[i] = static_cast<int>(std::strtol(place[i], &end, 10));
        if (!end || *end || r[i] < 0 || (i >= 2 && r[i] == 0)) {
            std::fprintf(stderr, "xwin: bad rectangle\n");
            return 2;
        }
    }
    XImage *img = XGetImage(dpy, w, r[0], r[1], r[2], r[3], AllPlanes, ZPixmap);
    if (!img) {
        std::fprintf(stderr, "xwin: cannot read those pixels\n");
        return 1;
    }
    unsigned long long hash = 14695981039346656037ull; // FNV-1a over the pixels' colours
    for (int y = 0; y < r[3]; ++y) {
        for (int x = 0; x < r[2]; ++x) {
            hash ^= XGetPixel(img, x, y) & 0xFFFFFF;
            hash *= 1099511628211ull;
        }
    }
    XDestroyImage(img);
    std::printf("%016llx\n", hash);
    return 0;
}

int clipboardOwner(Display *dpy)
{
    const Atom clipboard = XInternAtom(dpy, "CLIPBOARD", False);
    std::printf("%lu\n", static_cast<unsigned long>(XGetSelectionOwner(dpy, clipboard)));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    const bool owner = argc == 2 && std::strcmp(argv[1], "clipboard-owner") == 0;
    const bool pixels = argc == 7 && std::strcmp(argv[1], "digest") == 0;
    if (!owner && !pixels
        && (argc != 3
            || (std::strcmp(argv[1], "client-area") != 0 && std::strcmp(argv[1], "close") != 0))) {
        std::fprintf(stderr, "usage: xwin client-area|close WINDOW, xwin digest WINDOW X Y W H,"
                             " or xwin clipboard-owner\n");
        return 2;
    }
    Display *dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "xwin: cannot open the display\n");
        return 1;
    }
    if (owner) {
        const int rc = clipboardOwner(dpy);
        XCloseDisplay(dpy);
        return rc;
    }
    char *end = nullptr;
    const Window w = std::strtoul(argv[2], &end, 0);
    if (!end || *end || !w) {
        std::fprintf(stderr, "xwin: bad window id %s\n", argv[2]);
        XCloseDisplay(dpy);
        return 2;
    }
    XSetErrorHandler(onXError);
    const int rc = pixels ? digest(dpy, w, argv + 3)
                 : std::strcmp(argv[1], "close") == 0 ? askToClose(dpy, w) : clientArea(dpy, w);
    XCloseDisplay(dpy);
    return rc;
}
