#include "x11errortrap.h"

namespace zibbles {

namespace {
X11ErrorTrap *g_innermost = nullptr; // the GUI thread is the only user
} // namespace

X11ErrorTrap::X11ErrorTrap(Display *display)
    : m_display(display), m_outer(g_innermost), m_previous(nullptr)
{
    XSync(m_display, False); // earlier errors belong to whoever made them
    m_previous = XSetErrorHandler(&X11ErrorTrap::handler);
    g_innermost = this;
}

X11ErrorTrap::~X11ErrorTrap()
{
    XSync(m_display, False);
    g_innermost = m_outer;
    XSetErrorHandler(m_previous);
}

bool X11ErrorTrap::failed()
{
    XSync(m_display, False);
    return m_failed;
}

int X11ErrorTrap::handler(Display *display, XErrorEvent *error)
{
    for (X11ErrorTrap *trap = g_innermost; trap; trap = trap->m_outer) {
        if (trap->m_display == display) {
            trap->m_failed = true;
            return 0;
        }
    }
    // Another connection's error: hand it on to whoever handled them before.
    X11ErrorTrap *outermost = g_innermost;
    while (outermost && outermost->m_outer)
        outermost = outermost->m_outer;
    XErrorHandler previous = outermost ? outermost->m_previous : nullptr;
    return previous ? previous(display, error) : 0;
}

} // namespace zibbles
