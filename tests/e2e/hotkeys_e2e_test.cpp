// The real program on a private X server with the stand-in chat window:
// function keys pressed through XTest play zibbles, switch sets, toggle sleep
// mode and store screenshots, whatever lock is on and whichever window has
// the focus; keys that another client holds or that an option switches off
// are left to others.
#include "chatwindows.h"
#include "otherclient.h"
#include "trayhost.h"
#include "x11harness.h"

#include <gtest/gtest.h>

// Last: Xlib's macros (None, Bool) clash with the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

constexpr unsigned kLockMask = 1u << 1;

using Lines = std::vector<std::string>;

class HotkeysE2E : public ::testing::Test {
protected:
    void put(const std::string &relative, const std::string &bytes)
    {
        const fs::path path = fs::path(app.path()) / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }
    // The stored options: every one wanted except those named in `off`.
    void storeOptionsExcept(const std::vector<std::string> &off)
    {
        std::string text = "Windows Registry Editor Version 5.00\r\n\r\n"
                           "[HKEY_CURRENT_USER\\Software\\Quillmere\\Zibbles\\FunctionKeys]\r\n";
        for (const char *name : {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12", "SF1",
                                 "SF2", "SF3", "SF4", "SF5", "SF6", "SF7", "SF8", "SF9", "SF10", "AF1", "AF2"}) {
            const bool wanted = std::find(off.begin(), off.end(), name) == off.end();
            text += std::string("\"") + name + "\"=dword:0000000" + (wanted ? "1" : "0") + "\r\n";
        }
        fs::create_directories(home.path() + "/config/zibbles");
        std::ofstream(home.path() + "/config/zibbles/user.reg", std::ios::binary) << text;
    }
    void startProgram()
    {
        chat = std::make_unique<e2e::ChatWindow>(x, probe, home, "There (OGL)");
        const std::string exe = app.path() + "/zibbles";
        fs::copy_file(e2e::binDir() + "/zibbles", exe);
        program = std::make_unique<e2e::ChildProcess>(
            std::vector<std::string>{exe},
            std::map<std::string, std::string>{{"DISPLAY", x.display()},
                                               {"QT_QPA_PLATFORM", "xcb"},
                                               {"HOME", home.path()},
                                               {"XDG_CONFIG_HOME", home.path() + "/config"},
                                               {"XDG_RUNTIME_DIR", home.path()},
                                               {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + home.path() + "/no-bus"}},
            app.path());
        // The hotkeys are set up before the window is shown.
        ASSERT_TRUE(e2e::waitFor([&] { return probe.findWindow("Zibbles by Quillmere").viewable; }, 20s))
            << "the main window never appeared";
    }
    // Presses a key and waits until the chat log holds `count` lines.
    Lines press(const std::string &key, size_t count, const std::vector<std::string> &modifiers = {})
    {
        probe.tapKey(key, modifiers);
        return chat->waitForLines(count, 10s);
    }
    // The chat log after a quiet spell, for keys that should type nothing.
    Lines linesAfterAWhile()
    {
        std::this_thread::sleep_for(1500ms);
        return chat->lines();
    }

    e2e::XvfbServer x;
    e2e::X11Probe probe{x.display()};
    e2e::TempFolder home;
    e2e::TempFolder app;
    std::unique_ptr<e2e::ChatWindow> chat;
    std::unique_ptr<e2e::ChildProcess> program;
};

// Width and height from a BMP file's header; {0, 0} when it is not one.
std::pair<int32_t, int32_t> bmpSize(const fs::path &file)
{
    std::ifstream in(file, std::ios::binary);
    std::string header(26, '\0');
    in.read(header.data(), 26);
    if (!in || header.compare(0, 2, "BM") != 0)
        return {0, 0};
    auto int32At = [&](size_t at) {
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | static_cast<unsigned char>(header[at + size_t(i)]);
        return int32_t(v);
    };
    return {int32At(18), std::abs(int32At(22))};
}

} // namespace

TEST_F(HotkeysE2E, FunctionKeysPlayTheCurrentSetAndShiftKeysSwitchIt)
{
    put("Set1/F1", "set one\r\n");
    put("Set2/F1", "set two, F1\r\n'wave\r\n");
    startProgram();

    EXPECT_EQ(press("F1", 1), (Lines{"set one"}));
    probe.tapKey("F2", {"Shift_L"});
    EXPECT_EQ(press("F1", 3), (Lines{"set one", "set two, F1", "'wave"}));

    probe.tapKey("Num_Lock");
    EXPECT_EQ(press("F1", 5).back(), "'wave") << "with Num Lock on";
    probe.tapKey("Caps_Lock");
    EXPECT_EQ(press("F1", 7).size(), 7u) << "with Num Lock and Caps Lock on";
    probe.tapKey("Num_Lock");
    probe.tapKey("F1", {"Shift_L"});
    // Caps Lock does not change what is typed.
    EXPECT_EQ(press("F1", 8).back(), "set one") << "Shift+F1 back to set 1, Caps Lock on";
    probe.tapKey("Caps_Lock");
}

