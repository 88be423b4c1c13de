// The desktop services of an X11 session.
#include "x11desktop.h"
#include "x11hotkeys.h"

namespace zibbles {

std::unique_ptr<Desktop> createDesktop() { return std::make_unique<X11Desktop>(); }

std::unique_ptr<GlobalHotkeys> createGlobalHotkeys() { return std::make_unique<X11GlobalHotkeys>(); }

} // namespace zibbles
