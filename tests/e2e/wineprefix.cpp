#include "wineprefix.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <sstream>
#include <stdexcept>

using namespace std::chrono_literals;

namespace e2e {

std::string windowsPath(const std::string &unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char &c : path)
        if (c == '/')
            c = '\\';
    return path;
}

namespace {

// The running processes for which `chosen(pid)` holds.
std::set<int> processesWhere(const std::function<bool(int pid)> &chosen)
{
    std::set<int> found;
    DIR *proc = ::opendir("/proc");
    if (!proc)
        return found;
    while (dirent *entry = ::readdir(proc)) {
        const int pid = std::atoi(entry->d_name);
        if (pid > 0 && chosen(pid))
            found.insert(pid);
    }
    ::closedir(proc);
    return found;
}

// The processes whose parent is this one.
std::set<int> childProcesses()
{
    return processesWhere([](int pid) {
        // "pid (comm) state ppid ...", and comm may hold spaces or brackets.
        const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
        const size_t close = stat.rfind(')');
        int ppid = 0;
        char state = 0;
        return close != std::string::npos &&
               std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &ppid) == 2 && ppid == ::getpid();
    });
}

// The live processes started with `variable` (NAME=value) in their environment.
std::set<int> processesWithEnvironment(const std::string &variable)
{
    return processesWhere([&variable](int pid) {
        if (pid == ::getpid())
            return false;
        std::istringstream entries(readFile("/proc/" + std::to_string(pid) + "/environ"));
        for (std::string item; std::getline(entries, item, '\0');)
            if (item == variable)
                return true;
        return false;
    });
}

// Waits for a child (own or adopted) to end; false when it is still there.
bool reap(int pid, std::chrono::milliseconds timeout)
{
    return waitFor([pid] {
        int status = 0;
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        return r == pid || (r < 0 && errno == ECHILD && ::kill(pid, 0) != 0);
    }, timeout);
}

} // namespace

WinePrefix::WinePrefix(const XvfbServer &x, const TempFolder &home, const std::string &path,
                       const std::map<std::string, std::string> &extra)
    : m_path(path)
{
    // Wine's processes leave their parents (the server detaches itself):
    // adopting them lets the test reap every one of them.
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    m_childrenBefore = childProcesses();
    const std::string folder = home.path();
    m_environment = {
        {"DISPLAY", x.display()},
        {"WINEPREFIX", m_path},
        {"WINEDEBUG", "-all"},
        // No Mono or Gecko installers, no menu entries or file types
        // handed to the desktop.
        {"WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d"},
        {"HOME", folder},
        {"XDG_CONFIG_HOME", folder + "/config"},
        {"XDG_DATA_HOME", folder + "/data"},
        {"XDG_CACHE_HOME", folder + "/cache"},
        {"XDG_RUNTIME_DIR", folder},
        {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + folder + "/no-bus"},
    };
    for (const auto &[name, value] : extra)
        m_environment[name] = value;
}

ChildProcess &WinePrefix::start(const std::vector<std::string> &args, const std::string &workingDir)
{
    std::vector<std::string> argv{ZIBBLES_WINE};
    argv.insert(argv.end(), args.begin(), args.end());
    m_started.push_back(std::make_unique<ChildProcess>(argv, m_environment, workingDir));
    return *m_started.back();
}

void WinePrefix::end(ChildProcess &process)
{
    for (auto it = m_started.begin(); it != m_started.end(); ++it) {
        if (it->get() == &process) {
            m_started.erase(it); // terminated and reaped there
            return;
        }
    }
}

int WinePrefix::run(const std::vector<std::string> &args, std::chrono::milliseconds timeout, std::string *output)
{
    std::vector<std::string> argv{ZIBBLES_WINE};
    argv.insert(argv.end(), args.begin(), args.end());
    return runForOutput(argv, m_environment, timeout, output);
}

std::set<int> WinePrefix::shutDown()
{
    if (m_shutDown)
        return {};
    m_shutDown = true;
    const std::string marker = "WINEPREFIX=" + m_path;
    std::set<int> wine = processesWithEnvironment(marker);
    {
        ChildProcess kill({ZIBBLES_WINESERVER, "-k"}, m_environment);
        kill.wait(20s);
        ChildProcess wait({ZIBBLES_WINESERVER, "-w"}, m_environment);
        wait.wait(20s);
    }
    m_started.clear(); // the programs started here, reaped there
    for (int round = 0; round < 3; ++round) {
        for (int pid : processesWithEnvironment(marker))
            wine.insert(pid);
        // Also whatever of Wine ended unseen and was handed to this
        // process: every child that was not there before Wine started.
        for (int pid : childProcesses())
            if (!m_childrenBefore.count(pid))
                wine.insert(pid);
        for (int pid : wine)
            if (!reap(pid, round == 0 ? 5000ms : 100ms))
                ::kill(pid, SIGKILL);
        for (int pid : wine)
            reap(pid, 5s);
        wine.clear();
    }
    std::set<int> left = processesWithEnvironment(marker);
    for (int pid : childProcesses())
        if (!m_childrenBefore.count(pid))
            left.insert(pid);
    return left;
}

WineChat::WineChat(WinePrefix &wine, X11Probe &probe, const std::string &log, const std::string &title) : m_log(log)
{
    ChildProcess &process = wine.start({binDir() + "/wine-chat.exe", windowsPath(m_log.path()), title});
    // The first start in the prefix sets it up: allow that time. The log
    // appears once the edit field has the focus in the active window.
    WindowInfo info;
    bool ended = false;
    const bool ready = waitFor([&] {
        info = probe.findWindow(title);
        ended = !process.running();
        return ended || (info.id != 0 && info.viewable && ::access(m_log.path().c_str(), F_OK) == 0);
    }, 120s);
    if (!ready || ended) {
        const int status = process.wait(0ms);
        wine.shutDown();
        throw std::runtime_error(ended ? "wine wine-chat.exe ended with status " + std::to_string(status)
                                       : "wine wine-chat.exe showed no window ready for keys in 120 s");
    }
    m_window = info.id;
}

} // namespace e2e
