#include "x11harness.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <X11/extensions/XTest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace e2e {

namespace {

Display *dpy(void *d)
{
    return static_cast<Display *>(d);
}

std::string windowName(Display *d, Window w)
{
    const Atom netName = XInternAtom(d, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char *data = nullptr;
    if (XGetWindowProperty(d, w, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) == Success &&
        data) {
        std::string name(reinterpret_cast<char *>(data), count);
        XFree(data);
        return name;
    }
    char *wmName = nullptr;
    if (XFetchName(d, w, &wmName) && wmName) {
        std::string name(wmName);
        XFree(wmName);
        return name;
    }
    return {};
}

Window findByTitle(Display *d, Window w, const std::string &title)
{
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        if (windowName(d, children[i]) == title)
            found = children[i];
        else
            found = findByTitle(d, children[i], title);
    }
    if (children)
        XFree(children);
    return found;
}

int ignoreErrors(Display *, XErrorEvent *)
{
    return 0;
}

} // namespace

bool waitFor(const std::function<bool()> &condition, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

ChildProcess::ChildProcess(const std::vector<std::string> &argv, const std::map<std::string, std::string> &extraEnv,
                           const std::string &workingDir)
{
    m_pid = ::fork();
    if (m_pid < 0)
        throw std::runtime_error("fork failed");
    if (m_pid == 0) {
        for (const auto &[name, value] : extraEnv)
            ::setenv(name.c_str(), value.c_str(), 1);
        if (!workingDir.empty() && ::chdir(workingDir.c_str()) != 0)
            ::_exit(126);
        std::vector<char *> args;
        for (const auto &a : argv)
            args.push_back(const_cast<char *>(a.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
}

ChildProcess::~ChildProcess()
{
    terminate();
}

bool ChildProcess::running()
{
    if (m_reaped)
        return false;
    const pid_t r = ::waitpid(m_pid, &m_status, WNOHANG);
    if (r == m_pid)
        m_reaped = true;
    return !m_reaped;
}

int ChildProcess::wait(std::chrono::milliseconds timeout)
{
    if (!waitFor([this] { return !running(); }, timeout))
        return -1;
    return WIFEXITED(m_status) ? WEXITSTATUS(m_status) : 128 + WTERMSIG(m_status);
}

void ChildProcess::terminate()
{
    if (m_pid <= 0 || !running())
        return;
    ::kill(m_pid, SIGTERM);
    if (wait(std::chrono::milliseconds(3000)) < 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, &m_status, 0);
        m_reaped = true;
    }
}

int runForOutput(const std::vector<std::string> &argv, const std::map<std::string, std::string> &extraEnv,
                 std::chrono::milliseconds timeout, std::string *output)
{
    std::string out = (std::filesystem::temp_directory_path() / "zibbles-e2e-output-XXXXXX").string();
    const int fd = ::mkstemp(out.data());
    if (fd < 0)
        throw std::runtime_error("mkstemp failed");
    ::close(fd);
    std::vector<std::string> shell{"/bin/sh", "-c", "exec \"$0\" \"$@\" >\"$ZIBBLES_E2E_OUTPUT\" 2>/dev/null"};
    shell.insert(shell.end(), argv.begin(), argv.end());
    std::map<std::string, std::string> environment = extraEnv;
    environment["ZIBBLES_E2E_OUTPUT"] = out;
    int status = -1;
    {
        ChildProcess process(shell, environment);
        status = process.wait(timeout);
    }
    if (output) {
        std::ifstream in(out, std::ios::binary);
        output->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    ::unlink(out.c_str());
    return status;
}

XvfbServer::XvfbServer(const std::string &screen)
{
    int fds[2];
    if (::pipe(fds) != 0)
        throw std::runtime_error("pipe failed");
    // Xvfb picks a free display number itself and writes it to the pipe.
    m_process = new ChildProcess({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen,
                                  "-nolisten", "tcp", "-noreset"});
    ::close(fds[1]);
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    char buf[32];
    while (::poll(&p, 1, 10000) > 0) {
        const ssize_t n = ::read(fds[0], buf, sizeof buf);
        if (n <= 0)
            break;
        number.append(buf, size_t(n));
        if (number.find('\n') != std::string::npos)
            break;
    }
    ::close(fds[0]);
    while (!number.empty() && (number.back() == '\n' || number.back() == ' '))
        number.pop_back();
    if (number.empty()) {
        delete m_process;
        throw std::runtime_error("Xvfb did not start");
    }
    m_display = ":" + number;
}

XvfbServer::~XvfbServer()
{
    delete m_process;
}

X11Probe::X11Probe(const std::string &display)
{
    m_display = XOpenDisplay(display.c_str());
    if (!m_display)
        throw std::runtime_error("cannot open display " + display);
    XSetErrorHandler(ignoreErrors);
}

X11Probe::~X11Probe()
{
    if (m_display)
        XCloseDisplay(dpy(m_display));
}

WindowInfo X11Probe::findWindow(const std::string &title)
{
    Display *d = dpy(m_display);
    WindowInfo info;
    XSync(d, False);
    info.id = findByTitle(d, DefaultRootWindow(d), title);
    if (!info.id)
        return info;
    XWindowAttributes attrs;
    if (XGetWindowAttributes(d, info.id, &attrs)) {
        Window child;
        XTranslateCoordinates(d, info.id, DefaultRootWindow(d), 0, 0, &info.x, &info.y, &child);
        info.width = attrs.width;
        info.height = attrs.height;
        info.viewable = attrs.map_state == IsViewable;
    }
    return info;
}

void X11Probe::sendCloseRequest(unsigned long window)
{
    Display *d = dpy(m_display);
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = window;
    ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = long(XInternAtom(d, "WM_DELETE_WINDOW", False));
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, window, False, NoEventMask, &ev);
    XSync(d, False);
}

void X11Probe::tapKey(const std::string &keysymName, const std::vector<std::string> &modifiers)
{
    Display *d = dpy(m_display);
    std::vector<KeyCode> mods;
    for (const auto &m : modifiers)
        mods.push_back(XKeysymToKeycode(d, XStringToKeysym(m.c_str())));
    const KeyCode key = XKeysymToKeycode(d, XStringToKeysym(keysymName.c_str()));
    for (KeyCode m : mods)
        XTestFakeKeyEvent(d, m, True, CurrentTime);
    XTestFakeKeyEvent(d, key, True, CurrentTime);
    XTestFakeKeyEvent(d, key, False, CurrentTime);
    for (auto it = mods.rbegin(); it != mods.rend(); ++it)
        XTestFakeKeyEvent(d, *it, False, CurrentTime);
    XSync(d, False);
}

AltGrLayout::AltGrLayout(X11Probe &probe) : m_probe(probe)
{
    remap(11, {XK_2, XK_quotedbl});
    remap(51, {XK_numbersign, XK_apostrophe});
    remap(94, {XK_less, XK_greater, XK_less, XK_greater, XK_at, XK_EuroSign});
}

AltGrLayout::~AltGrLayout()
{
    Display *d = dpy(m_probe.display());
    for (auto &[keycode, keysyms] : m_before)
        XChangeKeyboardMapping(d, keycode, int(keysyms.size()), keysyms.data(), 1);
    XSync(d, False);
}

void AltGrLayout::remap(int keycode, std::vector<unsigned long> keysyms)
{
    Display *d = dpy(m_probe.display());
    int perKeycode = 0;
    KeySym *old = XGetKeyboardMapping(d, KeyCode(keycode), 1, &perKeycode);
    m_before.emplace_back(keycode, std::vector<unsigned long>(old, old + perKeycode));
    XFree(old);
    XChangeKeyboardMapping(d, keycode, int(keysyms.size()), keysyms.data(), 1);
    XSync(d, False);
}

std::vector<unsigned long> X11Probe::propertyItems(unsigned long window, const std::string &name,
                                                   const std::string &type) const
{
    Display *d = dpy(m_display);
    Atom actual = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    std::vector<unsigned long> items;
    if (XGetWindowProperty(d, window ? window : DefaultRootWindow(d), XInternAtom(d, name.c_str(), False), 0, 4096,
                           False, XInternAtom(d, type.c_str(), False), &actual, &format, &count, &after,
                           &data) == Success &&
        data && format == 32) {
        const auto *values = reinterpret_cast<const unsigned long *>(data);
        items.assign(values, values + count);
    }
    if (data)
        XFree(data);
    return items;
}

unsigned long X11Probe::property(unsigned long window, const std::string &name, const std::string &type) const
{
    const std::vector<unsigned long> items = propertyItems(window, name, type);
    return items.empty() ? 0 : items.front();
}

std::string binDir()
{
    return ZIBBLES_BIN_DIR;
}

std::map<std::string, std::string> programEnvironment(const std::string &display, const TempFolder &home)
{
    return {{"DISPLAY", display},
            {"QT_QPA_PLATFORM", "xcb"},
            {"HOME", home.path()},
            {"XDG_CONFIG_HOME", home.path() + "/config"},
            {"XDG_RUNTIME_DIR", home.path()},
            {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + home.path() + "/no-bus"}};
}

TempFolder::TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zibbles-e2e-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

} // namespace e2e
