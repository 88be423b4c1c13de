#include "desktopfixture.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <stdexcept>
#include <vector>

using namespace std::chrono_literals;

namespace e2e {

int64_t IdlePump::nowMs() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void IdlePump::waitForEvents(int64_t maxMs)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(std::max<int64_t>(maxMs, 0)));
}

namespace {
Display *displayOf(const X11Probe &probe)
{
    return static_cast<Display *>(probe.display());
}

bool framedAndShown(Display *d, Window w)
{
    Window root = None, parent = None, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &count))
        return false;
    if (children)
        XFree(children);
    XWindowAttributes attrs;
    return parent != root && XGetWindowAttributes(d, w, &attrs) && attrs.map_state == IsViewable;
}
} // namespace

// Openbox announces itself on the root window before its start-up is done
// (scanning the fonts may take seconds), and a window mapped in between can
// be lost to it, never shown. A window mapped before it starts is framed by
// its start-up pass; once that one is framed and shown, openbox is in its
// event loop and handles every window that comes after.
WindowManager::WindowManager(const XvfbServer &x, X11Probe &probe, const TempFolder &home)
{
    Display *d = displayOf(probe);
    const Window early = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 16, 16, 0, 0, 0);
    XMapWindow(d, early);
    XSync(d, False);
    m_process = std::make_unique<ChildProcess>(
        std::vector<std::string>{"openbox", "--sm-disable"},
        std::map<std::string, std::string>{{"DISPLAY", x.display()},
                                           {"HOME", home.path()},
                                           {"XDG_CONFIG_HOME", home.path() + "/config"},
                                           {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + home.path() + "/no-bus"}});
    const bool framed = waitFor([&] { return framedAndShown(d, early); }, 30s);
    XDestroyWindow(d, early);
    XSync(d, False);
    const auto managesEarly = [&] {
        const std::vector<unsigned long> clients = probe.propertyItems(0, "_NET_CLIENT_LIST", "WINDOW");
        return std::find(clients.begin(), clients.end(), early) != clients.end();
    };
    if (!framed || !waitFor([&] { return !managesEarly(); }, 10s))
        throw std::runtime_error("openbox never managed a window");
}

unsigned long DesktopFixture::focusedWindow() const
{
    Window focus = None;
    int revert = 0;
    XGetInputFocus(displayOf(probe), &focus, &revert);
    return focus;
}

unsigned long DesktopFixture::topmostWindow() const
{
    Display *d = displayOf(probe);
    Window root = None, parent = None, *children = nullptr;
    unsigned count = 0;
    XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count);
    Window top = count ? children[count - 1] : None;
    if (children)
        XFree(children);
    return top;
}

unsigned long DesktopFixture::activeWindow() const
{
    return probe.property(0, "_NET_ACTIVE_WINDOW", "WINDOW");
}

void DesktopFixture::activateAndType(zibbles::WindowHandle window, const std::string &text)
{
    keys.MakeWindowActive(window);
    keys.SendKeys(text);
}

} // namespace e2e