TEST_F(HotkeysE2E, AHotkeyDuringARunStopsItBeforeItsNextLineAndStartsNothing)
{
    put("Set1/F3", "first\r\n%delay=\"2000\"%\r\nsecond\r\n");
    put("Set1/F4", "four\r\n");
    startProgram();

    EXPECT_EQ(press("F3", 1), (Lines{"first"}));
    probe.tapKey("F4"); // during the delay
    EXPECT_EQ(linesAfterAWhile(), (Lines{"first"}));
    std::this_thread::sleep_for(1000ms); // past the end of the delay
    EXPECT_EQ(chat->lines(), (Lines{"first"})) << "the run stopped before \"second\" and F4 started nothing";

    EXPECT_EQ(press("F4", 2), (Lines{"first", "four"})) << "the next press plays";
}

TEST_F(HotkeysE2E, PageUpTogglesSleepModeAndPrintScreenStoresTheScreen)
{
    fs::create_directories(app.path() + "/ScreenShots");
    startProgram();

    const Lines sleeping = press("Prior", 2);
    EXPECT_EQ(sleeping, (Lines{"Sleep mode active. Press hotkey again to come back.", "'''z'"}));
    EXPECT_EQ(press("Prior", 3).back(), "Back!");

    probe.tapKey("Print");
    fs::path shot;
    ASSERT_TRUE(e2e::waitFor([&] {
        for (const auto &entry : fs::directory_iterator(app.path() + "/ScreenShots"))
            if (entry.path().extension() == ".bmp" && bmpSize(entry.path()).first > 0)
                shot = entry.path();
        return !shot.empty();
    }, 10s)) << "no screenshot was stored";
    EXPECT_EQ(bmpSize(shot), std::make_pair(1024, 768));
    EXPECT_EQ(shot.filename().string().size() >= 15, true);
    EXPECT_EQ(shot.filename().string()[8], '-');
}

TEST_F(HotkeysE2E, KeysHeldElsewhereOrSwitchedOffAreLeftToOthers)
{
    e2e::OtherClient other(x.display());
    ASSERT_TRUE(other.hold("F2", 0)); // before the program starts
    ASSERT_TRUE(other.hold("F3", kLockMask)); // F3 only under Caps Lock
    storeOptionsExcept({"F5"});
    put("Set1/F1", "one\r\n");
    put("Set1/F2", "two\r\n");
    put("Set1/F5", "five\r\n");
    startProgram();

    probe.tapKey("F2");
    EXPECT_EQ(linesAfterAWhile(), Lines{}) << "F2 is not the program's";
    EXPECT_EQ(other.pressesReceived(), std::vector<int>{other.keycode("F2")});
    EXPECT_EQ(press("F1", 1), (Lines{"one"})) << "the other keys work";
    EXPECT_TRUE(other.canGrab("F3", 0)) << "a key refused under one lock state is left out under all";

    // F5 is switched off: not grabbed, so it reaches whoever wants it.
    EXPECT_FALSE(other.canGrab("F4", 0));
    EXPECT_FALSE(other.canGrab("F4", kLockMask));
    ASSERT_TRUE(other.hold("F5", 0));
    probe.tapKey("F5");
    EXPECT_EQ(linesAfterAWhile(), (Lines{"one"}));
    EXPECT_EQ(other.pressesReceived(), std::vector<int>{other.keycode("F5")});
}

TEST_F(HotkeysE2E, DisabledProgramStopsTheHotkeysAndEnabledProgramBringsThemBack)
{
    e2e::TrayHost tray(x.display());
    e2e::OtherClient other(x.display());
    put("Set1/F1", "one\r\n");
    startProgram();
    ASSERT_TRUE(tray.waitForIcon(10s)) << "the tray icon never asked to be docked";
    EXPECT_EQ(press("F1", 1), (Lines{"one"}));

    // The tray menu by keyboard, from no item: Show Main Window, Enabled
    // Program, Disabled Program.
    const auto chooseTrayItem = [&](int downs) {
        tray.rightClickIcon();
        std::this_thread::sleep_for(700ms);
        for (int i = 0; i < downs; ++i)
            probe.tapKey("Down");
        probe.tapKey("Return");
    };
    chooseTrayItem(3);
    ASSERT_TRUE(e2e::waitFor([&] { return other.canGrab("F1", 0); }, 10s)) << "F1 is still grabbed";
    probe.tapKey("F1");
    EXPECT_EQ(linesAfterAWhile(), (Lines{"one"})) << "F1 does nothing while disabled";

    chooseTrayItem(2);
    ASSERT_TRUE(e2e::waitFor([&] { return !other.canGrab("F1", 0); }, 10s)) << "F1 was not grabbed again";
    EXPECT_EQ(press("F1", 2), (Lines{"one", "one"}));
}

TEST_F(HotkeysE2E, AZibbleIsTypedWhileItsKeyIsStillHeldDown)
{
    put("Set1/F6", "typed while F6 is down\r\n");
    startProgram();
    Display *d = static_cast<Display *>(probe.display());
    XAutoRepeatOff(d); // a held key would otherwise repeat, and a repeat stops the run
    const KeyCode f6 = XKeysymToKeycode(d, XStringToKeysym("F6"));
    XTestFakeKeyEvent(d, f6, True, CurrentTime);
    XSync(d, False);
    const Lines whileDown = chat->waitForLines(1, 10s);
    XTestFakeKeyEvent(d, f6, False, CurrentTime);
    XSync(d, False);
    EXPECT_EQ(whileDown, (Lines{"typed while F6 is down"}));
}
