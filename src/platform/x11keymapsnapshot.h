#pragma once
// Reads the server's keyboard mapping into a KeymapSnapshot.
#include "platform/x11keymap.h"

#include <X11/Xlib.h>

namespace zibbles {

// Empty (no keysyms) when the server does not answer.
KeymapSnapshot readKeymapSnapshot(Display *display);

} // namespace zibbles
