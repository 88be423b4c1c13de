#include "windowsdesktop.h"

#include <cstdlib>
#include <stdexcept>

// Last: Xlib's macros (None, Bool) clash with the headers above.
#include <X11/Xlib.h>

using namespace std::chrono_literals;

namespace e2e {

namespace {

// The cross-build's folder of programs: $ZIBBLES_WINDOWS_BIN_DIR, or
// build-win/bin of the source tree.
std::string windowsBinDir()
{
    const char *bin = std::getenv("ZIBBLES_WINDOWS_BIN_DIR");
    return bin && *bin ? bin : ZIBBLES_WINDOWS_BIN_DIR;
}

} // namespace

WineKeymap::WineKeymap(const XvfbServer &x, X11Probe &probe, const std::string &layout)
{
    if (!layout.empty() &&
        runForOutput({"setxkbmap", "-display", x.display(), "-layout", layout}, {}, 30s, nullptr) != 0)
        throw std::runtime_error("setxkbmap -layout " + layout + " failed (x11-xkb-utils, scripts/setup)");
    auto *d = static_cast<Display *>(probe.display());
    for (const int keycode : {187, 188}) {
        KeySym nothing[2] = {NoSymbol, NoSymbol};
        XChangeKeyboardMapping(d, keycode, 2, nothing, 1);
    }
    XSync(d, False);
}

WindowsProgramDesktop::WindowsProgramDesktop(const std::string &layout)
    : keymap(x, probe, layout), program(wine, probe, app, windowsBinDir())
{
}

} // namespace e2e
