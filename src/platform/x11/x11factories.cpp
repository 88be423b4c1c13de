// The desktop services of an X11 session.
#include "x11desktop.h"
#include "x11hotkeyhold.h"
#include "x11hotkeys.h"

namespace zibbles {

namespace {
// The desktop types, and the hotkeys grab: the desktop must know when a grab
// holds the keyboard.
std::shared_ptr<X11HotkeyHold> sharedHold()
{
    static const auto hold = std::make_shared<X11HotkeyHold>();
    return hold;
}
} // namespace

std::unique_ptr<Desktop> createDesktop() { return std::make_unique<X11Desktop>(std::string(), sharedHold()); }

std::unique_ptr<GlobalHotkeys> createGlobalHotkeys()
{
    return std::make_unique<X11GlobalHotkeys>(std::string(), sharedHold());
}

} // namespace zibbles
