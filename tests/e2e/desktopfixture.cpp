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

unsigned long rootWindowProperty(const X11Probe &probe, const char *name)
{
    Display *d = displayOf(probe);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    unsigned long value = 0;
    if (XGetWindowProperty(d, DefaultRootWindow(d), XInternAtom(d, name, False), 0, 1, False, XA_WINDOW, &type,
                           &format, &count, &after, &data) == Success &&
        data && count == 1)
        value = *reinterpret_cast<unsigned long *>(data);
    if (data)
        XFree(data);
    return value;
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
    if (!waitFor([&] { return rootWindowProperty(probe, "_NET_SUPPORTING_WM_CHECK") != 0; }, 20s))
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
    return rootWindowProperty(probe, "_NET_ACTIVE_WINDOW");
}

void DesktopFixture::activateAndType(zibbles::WindowHandle window, const std::string &text)
{
    keys.MakeWindowActive(window);
    keys.SendKeys(text);
}

} // namespace e2e
