#include "trayhost.h"

#include "x11harness.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <stdexcept>

namespace e2e {

namespace {

constexpr long kRequestDock = 0;
constexpr int kIconSize = 24;

Display *dpy(void *d)
{
    return static_cast<Display *>(d);
}

} // namespace

TrayHost::TrayHost(const std::string &display) : m_display(XOpenDisplay(display.c_str()))
{
    if (!m_display)
        throw std::runtime_error("cannot open display " + display);
    Display *d = dpy(m_display);
    const Window root = DefaultRootWindow(d);
    m_tray = XCreateSimpleWindow(d, root, 0, 0, 200, kIconSize, 0, 0, 0);
    XMapWindow(d, m_tray);
    const Atom selection = XInternAtom(d, "_NET_SYSTEM_TRAY_S0", False);
    XSetSelectionOwner(d, selection, m_tray, CurrentTime);

    XEvent manager{};
    manager.xclient.type = ClientMessage;
    manager.xclient.window = root;
    manager.xclient.message_type = XInternAtom(d, "MANAGER", False);
    manager.xclient.format = 32;
    manager.xclient.data.l[0] = CurrentTime;
    manager.xclient.data.l[1] = long(selection);
    manager.xclient.data.l[2] = long(m_tray);
    XSendEvent(d, root, False, StructureNotifyMask, &manager);
    XSync(d, False);
}

TrayHost::~TrayHost()
{
    XCloseDisplay(dpy(m_display));
}

bool TrayHost::waitForIcon(std::chrono::milliseconds timeout)
{
    Display *d = dpy(m_display);
    const Atom opcode = XInternAtom(d, "_NET_SYSTEM_TRAY_OPCODE", False);
    return waitFor([&] {
        while (XPending(d)) {
            XEvent event;
            XNextEvent(d, &event);
            if (event.type == ClientMessage && event.xclient.message_type == opcode &&
                event.xclient.data.l[1] == kRequestDock)
                m_icon = Window(event.xclient.data.l[2]);
        }
        if (!m_icon)
            return false;
        XReparentWindow(d, m_icon, m_tray, 0, 0);
        XResizeWindow(d, m_icon, kIconSize, kIconSize);
        XMapRaised(d, m_icon);
        XSync(d, False);
        return true;
    }, timeout);
}

void TrayHost::rightClickIcon()
{
    Display *d = dpy(m_display);
    XRaiseWindow(d, m_tray);
    XTestFakeMotionEvent(d, 0, kIconSize / 2, kIconSize / 2, CurrentTime);
    XTestFakeButtonEvent(d, 3, True, CurrentTime);
    XTestFakeButtonEvent(d, 3, False, CurrentTime);
    XSync(d, False);
}

} // namespace e2e
