#include "otherclient.h"

#include <X11/Xlib.h>

#include <stdexcept>

namespace e2e {

namespace {

bool g_refused = false;

int noteRefusal(Display *, XErrorEvent *error)
{
    g_refused = g_refused || error->error_code == BadAccess;
    return 0;
}

Display *dpy(void *d)
{
    return static_cast<Display *>(d);
}

} // namespace

OtherClient::OtherClient(const std::string &display) : m_display(XOpenDisplay(display.c_str()))
{
    if (!m_display)
        throw std::runtime_error("cannot open display " + display);
}

OtherClient::~OtherClient()
{
    XCloseDisplay(dpy(m_display));
}

int OtherClient::keycode(const std::string &key)
{
    return XKeysymToKeycode(dpy(m_display), XStringToKeysym(key.c_str()));
}

bool OtherClient::grab(const std::string &key, unsigned state)
{
    Display *d = dpy(m_display);
    XSync(d, False);
    XErrorHandler previous = XSetErrorHandler(noteRefusal);
    g_refused = false;
    XGrabKey(d, keycode(key), state, DefaultRootWindow(d), False, GrabModeAsync, GrabModeAsync);
    XSync(d, False);
    XSetErrorHandler(previous);
    return !g_refused;
}

bool OtherClient::canGrab(const std::string &key, unsigned state)
{
    if (!grab(key, state))
        return false;
    release(key, state);
    return true;
}

bool OtherClient::hold(const std::string &key, unsigned state)
{
    return grab(key, state);
}

void OtherClient::release(const std::string &key, unsigned state)
{
    Display *d = dpy(m_display);
    XUngrabKey(d, keycode(key), state, DefaultRootWindow(d));
    XSync(d, False);
}

std::vector<int> OtherClient::pressesReceived()
{
    Display *d = dpy(m_display);
    std::vector<int> keys;
    XSync(d, False);
    while (XPending(d)) {
        XEvent event;
        XNextEvent(d, &event);
        if (event.type == KeyPress)
            keys.push_back(int(event.xkey.keycode));
    }
    return keys;
}

} // namespace e2e
