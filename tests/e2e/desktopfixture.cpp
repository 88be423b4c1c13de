#include "desktopfixture.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <stdexcept>

using namespace std::chrono_literals;

namespace e2e {

namespace {
Display *displayOf(const X11Probe &probe)
{
    return static_cast<Display *>(probe.display());
}
} // namespace

WindowManager::WindowManager(const XvfbServer &x, X11Probe &probe, const TempFolder &home)
{
    m_process = std::make_unique<ChildProcess>(
        std::vector<std::string>{"openbox", "--sm-disable"},
        std::map<std::string, std::string>{{"DISPLAY", x.display()},
                                           {"HOME", home.path()},
                                           {"XDG_CONFIG_HOME", home.path() + "/config"},
                                           {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + home.path() + "/no-bus"}});
    if (!waitFor([&] { return probe.property(0, "_NET_SUPPORTING_WM_CHECK", "WINDOW") != 0; }, 20s))
        throw std::runtime_error("openbox never took over the screen");
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
