// The X11 desktop against real windows on a private X server with no window
// manager: finding a window by its exact title, bringing it up with the
// keyboard focus, and typing into it with XTest key events that arrive
// complete and in order.
#include "desktopfixture.h"

#include <random>

// After gtest: Xlib defines None and Bool as macros.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

using namespace std::chrono_literals;
using e2e::ChatWindow;

namespace {

class X11DesktopE2E : public e2e::DesktopFixture {
protected:
    Display *probeDisplay() const { return static_cast<Display *>(probe.display()); }

    // What a window manager does on iconifying a window.
    void iconify(unsigned long window)
    {
        const Atom wmState = XInternAtom(probeDisplay(), "WM_STATE", False);
        long state[2] = {3, None};
        XChangeProperty(probeDisplay(), window, wmState, wmState, 32, PropModeReplace,
                        reinterpret_cast<unsigned char *>(state), 2);
        XUnmapWindow(probeDisplay(), window);
        XSync(probeDisplay(), False);
    }

    // Gives a keycode that carries nothing the keysyms `keysyms` (two for
    // one layout, four for two), as a change of layout would; the keycode.
    int remapFreeKeycode(std::vector<KeySym> keysyms)
    {
        int minKeycode = 0, maxKeycode = 0, perKeycode = 0;
        XDisplayKeycodes(probeDisplay(), &minKeycode, &maxKeycode);
        KeySym *map =
            XGetKeyboardMapping(probeDisplay(), KeyCode(minKeycode), maxKeycode - minKeycode + 1, &perKeycode);
        int freeKeycode = 0;
        for (int keycode = minKeycode; keycode <= maxKeycode && !freeKeycode; ++keycode) {
            bool empty = true;
            for (int i = 0; i < perKeycode; ++i)
                empty = empty && map[(keycode - minKeycode) * perKeycode + i] == NoSymbol;
            if (empty)
                freeKeycode = keycode;
        }
        XFree(map);
        if (freeKeycode)
            XChangeKeyboardMapping(probeDisplay(), freeKeycode, int(keysyms.size()), keysyms.data(), 1);
        XSync(probeDisplay(), False);
        return freeKeycode;
    }
};

} // namespace

