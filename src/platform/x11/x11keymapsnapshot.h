#pragma once
// Reads the server's keyboard and modifier mappings.
#include "platform/x11/x11keymap.h"
#include "platform/x11/x11modifiers.h"

#include <X11/Xlib.h>

namespace zibbles {

// Empty (no keysyms) when the server does not answer.
KeymapSnapshot readKeymapSnapshot(Display *display);
// Empty lists when the server does not answer.
ModifierMapping readModifierMapping(Display *display);

} // namespace zibbles
