// Starts a program on the current X display and measures what a user feels of its start:
//
//   map_time [--unmanaged] PROGRAM [ARGS...]
//
// prints "MAP_MS RSS_KB CPU_MS": the milliseconds from just before exec to the moment its
// first top-level window is mapped, its resident memory 0.4 s after that, and the processor
// time its threads had used when the window was mapped (less sensitive than the wall clock
// to other work on the machine). The program is then ended. Meant for a private display without a window manager, where every top-level window
// is a child of the root window and its map is reported there.
//
// --unmanaged counts override-redirect windows too: Wine, told that no window manager is there
// (Managed=N), draws the frames itself on override-redirect windows.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <dirent.h>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <thread>

namespace {

using clock_type = std::chrono::steady_clock;

long windowPid(Display *dpy, Window w)
{
    const Atom pidAtom = XInternAtom(dpy, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(dpy, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                           &after, &data) == Success && data) {
        if (type == XA_CARDINAL && format == 32 && count == 1)
            pid = *reinterpret_cast<long *>(data);
        XFree(data);
    }
    return pid;
}

long residentKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

// Processor time of all threads of a process so far, from the scheduler's own accounting.
double cpuMs(pid_t pid)
{
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR *dir = opendir(tasks.c_str());
    if (!dir)
        return -1;
    double ns = 0;
    while (dirent *e = readdir(dir)) {
        if (e->d_name[0] == '.')
            continue;
        std::ifstream stat(tasks + "/" + e->d_name + "/schedstat");
        double onCpu = 0;
        if (stat >> onCpu)
            ns += onCpu;
    }
    closedir(dir);
    return ns / 1e6;
}

void endChild(pid_t pid)
{
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

} // namespace

int main(int argc, char *argv[])
{
    const bool unmanaged = argc > 1 && std::string(argv[1]) == "--unmanaged";
    if (unmanaged) {
        --argc;
        ++argv;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: map_time [--unmanaged] PROGRAM [ARGS...]\n");
        return 2;
    }
    Display *dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "map_time: cannot open the display\n");
        return 1;
    }
    XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
    XSync(dpy, False);

    const auto start = clock_type::now();
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("map_time: fork");
        return 1;
    }
    if (pid == 0) {
        const int quiet = open("/dev/null", O_RDWR);
        dup2(quiet, STDIN_FILENO);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        execvp(argv[1], argv + 1);
        _exit(127);
    }

    // The first ordinary top-level window of the program (menus and tooltips are
    // override-redirect and do not count).
    const auto deadline = start + std::chrono::seconds(30);
    double mapMs = -1;
    double mapCpuMs = -1;
    while (mapMs < 0 && clock_type::now() < deadline) {
        if (!XPending(dpy)) {
            pollfd fd{ConnectionNumber(dpy), POLLIN, 0};
            poll(&fd, 1, 50);
            if (waitpid(pid, nullptr, WNOHANG) == pid) {
                std::fprintf(stderr, "map_time: %s ended before showing a window\n", argv[1]);
                return 1;
            }
            continue;
        }
        XEvent e;
        XNextEvent(dpy, &e);
        if (e.type != MapNotify || (e.xmap.override_redirect && !unmanaged))
            continue;
        const long owner = windowPid(dpy, e.xmap.window);
        if (owner != -1 && owner != pid)
            continue;
        mapMs = std::chrono::duration<double, std::milli>(clock_type::now() - start).count();
        mapCpuMs = cpuMs(pid);
    }
    if (mapMs < 0) {
        std::fprintf(stderr, "map_time: %s showed no window within 30 s\n", argv[1]);
        endChild(pid);
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    const long rss = residentKb(pid);
    endChild(pid);
    XCloseDisplay(dpy);
    std::printf("%.1f %ld %.1f\n", mapMs, rss, mapCpuMs);
    return rss < 0 ? 1 : 0;
}
