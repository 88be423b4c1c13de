#pragma once
// The Windows program (zibbles.exe) under Wine, run from a folder of its own
// that holds it with the DLLs and plugins it needs, as a user's unzipped
// copy does.
#include "wineprefix.h"

#include <string>

namespace e2e {

class WindowsProgram {
public:
    // `bin` is the cross-build's folder of programs (build-win/bin).
    WindowsProgram(WinePrefix &wine, X11Probe &probe, const TempFolder &app, const std::string &bin);

    // Writes a file below the program's folder, such as "Set1/F1".
    void put(const std::string &relative, const std::string &bytes) const;
    // The bytes of a file below the program's folder; empty when it is missing.
    std::string file(const std::string &relative) const;
    // The program's folder as it names it: "Z:\...\", with the backslash.
    std::string windowsFolder() const;
    // Starts it and waits until its main window is shown (its hotkeys are
    // set up by then); throws std::runtime_error when it never is.
    void start();
    // Ends it (the program's own end is the tray menu's Exit).
    void stop();

private:
    WinePrefix &m_wine;
    X11Probe &m_probe;
    const TempFolder &m_app;
    ChildProcess *m_process = nullptr;
};

} // namespace e2e
