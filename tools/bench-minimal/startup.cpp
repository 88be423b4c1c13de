// startup-probe TITLE PROGRAM [ARGS...]: starts PROGRAM on $DISPLAY, prints the
// milliseconds until a window titled TITLE is mapped and, after two idle
// seconds, the program's resident memory in KiB; then ends it.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

bool mappedWindowTitled(Display *d, Window w, const std::string &title)
{
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &count))
        return false;
    bool found = false;
    for (unsigned int i = 0; i < count && !found; ++i) {
        char *name = nullptr;
        XWindowAttributes attrs;
        if (XFetchName(d, children[i], &name) && name) {
            found = title == name && XGetWindowAttributes(d, children[i], &attrs) && attrs.map_state == IsViewable;
            XFree(name);
        }
        found = found || mappedWindowTitled(d, children[i], title);
    }
    if (children)
        XFree(children);
    return found;
}

long residentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

int ignore(Display *, XErrorEvent *) { return 0; }

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup-probe TITLE PROGRAM [ARGS...]\n");
        return 2;
    }
    Display *d = XOpenDisplay(nullptr);
    if (!d)
        return 1;
    XSetErrorHandler(ignore);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execv(argv[2], argv + 2);
        _exit(127);
    }
    double ms = -1;
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(30)) {
        if (mappedWindowTitled(d, DefaultRootWindow(d), argv[1])) {
            ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    std::this_thread::sleep_for(std::chrono::seconds(2));
    std::printf("%.1f %ld\n", ms, residentKiB(pid));
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    XCloseDisplay(d);
    return ms < 0 ? 1 : 0;
}
