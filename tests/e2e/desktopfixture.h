#pragma once
// A private X server with the X11 desktop and the keystroke sender on it,
// and the test's own looks at focus and stacking.
#include "chatwindows.h"
#include "x11harness.h"

#include "platform/eventloop.h"
#include "platform/x11/x11desktop.h"
#include "playback/sendkeys.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace e2e {

// Typing here needs no message dispatching: nothing else runs in the test;
// a wait only lets the time pass.
class IdlePump : public zibbles::MessagePump {
public:
    int64_t nowMs() const override;
    void processPending() override {}
    void waitForEvents(int64_t maxMs) override;
};

// Openbox, an EWMH window manager, managing the server until destroyed.
class WindowManager {
public:
    WindowManager(const XvfbServer &x, X11Probe &probe, const TempFolder &home);
    int pid() const { return m_process->pid(); }

private:
    std::unique_ptr<ChildProcess> m_process;
};

class DesktopFixture : public ::testing::Test {
protected:
    unsigned long focusedWindow() const;
    unsigned long topmostWindow() const; // of the root's children
    unsigned long activeWindow() const;  // _NET_ACTIVE_WINDOW, 0 when unset
    void activateAndType(zibbles::WindowHandle window, const std::string &text);

    XvfbServer x;
    X11Probe probe{x.display()};
    TempFolder folder;
    zibbles::X11Desktop desktop{x.display()};
    IdlePump pump;
    zibbles::TSendkeys keys{desktop, pump};
};

} // namespace e2e
