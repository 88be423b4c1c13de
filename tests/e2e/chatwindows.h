#pragma once
// Stand-in chat windows (tools/there-chat) under a private X server, each
// recording the lines it receives to a log of its own.
#include "x11harness.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace e2e {

class ChatWindow {
public:
    // Starts there-chat titled `title` (UTF-8) and waits until it is shown;
    // throws std::runtime_error when it never is.
    ChatWindow(const XvfbServer &x, X11Probe &probe, const TempFolder &folder, const std::string &title);

    unsigned long window() const { return m_window; }
    const std::string &logPath() const { return m_log; }
    // The lines logged so far, without their line feeds.
    std::vector<std::string> lines() const;
    // Waits until at least `count` lines are logged; the lines then.
    std::vector<std::string> waitForLines(size_t count, std::chrono::milliseconds timeout) const;

private:
    std::string m_log;
    std::unique_ptr<ChildProcess> m_process;
    unsigned long m_window = 0;
};

} // namespace e2e
