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
#include "winesuite.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
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
    e2e::WinePrefix wine{x, folder, prefixPath()};
    e2e::WineChat chat{wine, probe, folder.path() + "/wine-chat.log"};
};

// One desktop for a whole suite; without a window manager here.
class WineE2E : public e2e::WineSuite<WineDesktop> {
protected:
    static void SetUpTestSuite() { startDesktop(false); }

    e2e::WineChat &chat() { return s_desktop->chat; }

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
        const std::vector<std::string> added = newLinesOf(logged);
        if (added.size() != lines.size()) {
            ASSERT_EQ(added, lines); // all of them, to see what was lost or added
        }
        for (size_t i = 0; i < lines.size(); ++i)
            EXPECT_EQ(added[i], lines[i]) << "line " << i;
        m_linesBefore = logged.size();
    }
};

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
// client presses its hotkeys at random moments. Wine sets its key state to
// what the server reports at a change of focus, at once, before the keys
// still in its queue are read: the grabs must not turn their case.
TEST_F(WineWmE2E, HotkeysPressedWhileAZibbleTypesCutItOnlyBetweenWholeLines)
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
