#pragma once
// Xlib's default error handler ends the process. Another program's window
// can vanish between two requests about it, so every request about a
// foreign window runs under a trap that records the error instead.
#include <X11/Xlib.h>

namespace zibbles {

class X11ErrorTrap {
public:
    explicit X11ErrorTrap(Display *display);
    ~X11ErrorTrap(); // waits for the requests made under the trap, then lifts it
    X11ErrorTrap(const X11ErrorTrap &) = delete;
    X11ErrorTrap &operator=(const X11ErrorTrap &) = delete;

    // Whether any request made so far under the trap failed.
    bool failed();

private:
    static int handler(Display *display, XErrorEvent *error);

    Display *m_display;
    X11ErrorTrap *m_outer;
    XErrorHandler m_previous;
    bool m_failed = false;
};

} // namespace zibbles
