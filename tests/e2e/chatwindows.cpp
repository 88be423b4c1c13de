#include "chatwindows.h"

#include <fstream>
#include <stdexcept>

using namespace std::chrono_literals;

namespace e2e {

namespace {
int g_serial = 0; // a log of its own for every window of a test
} // namespace

ChatWindow::ChatWindow(const XvfbServer &x, X11Probe &probe, const TempFolder &folder, const std::string &title)
    : m_log(folder.path() + "/chat" + std::to_string(++g_serial) + ".log")
{
    std::ofstream(m_log.path()).flush(); // exists, empty, before anything is typed
    m_process = std::make_unique<ChildProcess>(
        std::vector<std::string>{binDir() + "/there-chat", "--title", title, "--log", m_log.path()},
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

} // namespace e2e
