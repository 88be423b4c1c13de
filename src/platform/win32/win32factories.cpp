// The desktop services of a Windows session.
#include "win32desktop.h"
#include "win32hotkeys.h"

namespace zibbles {

std::unique_ptr<Desktop> createDesktop() { return std::make_unique<Win32Desktop>(); }

std::unique_ptr<GlobalHotkeys> createGlobalHotkeys() { return std::make_unique<Win32GlobalHotkeys>(); }

} // namespace zibbles
