#pragma once
// The desktop of the Windows program's end-to-end tests: a private X server
// managed by openbox, its keymap set before Wine reads it, one Wine prefix
// with tools/wine-chat (the stand-in There window) and sounds going into a
// PulseAudio null sink, the program in a folder of its own (not started
// yet), and the Linux keystroke sender to bring the chat window up.
#include "desktopfixture.h"
#include "localservices.h"
#include "windowsprogram.h"

#include <string>

namespace e2e {

// The server's keymap for Wine: an XKB layout ("de"; empty: the server's
// own), and nothing on the keypad keycodes 187 and 188, where Xvfb's
// mapping also puts ( and ), which Wine then finds no key for (VkKeyScanA
// answers -1), as no user's keyboard has them.
struct WineKeymap {
    WineKeymap(const XvfbServer &x, X11Probe &probe, const std::string &layout);
};

struct WindowsProgramDesktop {
    explicit WindowsProgramDesktop(const std::string &layout = {});

    XvfbServer x;
    X11Probe probe{x.display()};
    WineKeymap keymap;
    TempFolder home;
    TempFolder app;
    WindowManager wm{x, probe, home};
    SoundServer sound{home};
    WinePrefix wine{x, home, home.path() + "/prefix", {{"PULSE_SERVER", sound.address()}}};
    WineChat chat{wine, probe, home.path() + "/chat.log"};
    zibbles::X11Desktop desktop{x.display()};
    IdlePump pump;
    zibbles::TSendkeys keys{desktop, pump};
    WindowsProgram program;
};

} // namespace e2e
