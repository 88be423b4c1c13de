#include "chatwindows.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

using namespace std::chrono_literals;

namespace e2e {

namespace {
int g_serial = 0; // a log of its own for every window of a test
} // namespace

ChatWindow::ChatWindow(const XvfbServer &x, X11Probe &probe, const TempFolder &folder, const std::string &title)
    : m_log(folder.path() + "/chat" + std::to_string(++g_serial) + ".log")
{
    std::ofstream(m_log).flush(); // exists, empty, before anything is typed
    m_process = std::make_unique<ChildProcess>(
        std::vector<std::string>{binDir() + "/there-chat", "--title", title, "--log", m_log},
        std::map<std::string, std::string>{{"DISPLAY", x.display()},
                                           {"QT_QPA_PLATFORM", "xcb"},
                                           {"XDG_RUNTIME_DIR", folder.path()},
                                           {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + folder.path() + "/no-bus"}});
    WindowInfo info;
    if (!waitFor([&] {
            info = probe.findWindow(title);
            return info.id != 0 && info.viewable;
        }, 20s))
        throw std::runtime_error("there-chat never showed \"" + title + "\"");
    m_window = info.id;
}

std::vector<std::string> ChatWindow::lines() const
{
    std::ifstream in(m_log, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    std::vector<std::string> result;
    std::string text = content.str(), line;
    for (char c : text) {
        if (c == '\n') {
            result.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    return result; // a line still being written is left out
}

std::vector<std::string> ChatWindow::waitForLines(size_t count, std::chrono::milliseconds timeout) const
{
    std::vector<std::string> result;
    waitFor([&] {
        result = lines();
        return result.size() >= count;
    }, timeout);
    return result;
}

} // namespace e2e
