#pragma once
// Windows programs under Wine on a test's X server: one prefix whose
// processes all end and are reaped with it, and tools/wine-chat, the Win32
// stand-in chat window, logging the lines it is sent.
#include "chatlog.h"
#include "x11harness.h"

#include <chrono>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace e2e {

// "Z:\..." for a path of the file system: Wine's drive Z: is its root.
std::string windowsPath(const std::string &unixPath);

class WinePrefix {
public:
    // The prefix at `path` (set up by the first program started in it), its
    // programs shown on `x`, with `home` as their home and `extra` added to
    // their environment.
    WinePrefix(const XvfbServer &x, const TempFolder &home, const std::string &path,
               const std::map<std::string, std::string> &extra = {});
    ~WinePrefix() { shutDown(); }
    WinePrefix(const WinePrefix &) = delete;
    WinePrefix &operator=(const WinePrefix &) = delete;

    const std::string &path() const { return m_path; }
    // Starts `args` (a Windows program and its arguments) under Wine.
    ChildProcess &start(const std::vector<std::string> &args, const std::string &workingDir = {});
    // Ends a program that start() gave, and reaps it.
    void end(ChildProcess &process);
    // Runs `args` under Wine to its end: its exit status (-1 on time-out),
    // its standard output in `output`.
    int run(const std::vector<std::string> &args, std::chrono::milliseconds timeout, std::string *output = nullptr);
    // Ends the prefix's server and with it every Wine process, kills what
    // is left, and reaps them all. The Wine processes still alive after that
    // (there should be none).
    std::set<int> shutDown();

private:
    std::string m_path;
    std::map<std::string, std::string> m_environment;
    std::set<int> m_childrenBefore;
    std::vector<std::unique_ptr<ChildProcess>> m_started;
    bool m_shutDown = false;
};

// wine-chat.exe in a prefix, titled `title`, logging to `log`.
class WineChat {
public:
    // Waits until its edit field has the focus in the active window (the
    // first start in a prefix sets the prefix up); throws
    // std::runtime_error when it never has.
    WineChat(WinePrefix &wine, X11Probe &probe, const std::string &log, const std::string &title = "There (DX9)");

    unsigned long window() const { return m_window; }
    std::vector<std::string> lines() const { return m_log.lines(); }
    std::vector<std::string> waitForLines(size_t count, std::chrono::milliseconds timeout) const
    {
        return m_log.waitForLines(count, timeout);
    }

private:
    ChatLog m_log;
    unsigned long m_window = 0;
};

} // namespace e2e
