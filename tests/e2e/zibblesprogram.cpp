#include "zibblesprogram.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace e2e {

ZibblesProgram::ZibblesProgram(const XvfbServer &x, X11Probe &probe, const TempFolder &app, const TempFolder &home)
    : m_x(x), m_probe(probe), m_app(app), m_home(home)
{
}

void ZibblesProgram::put(const std::string &relative, const std::string &bytes) const
{
    const fs::path path = fs::path(m_app.path()) / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

void ZibblesProgram::start()
{
    const std::string exe = m_app.path() + "/zibbles";
    fs::copy_file(e2e::binDir() + "/zibbles", exe, fs::copy_options::overwrite_existing);
    const std::string home = m_home.path();
    m_process = std::make_unique<ChildProcess>(
        std::vector<std::string>{exe},
        std::map<std::string, std::string>{{"DISPLAY", m_x.display()},
                                           {"QT_QPA_PLATFORM", "xcb"},
                                           {"HOME", home},
                                           {"XDG_CONFIG_HOME", home + "/config"},
                                           {"XDG_RUNTIME_DIR", home},
                                           // No session bus: nothing may start a dbus-daemon that outlives the test.
                                           {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + home + "/no-bus"}},
        m_app.path());
    if (!waitFor([&] { return m_probe.findWindow("Zibbles by Quillmere").viewable; }, 20s))
        throw std::runtime_error("the main window never appeared");
}

} // namespace e2e
