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
//   xwin capture WINDOW X Y W H FILE   writes that rectangle of the window's pixels to FILE, a
//                             binary PPM
//   xwin differ FILE FILE [X,Y,W,H ...]   prints how many pixels of two captures of one size
//                             differ, leaving out the rectangles given
//   xwin colours WINDOW X Y W H   prints the colours in that rectangle, "RRGGBB COUNT" a line,
//                             the most frequent first
//
// WINDOW is a decimal or 0x-prefixed window id, as xdotool prints it. Exit code 0 on success.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

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

int clipboardOwner(Display *dpy)
{
    const Atom clipboard = XInternAtom(dpy, "CLIPBOARD", False);
    std::printf("%lu\n", static_cast<unsigned long>(XGetSelectionOwner(dpy, clipboard)));
    return 0;
}

// ---- Pixels: captures of a window and what they hold.

struct picture {
    int width = 0, height = 0;
    std::vector<unsigned long> rgb; // 0xRRGGBB, row by row
};

bool grab(Display *dpy, Window w, int x, int y, int width, int height, picture &out)
{
    XImage *img = XGetImage(dpy, w, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height),
                            AllPlanes, ZPixmap);
    if (!img || g_badWindow) {
        std::fprintf(stderr, "xwin: cannot read %dx%d+%d+%d of the window\n", width, height, x, y);
        return false;
    }
    out.width = width;
    out.height = height;
    out.rgb.resize(static_cast<std::size_t>(width) * height);
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col)
            out.rgb[static_cast<std::size_t>(row) * width + col] = XGetPixel(img, col, row) & 0xFFFFFF;
    }
    XDestroyImage(img);
    return true;
}

bool save(const picture &p, const char *file)
{
    std::ofstream out(file, std::ios::binary);
    out << "P6\n" << p.width << ' ' << p.height << "\n255\n";
    for (unsigned long v : p.rgb) {
        const char bytes[3] = {static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
        out.write(bytes, 3);
    }
    return static_cast<bool>(out);
}

bool load(const char *file, picture &p)
{
    std::ifstream in(file, std::ios::binary);
    std::string magic;
    int depth = 0;
    in >> magic >> p.width >> p.height >> depth;
    in.get();
    if (!in || magic != "P6" || depth != 255 || p.width <= 0 || p.height <= 0) {
        std::fprintf(stderr, "xwin: %s is not a capture\n", file);
        return false;
    }
    p.rgb.resize(static_cast<std::size_t>(p.width) * p.height);
    for (unsigned long &v : p.rgb) {
        unsigned char bytes[3] = {};
        in.read(reinterpret_cast<char *>(bytes), 3);
        v = (static_cast<unsigned long>(bytes[0]) << 16) | (bytes[1] << 8) | bytes[2];
    }
    return static_cast<bool>(in);
}

bool numbers(const char *const *args, int count, int *out)
{
    for (int i = 0; i < count; ++i) {
        char *end = nullptr;
        out[i] = static_cast<int>(std::strtol(args[i], &end, 10));
        if (!end || *end)
            return false;
    }
    return true;
}

int differ(int argc, char *argv[])
{
    picture a, b;
    if (!load(argv[2], a) || !load(argv[3], b))
        return 1;
    if (a.width != b.width || a.height != b.height) {
        std::fprintf(stderr, "xwin: the captures are %dx%d and %dx%d\n", a.width, a.height, b.width,
                     b.height);
        return 1;
    }
    struct box { int x, y, w, h; };
    std::vector<box> left_out;
    for (int i = 4; i < argc; ++i) {
        box r{};
        if (std::sscanf(argv[i], "%d,%d,%d,%d", &r.x, &r.y, &r.w, &r.h) != 4) {
            std::fprintf(stderr, "xwin: bad rectangle %s\n", argv[i]);
            return 2;
        }
        left_out.push_back(r);
    }
    long count = 0;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * a.width + x;
            if (a.rgb[at] == b.rgb[at])
                continue;
            const bool skipped = std::any_of(left_out.begin(), left_out.end(), [&](const box &r) {
                return x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h;
            });
            count += skipped ? 0 : 1;
        }
    }
    std::printf("%ld\n", count);
    return 0;
}

int read_pixels(Display *dpy, int argc, char *argv[])
{
    char *end = nullptr;
    const Window w = std::strtoul(argv[2], &end, 0);
    int r[4] = {};
    if (!end || *end || !w || !numbers(argv + 3, 4, r) || r[2] <= 0 || r[3] <= 0) {
        std::fprintf(stderr, "xwin: bad window or rectangle\n");
        return 2;
    }
    XSetErrorHandler(onXError);
    picture p;
    if (!grab(dpy, w, r[0], r[1], r[2], r[3], p))
        return 1;
    if (std::strcmp(argv[1], "capture") == 0)
        return argc == 8 && save(p, argv[7]) ? 0 : 1;
    if (std::strcmp(argv[1], "digest") == 0) {
        unsigned long long hash = 14695981039346656037ull; // FNV-1a over the pixels' colours
        for (unsigned long v : p.rgb) {
            hash ^= v;
            hash *= 1099511628211ull;
        }
        std::printf("%016llx\n", hash);
        return 0;
    }
    std::map<unsigned long, long> seen;
    for (unsigned long v : p.rgb)
        ++seen[v];
    std::vector<std::pair<long, unsigned long>> by_count;
    for (const auto &[colour, count] : seen)
        by_count.emplace_back(count, colour);
    std::sort(by_count.rbegin(), by_count.rend());
    for (const auto &[count, colour] : by_count)
        std::printf("%06lX %ld\n", colour, count);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 4 && std::strcmp(argv[1], "differ") == 0)
        return differ(argc, argv);
    if ((argc == 8 && std::strcmp(argv[1], "capture") == 0)
        || (argc == 7 && (std::strcmp(argv[1], "colours") == 0 || std::strcmp(argv[1], "digest") == 0))) {
        Display *dpy = XOpenDisplay(nullptr);
        if (!dpy) {
            std::fprintf(stderr, "xwin: cannot open the display\n");
            return 1;
        }
        const int rc = read_pixels(dpy, argc, argv);
        XCloseDisplay(dpy);
        return rc;
    }
    const bool owner = argc == 2 && std::strcmp(argv[1], "clipboard-owner") == 0;
    if (!owner
        && (argc != 3
            || (std::strcmp(argv[1], "client-area") != 0 && std::strcmp(argv[1], "close") != 0))) {
        std::fprintf(stderr, "usage: xwin client-area|close WINDOW, xwin digest WINDOW X Y W H,"
                             " xwin capture WINDOW X Y W H FILE, xwin differ FILE FILE [X,Y,W,H ...],"
                             " xwin colours WINDOW X Y W H, or xwin clipboard-owner\n");
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
    const int rc = std::strcmp(argv[1], "close") == 0 ? askToClose(dpy, w) : clientArea(dpy, w);
    XCloseDisplay(dpy);
    return rc;
}
