#pragma once
// The real program on a test's X server, run from a folder of its own with a
// home of its own, as a user's session would start it.
#include "x11harness.h"

#include <memory>
#include <string>

namespace e2e {

class ZibblesProgram {
public:
    // `app` is the program's folder (its zibble sets), `home` its home.
    ZibblesProgram(const XvfbServer &x, X11Probe &probe, const TempFolder &app, const TempFolder &home);

    // Writes a file below the program's folder, such as "Set1/F1".
    void put(const std::string &relative, const std::string &bytes) const;
    // Copies the program into its folder, starts it and waits until its main
    // window is shown (its hotkeys are set up by then); throws
    // std::runtime_error when it never is.
    void start();

private:
    const XvfbServer &m_x;
    X11Probe &m_probe;
    const TempFolder &m_app;
    const TempFolder &m_home;
    std::unique_ptr<ChildProcess> m_process;
};

} // namespace e2e
