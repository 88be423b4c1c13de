#pragma once
// A minimal notification area (the XEmbed system tray protocol) on the
// test's X server, so that a program's tray icon is shown and can be clicked.
#include <chrono>
#include <string>

namespace e2e {

class TrayHost {
public:
    // Takes the tray selection of screen 0; start it before the program.
    explicit TrayHost(const std::string &display);
    ~TrayHost();
    TrayHost(const TrayHost &) = delete;
    TrayHost &operator=(const TrayHost &) = delete;

    // Waits for an icon to ask to be docked, then shows it; false on time-out.
    bool waitForIcon(std::chrono::milliseconds timeout);
    // Right-clicks the docked icon through XTest.
    void rightClickIcon();

private:
    void *m_display;
    unsigned long m_tray = 0;
    unsigned long m_icon = 0;
};

} // namespace e2e
