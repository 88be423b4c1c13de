#include "windowsprogram.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace e2e {

WindowsProgram::WindowsProgram(WinePrefix &wine, X11Probe &probe, const TempFolder &app, const std::string &bin)
    : m_wine(wine), m_probe(probe), m_app(app)
{
    if (!fs::exists(fs::path(bin) / "zibbles.exe"))
        throw std::runtime_error("no " + bin + "/zibbles.exe: run scripts/build-windows");
    // The program and all that is deployed beside it; not the other programs
    // of the folder (the test programs, the helpers).
    for (const auto &entry : fs::directory_iterator(bin)) {
        const fs::path name = entry.path().filename();
        if (name.extension() != ".exe" || name == "zibbles.exe")
            fs::copy(entry.path(), fs::path(app.path()) / name, fs::copy_options::recursive);
    }
}

void WindowsProgram::put(const std::string &relative, const std::string &bytes) const
{
    const fs::path path = fs::path(m_app.path()) / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string WindowsProgram::file(const std::string &relative) const
{
    return readFile(m_app.path() + "/" + relative);
}

std::string WindowsProgram::windowsFolder() const
{
    return windowsPath(m_app.path()) + "\\";
}

void WindowsProgram::start()
{
    m_process = &m_wine.start({m_app.path() + "/zibbles.exe"}, m_app.path());
    if (!waitFor([&] { return m_probe.findWindow("Zibbles by Quillmere").viewable || !m_process->running(); }, 60s) ||
        !m_process->running())
        throw std::runtime_error("the main window of zibbles.exe never appeared");
}

void WindowsProgram::stop()
{
    if (!m_process)
        return;
    m_wine.end(*m_process);
    m_process = nullptr;
    waitFor([&] { return m_probe.findWindow("Zibbles by Quillmere").id == 0; }, 10s);
}

} // namespace e2e
