#pragma once
// Stand-in chat windows (tools/there-chat) under a private X server, each
// recording the lines it receives to a log of its own.
#include "chatlog.h"
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
    const std::string &logPath() const { return m_log.path(); }
    std::vector<std::string> lines() const { return m_log.lines(); }
    std::vector<std::string> waitForLines(size_t count, std::chrono::milliseconds timeout) const
    {
        return m_log.waitForLines(count, timeout);
    }

private:
    ChatLog m_log;
    std::unique_ptr<ChildProcess> m_process;
    unsigned long m_window = 0;
};

} // namespace e2e
