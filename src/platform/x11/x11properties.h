#pragma once
// Reading the window properties that EWMH and ICCCM define. Callers make
// these requests under an X11ErrorTrap: the window may be gone.
#include <X11/Xlib.h>

#include <optional>
#include <string>
#include <vector>

namespace zibbles::x11 {

Atom atom(Display *display, const char *name);

// The items of a 32-bit property of `type` (AnyPropertyType for any); empty
// when it is missing or of another type.
std::vector<unsigned long> readLongs(Display *display, Window window, Atom property, Atom type);

// The window's title in UTF-8: _NET_WM_NAME, else WM_NAME; nullopt when it
// has neither.
std::optional<std::string> readTitle(Display *display, Window window);

} // namespace zibbles::x11