TEST_F(X11DesktopE2E, FindsTopLevelWindowsByTheirExactTitleOnly)
{
    ChatWindow ogl(x, probe, folder, "There (OGL)");
    EXPECT_EQ(desktop.findWindow("There (OGL)"), ogl.window());
    for (const char *other : {"There", "There (OGL) ", "there (ogl)", "There (OGL", "", "There (DX9)"})
        EXPECT_EQ(desktop.findWindow(other), 0u) << '"' << other << '"';

    ChatWindow plain(x, probe, folder, "There");
    EXPECT_EQ(desktop.findWindow("There"), plain.window());
    EXPECT_EQ(desktop.findWindow("There (OGL)"), ogl.window());

    // Titles are the program's Windows-1252 text; the window's is UTF-8.
    ChatWindow accented(x, probe, folder, "Caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(desktop.findWindow("Caf\xE9 \x80"), accented.window());
    EXPECT_EQ(desktop.findWindow("Caf\xC3\xA9 \xE2\x82\xAC"), 0u);
}

TEST_F(X11DesktopE2E, TypesLettersDigitsAndShiftedPunctuationExactly)
{
    ChatWindow chat(x, probe, folder, "There (OGL)");
    // Xvfb's mapping also has "(" unshifted on an extra key that some
    // programs ignore; the one a user presses is Shift with 9.
    EXPECT_EQ(desktop.vkKeyScan('('), 0x139);
    EXPECT_EQ(desktop.mapVirtualKey(0x39), 18u - 8u);

    const std::vector<std::string> lines = {
        "Hello World 0123456789",
        "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~",
        "The quick brown fox JUMPS over the lazy dog; (really) {twice} <or> \"more\"?",
    };
    const zibbles::WindowHandle window = desktop.findWindow("There (OGL)");
    ASSERT_EQ(window, chat.window());
    for (const std::string &line : lines)
        activateAndType(window, line + "\n\r");
    EXPECT_EQ(chat.waitForLines(lines.size(), 10s), lines);
}

TEST_F(X11DesktopE2E, CapsLockDoesNotChangeWhatIsTyped)
{
    ChatWindow chat(x, probe, folder, "There (OGL)");
    probe.tapKey("Caps_Lock");
    const std::vector<std::string> lines = {"Hello World, caps OFF? 42!"};
    activateAndType(chat.window(), lines[0] + "\n\r");
    // Unlock only once the line is in: the press comes from another connection
    // and could overtake key events still queued on ours.
    EXPECT_EQ(chat.waitForLines(1, 10s), lines);
    probe.tapKey("Caps_Lock");
}

TEST_F(X11DesktopE2E, CharactersOnAltGrAreTypedWithItWhateverCapsLockSays)
{
    const e2e::AltGrLayout layout(probe); // before the chat window starts, as a user's session would
    ChatWindow chat(x, probe, folder, "There (OGL)");
    desktop.refreshKeymap();
    ASSERT_EQ(desktop.vkKeyScan('@') >> 8, 6) << "@ is on AltGr now";
    const std::vector<std::string> lines = {"Mail me at anna@example.org", "5\x80 @ \"Q\" ?#'", "Q@q"};
    const zibbles::WindowHandle window = desktop.findWindow("There (OGL)");
    // A character that no key types is left out.
    activateAndType(window, lines[0] + "\n\r" + lines[1] + "\\\n\r");
    ASSERT_EQ(chat.waitForLines(2, 10s), (std::vector<std::string>{lines[0], lines[1]}));
    // Lock only once those lines are in: the press comes from another
    // connection and could overtake key events still queued on ours.
    probe.tapKey("Caps_Lock");
    activateAndType(window, lines[0] + "\n\r" + lines[1] + "\n\r" + lines[2] + "\n\r");
    EXPECT_EQ(chat.waitForLines(5, 10s), (std::vector<std::string>{lines[0], lines[1], lines[0], lines[1], lines[2]}));
    probe.tapKey("Caps_Lock");
}

TEST_F(X11DesktopE2E, LongLinesArriveCompleteAndInOrder)
{
    ChatWindow chat(x, probe, folder, "There (OGL)");
    const std::string alphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 "
                                 "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";
    std::mt19937 random(20261208);
    std::vector<std::string> lines;
    for (size_t length : {2000u, 2600u, 3100u}) {
        std::string line;
        for (size_t i = 0; i < length; ++i)
            line += alphabet[random() % alphabet.size()];
        lines.push_back(line);
    }
    const zibbles::WindowHandle window = desktop.findWindow("There (OGL)");
    for (const std::string &line : lines)
        activateAndType(window, line + "\n\r");
    const std::vector<std::string> received = chat.waitForLines(lines.size(), 30s);
    ASSERT_EQ(received.size(), lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(received[i], lines[i]) << "line " << i;
}

TEST_F(X11DesktopE2E, KeysWithoutAKeyOnTheKeyboardSendNothing)
{
    ChatWindow chat(x, probe, folder, "There (OGL)");
    // Virtual keys 10, 1, 11 and 12 have no key here; neither has a byte the
    // layout cannot type (sent as 255 with Shift).
    activateAndType(desktop.findWindow("There (OGL)"), std::string("a\n\x01\x0b\x0c") + "b\x80" + "c\n\r");
    EXPECT_EQ(chat.waitForLines(1, 10s), std::vector<std::string>{"abc"});
}

TEST_F(X11DesktopE2E, ALayoutChangeIsPickedUpByTheNextText)
{
    ChatWindow chat(x, probe, folder, "There (OGL)");
    desktop.refreshKeymap();
    ASSERT_EQ(desktop.vkKeyScan(0xE9), -1) << "Xvfb's US mapping has no \xE9";

    const int freeKeycode = remapFreeKeycode({XK_eacute, XK_Eacute});
    ASSERT_NE(freeKeycode, 0);

    desktop.refreshKeymap();
    const int16_t eacute = desktop.vkKeyScan(0xE9);
    ASSERT_NE(eacute, -1);
    EXPECT_EQ(eacute >> 8, 0);
    EXPECT_EQ(desktop.vkKeyScan(0xC9), eacute | 0x100);
    EXPECT_EQ(desktop.mapVirtualKey(uint8_t(eacute)), unsigned(freeKeycode - 8));

    // Bytes 228 and above are key codes to the keystroke sender, so é goes
    // out as the key itself here.
    desktop.bringWindowToTop(chat.window());
    for (bool up : {false, true})
        desktop.keyEvent(uint8_t(eacute), 0, up);
    keys.SendKeys("\n\r");
    EXPECT_EQ(chat.waitForLines(1, 10s), std::vector<std::string>{"\xE9"});
}

TEST_F(X11DesktopE2E, SwitchingToAnotherLayoutIsPickedUpByTheNextText)
{
    desktop.refreshKeymap();
    // § and ° in the first layout, ß and ¿ in the second. (Before the chat
    // window starts: Qt misreads a second layout added to a running server.)
    ASSERT_NE(remapFreeKeycode({XK_section, XK_degree, XK_ssharp, XK_questiondown}), 0);
    ChatWindow chat(x, probe, folder, "There (OGL)");
    const zibbles::WindowHandle window = desktop.findWindow("There (OGL)");
    activateAndType(window, "\xA7\xB0 \xDF\xBF\n\r"); // ß and ¿ are not on the first layout
    // Switch only once the first line is in: the switch comes from another
    // connection and could overtake key events still queued on ours.
    ASSERT_EQ(chat.waitForLines(1, 10s).size(), 1u);
    ASSERT_TRUE(XkbLockGroup(probeDisplay(), XkbUseCoreKbd, 1));
    XSync(probeDisplay(), False);
    activateAndType(window, "\xA7\xB0 \xDF\xBF\n\r");
    EXPECT_EQ(chat.waitForLines(2, 10s), (std::vector<std::string>{"\xA7\xB0 ", " \xDF\xBF"}));
}

TEST_F(X11DesktopE2E, ActivationRaisesAndFocusesTheWindowWithoutAWindowManager)
{
    ChatWindow ogl(x, probe, folder, "There (OGL)");
    ChatWindow dx9(x, probe, folder, "There (DX9)");

    activateAndType(ogl.window(), "to ogl\n\r");
    EXPECT_EQ(focusedWindow(), ogl.window());
    EXPECT_EQ(topmostWindow(), ogl.window());
    activateAndType(dx9.window(), "to dx9\n\r");
    EXPECT_EQ(focusedWindow(), dx9.window());
    EXPECT_EQ(topmostWindow(), dx9.window());
    activateAndType(ogl.window(), "ogl again\n\r");

    EXPECT_EQ(ogl.waitForLines(2, 10s), (std::vector<std::string>{"to ogl", "ogl again"}));
    EXPECT_EQ(dx9.waitForLines(1, 10s), std::vector<std::string>{"to dx9"});
}

TEST_F(X11DesktopE2E, AnIconifiedWindowIsFoundRestoredFocusedAndTypedInto)
{
    ChatWindow chat(x, probe, folder, "There (OGL)");
    EXPECT_FALSE(desktop.isIconic(chat.window()));
    iconify(chat.window());
    ASSERT_TRUE(e2e::waitFor([&] { return !probe.findWindow("There (OGL)").viewable; }, 5s));

    const zibbles::WindowHandle window = desktop.findWindow("There (OGL)");
    ASSERT_EQ(window, chat.window());
    EXPECT_TRUE(desktop.isIconic(window));
    activateAndType(window, "back again\n\r");
    EXPECT_TRUE(probe.findWindow("There (OGL)").viewable);
    EXPECT_FALSE(desktop.isIconic(window));
    EXPECT_EQ(focusedWindow(), chat.window());
    EXPECT_EQ(chat.waitForLines(1, 10s), std::vector<std::string>{"back again"});
}

TEST_F(X11DesktopE2E, AClosedOrNeverShownWindowIsNotFound)
{
    ChatWindow chat(x, probe, folder, "There (OGL)");
    XUnmapWindow(probeDisplay(), chat.window()); // withdrawn, as a hidden window is
    XSync(probeDisplay(), False);
    EXPECT_EQ(desktop.findWindow("There (OGL)"), 0u);
    // A window's id that is gone is harmless to every call.
    const zibbles::WindowHandle gone = 0x7ffffff;
    EXPECT_FALSE(desktop.isIconic(gone));
    desktop.restoreWindow(gone);
    desktop.bringWindowToTop(gone);
    EXPECT_EQ(desktop.findWindow("There (DX9)"), 0u);
}
