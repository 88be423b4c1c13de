#pragma once
// End-to-end test support: a private Xvfb server, child processes that never
// outlive the test, and a few looks at the X server's windows.
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace e2e {

// Polls `condition` every 20 ms until it holds or `timeout` passes.
bool waitFor(const std::function<bool()> &condition, std::chrono::milliseconds timeout);

// A child process, killed (SIGTERM, then SIGKILL) and reaped on destruction.
class ChildProcess {
public:
    ChildProcess(const std::vector<std::string> &argv, const std::map<std::string, std::string> &extraEnv = {},
                 const std::string &workingDir = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    int pid() const { return m_pid; }
    bool running();                      // not exited yet
    int wait(std::chrono::milliseconds timeout); // exit status, -1 on time-out
    void terminate();

private:
    int m_pid = -1;
    int m_status = -1;
    bool m_reaped = false;
};

// Runs `argv` to its end with `extraEnv` added: its exit status (-1 on
// time-out, the process then killed), its standard output in `output`.
int runForOutput(const std::vector<std::string> &argv, const std::map<std::string, std::string> &extraEnv,
                 std::chrono::milliseconds timeout, std::string *output);

// Xvfb on a free display number; DISPLAY for children is display().
class XvfbServer {
public:
    explicit XvfbServer(const std::string &screen = "1024x768x24");
    ~XvfbServer();
    const std::string &display() const { return m_display; }

private:
    std::string m_display;
    ChildProcess *m_process = nullptr;
};

struct WindowInfo {
    unsigned long id = 0;
    int x = 0, y = 0, width = 0, height = 0;
    bool viewable = false;
};

// A connection of the test's own to the X server.
class X11Probe {
public:
    explicit X11Probe(const std::string &display);
    ~X11Probe();
    // The first top-level window (searched depth-first from the root) whose
    // _NET_WM_NAME or WM_NAME is exactly `title`; id 0 when there is none.
    WindowInfo findWindow(const std::string &title);
    // Asks the window to close as a window manager would (WM_DELETE_WINDOW).
    void sendCloseRequest(unsigned long window);
    // Presses and releases a key through XTest; keysym name as in "F1".
    void tapKey(const std::string &keysymName, const std::vector<std::string> &modifiers = {});
    // The 32-bit items (windows, numbers) of a property of `window` (0: the
    // root) in the type named `type` ("WINDOW", "CARDINAL", "WM_STATE"...);
    // empty when it has none.
    std::vector<unsigned long> propertyItems(unsigned long window, const std::string &name,
                                             const std::string &type) const;
    // The first of those items; 0 when it has none.
    unsigned long property(unsigned long window, const std::string &name, const std::string &type) const;
    void *display() const { return m_display; } // Display*

private:
    void *m_display = nullptr;
};

// A layout that types @ and the euro sign only with AltGr and Shift+AltGr, as
// German ones do, until destroyed: they move onto the key beside the left
// Shift, whose XKB mapping in Xvfb has four levels (the keys of the main
// block keep the two levels that theirs fixes); @ leaves the 2, and the
// backslash and | leave their key, so that no key types the backslash.
// Xvfb's mapping has ISO_Level3_Shift on a key of its own.
class AltGrLayout {
public:
    explicit AltGrLayout(X11Probe &probe);
    ~AltGrLayout(); // the keys as they were
    AltGrLayout(const AltGrLayout &) = delete;
    AltGrLayout &operator=(const AltGrLayout &) = delete;

private:
    void remap(int keycode, std::vector<unsigned long> keysyms);

    X11Probe &m_probe;
    std::vector<std::pair<int, std::vector<unsigned long>>> m_before;
};

// The folder holding build/bin (from the ZIBBLES_BIN_DIR compile definition).
std::string binDir();

// A fresh temporary folder, removed with its content on destruction.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string &path() const { return m_path; }

private:
    std::string m_path;
};

// The environment of the program under test on `display`: the X11 platform,
// its home and settings in `home`, and no session bus (nothing may start a
// dbus-daemon that outlives the test).
std::map<std::string, std::string> programEnvironment(const std::string &display, const TempFolder &home);

} // namespace e2e
