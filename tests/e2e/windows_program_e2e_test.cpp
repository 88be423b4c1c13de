// The Windows program, build-win/bin/zibbles.exe, under Wine on a private X
// server managed by openbox, as a Linux user of the Windows There client runs
// it: in one prefix with tools/wine-chat (the stand-in There window), sounds
// into a PulseAudio null sink, live share against the share server on a
// loopback port. Function keys are pressed through XTest; Wine hands a
// hotkey to its program only while one of its windows has the keyboard
// focus, so the chat window is brought up before every press. Wine never
// delivers Print Screen: the capture is driven by the message that the
// pressed key would post (tools/wine-chat/hotkey.c).
//
// One desktop, one prefix and one start of the program serve the whole
// suite; its tests run in order, each leaving set 1 selected.
#include "windowsdesktop.h"
#include "winesuite.h"

#include <gtest/gtest.h>

// Last: Xlib's macros (None, Bool) clash with the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <regex>
#include <stdexcept>
#include <thread>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

const char kMainTitle[] = "Zibbles by Quillmere";
const char kHmmm[] = "'hmmm, I may need a geek to help me on this one?";
const char kShareHeader[] = "# Available Via Zibbles Live Share: ";
const char kFunctionKeys[] = "HKCU\\Software\\Quillmere\\Zibbles\\FunctionKeys";

// A sound of `seconds` as a PCM .wav file: a 440 Hz tone, 22050 Hz mono.
std::string toneWav(double seconds)
{
    const uint32_t rate = 22050, samples = uint32_t(seconds * rate), data = samples * 2;
    std::string wav;
    const auto add = [&](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            wav += char((value >> (8 * i)) & 0xff);
    };
    wav += "RIFF";
    add(36 + data, 4);
    wav += "WAVEfmt ";
    add(16, 4);
    add(1, 2); // PCM
    add(1, 2); // mono
    add(rate, 4);
    add(rate * 2, 4);
    add(2, 2);
    add(16, 2);
    wav += "data";
    add(data, 4);
    for (uint32_t i = 0; i < samples; ++i)
        add(uint32_t(int16_t(8000 * std::sin(2 * M_PI * 440 * i / rate))) & 0xffff, 2);
    return wav;
}

// The 32-bit little-endian number at `at` of `bytes`.
uint32_t le32(const std::string &bytes, size_t at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(bytes[at + size_t(i)]);
    return v;
}

struct WindowsDesktop : e2e::WindowsProgramDesktop {
    WindowsDesktop()
    {
        program.put("Set1/F1", "Hello from Windows, 42 times!\r\n# a comment types nothing\r\n'wave\r\n"
                               "%delay=\"1500\"%\r\n"
                               "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~ (ok) 100%\r\n");
        program.put("Set2/F1", "from set two\r\n");
        program.put("Set1/F2", "before the stop\r\n%delay=\"3000\"%\r\nafter the stop\r\n");
        program.put("Set1/F3", "three\r\n");
        program.put("Set1/F5", "five\r\n");
        program.put("media/tone.wav", toneWav(3));
        program.put("media/notes.txt", "not a sound\r\n");
        program.put("Set1/F7", "%media=\"tone.wav\"%\r\nthe tone plays\r\n");
        program.put("Set1/F9", "shared from Windows\r\n'wave");
        program.put("Set1/F11", "Bob: my line\r\nNarrator: not mine\r\n%delay=\"300\"%\r\nBob:second (x)\r\n");
        fs::create_directory(app.path() + "/ScreenShots");
        if (wine.run({"reg", "add", "HKCU\\Software\\Quillmere\\Zibbles\\LiveShare", "/v", "Host", "/t", "REG_SZ",
                      "/d", share.host(), "/f"},
                     60s) != 0)
            throw std::runtime_error("wine reg add did not store the live-share host");
        program.start();
    }

    e2e::ShareServer share{home};
};

class WindowsProgramE2E : public e2e::WineSuite<WindowsDesktop> {
protected:
    static void SetUpTestSuite() { startDesktop(); }

    WindowsDesktop &d() { return *s_desktop; }

    // The lines logged since the test began, after a quiet spell.
    Lines newLinesAfterAWhile(std::chrono::milliseconds spell = 1500ms)
    {
        std::this_thread::sleep_for(spell);
        return newLines(0);
    }
    // The lines logged since the test began, once none came for 2 s.
    Lines newLinesWhenQuiet()
    {
        Lines lines = newLines(0);
        for (Clock::time_point end = Clock::now() + 60s; Clock::now() < end;) {
            const Lines later = newLinesAfterAWhile(2s);
            if (later == lines)
                break;
            lines = later;
        }
        return lines;
    }
    void click(const e2e::WindowInfo &window, int x, int y)
    {
        auto *display = static_cast<Display *>(d().probe.display());
        // Wine takes a button for the control under the pointer it last
        // saw: the pointer arrives first, then the click.
        XTestFakeMotionEvent(display, 0, window.x + x, window.y + y, CurrentTime);
        XSync(display, False);
        std::this_thread::sleep_for(200ms);
        XTestFakeButtonEvent(display, 1, True, CurrentTime);
        XSync(display, False);
        std::this_thread::sleep_for(50ms);
        XTestFakeButtonEvent(display, 1, False, CurrentTime);
        XSync(display, False);
    }
    // The window once it is shown and has stayed where it is for 300 ms: the
    // window manager and Wine place a new window after it maps, and a click
    // at its first place would miss.
    e2e::WindowInfo waitForWindow(const std::string &title)
    {
        e2e::WindowInfo window, before;
        e2e::waitFor([&] {
            before = window;
            window = d().probe.findWindow(title);
            if (!window.id || !window.viewable)
                return false;
            if (before.id == window.id && before.x == window.x && before.y == window.y &&
                before.width == window.width && before.height == window.height)
                return true;
            std::this_thread::sleep_for(300ms);
            return false;
        }, 20s);
        return window;
    }
    // Keys go to the window that has the keyboard focus, which a window that
    // has just come up may not have yet.
    bool waitForFocus(const e2e::WindowInfo &window)
    {
        return e2e::waitFor([&] {
            Window focus = None;
            int revert = 0;
            XGetInputFocus(static_cast<Display *>(d().probe.display()), &focus, &revert);
            return window.id != 0 && focus == window.id;
        }, 20s);
    }
    bool waitUntilGone(const std::string &title)
    {
        return e2e::waitFor([&] { return !d().probe.findWindow(title).viewable; }, 20s);
    }
    // A value of the program's key in the registry, as `reg query` prints it
    // ("REG_DWORD    0x1"); empty when it is missing.
    std::string registryValue(const std::string &key, const std::string &name)
    {
        std::string output;
        if (d().wine.run({"reg", "query", key, "/v", name}, 60s, &output) != 0)
            return {};
        std::smatch value;
        if (!std::regex_search(output, value, std::regex(name + "\\s+(REG_\\w+)\\s+(.*?)\\r?\\n")))
            return {};
        return value[1].str() + " " + value[2].str();
    }
    // Types `text` (letters, digits) into the window that has the focus.
    void typeKeys(const std::string &text)
    {
        for (const char c : text) {
            if (std::isupper(static_cast<unsigned char>(c)))
                d().probe.tapKey(std::string(1, c), {"Shift_L"});
            else
                d().probe.tapKey(std::string(1, c));
        }
    }
    // Chooses item `downs` (from 1) of the menu that the Live Share button
    // opens.
    void chooseLiveShareItem(int downs)
    {
        click(waitForWindow(kMainTitle), 212, 91);
        std::this_thread::sleep_for(700ms);
        for (int i = 0; i < downs; ++i)
            d().probe.tapKey("Down");
        d().probe.tapKey("Return");
    }
    // Shows the slot `k` in the editor, as its button at the bottom does.
    void selectSlot(int k) { click(waitForWindow(kMainTitle), 24 + 32 * (k - 1) + 13, 427); }
    // Answers the message box that comes up with its default button; its
    // window was found.
    bool acceptMessageBox()
    {
        if (!waitForFocus(waitForWindow("Zibbles")))
            return false;
        d().probe.tapKey("Return");
        return waitUntilGone("Zibbles");
    }
};

} // namespace

TEST_F(WindowsProgramE2E, StartsWithItsWindowAndTheTenSetFoldersBesideTheProgram)
{
    EXPECT_TRUE(d().probe.findWindow(kMainTitle).viewable);
    for (int n = 1; n <= 10; ++n)
        EXPECT_TRUE(fs::is_directory(d().app.path() + "/Set" + std::to_string(n))) << "Set" << n;
}

TEST_F(WindowsProgramE2E, AFunctionKeyTypesChatAndEmoteLinesExactlyAndWaitsTheDelay)
{
    press("F1");
    const Lines typed = newLines(2);
    const Clock::time_point afterTheEmote = Clock::now();
    const Lines all = newLines(3);
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - afterTheEmote);
    EXPECT_EQ(typed, (Lines{"Hello from Windows, 42 times!", "'wave"}));
    EXPECT_EQ(all, (Lines{"Hello from Windows, 42 times!", "'wave", "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~ (ok) 100%"}));
    // From the emote's Enter to the next line's: the delay and that line's typing.
    EXPECT_GE(waited.count(), 1400);
    EXPECT_LE(waited.count(), 4000);
}

TEST_F(WindowsProgramE2E, ShiftFunctionKeysSelectTheSetThatFunctionKeysPlay)
{
    press("F2", {"Shift_L"});
    press("F1");
    EXPECT_EQ(newLines(1), (Lines{"from set two"}));
    press("F1", {"Shift_L"});
    press("F1");
    const Lines lines = newLines(2); // may already hold more of set 1's F1
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[1], "Hello from Windows, 42 times!");
    newLines(4); // the rest of set 1's F1
}

TEST_F(WindowsProgramE2E, TheFiveScriptErrorsAreTypedWithTheirTexts)
{
    const std::string media = d().program.windowsFolder() + "media\\";
    const std::vector<std::pair<std::string, std::string>> errors = {
        {"%delay=\"1000", "ZIBBLES: Structure command error on line: 2 please check your scripting."},
        {"%delay=\"soon\"%", "ZIBBLES: Structure command error on line:2 0 delay please check your scripting."},
        {"%delay=\"30001\"%", "ZIBBLES: Structure command error on line:2 delay > 30000 please check your scripting."},
        {"%media=\"missing.wav\"%", "ZIBBLES: Structure command error on line:2 file \"" + media + "missing.wav\" not found."},
        {"%media=\"notes.txt\"%",
         "ZIBBLES: Structure command error on line:2 file \"" + media + "notes.txt\" is not a .wav or .mp3 file."},
    };
    Lines expected;
    for (size_t i = 0; i < errors.size(); ++i) {
        d().program.put("Set3/F" + std::to_string(i + 1), "# the faulty line is line 2\r\n" + errors[i].first + "\r\n");
        // What an error leaves in the chat entry goes out with the next line.
        expected.push_back((i ? kHmmm : "") + errors[i].second);
    }
    d().program.put("Set3/F6", "and the next line\r\n");
    expected.push_back(kHmmm + std::string("and the next line"));

    press("F3", {"Shift_L"});
    for (size_t i = 0; i < expected.size(); ++i) {
        press("F" + std::to_string(i + 1));
        ASSERT_EQ(newLines(i + 1).size(), i + 1) << "F" << i + 1;
        // The run goes on after the error's line, typing the apostrophe line
        // into the entry: a press before it is done would stop that run
        // rather than start the next.
        std::this_thread::sleep_for(2s);
    }
    EXPECT_EQ(newLines(expected.size()), expected);
    press("F1", {"Shift_L"});
}

TEST_F(WindowsProgramE2E, AHotkeyDuringADelayStopsTheRunBeforeItsNextLineAndStartsNothing)
{
    press("F2");
    EXPECT_EQ(newLines(1), (Lines{"before the stop"}));
    press("F3"); // during the delay
    std::this_thread::sleep_for(3000ms); // past the delay's end
    EXPECT_EQ(newLinesAfterAWhile(), (Lines{"before the stop"}))
        << "the run stopped before \"after the stop\", and F3 started nothing";
    press("F3");
    EXPECT_EQ(newLines(2), (Lines{"before the stop", "three"})) << "the next press plays";
}

TEST_F(WindowsProgramE2E, AHotkeyWhileALongZibbleTypesStopsItBetweenWholeLines)
{
    Lines script;
    std::string zibble;
    for (int i = 0; i < 40; ++i) {
        script.push_back("line " + std::to_string(i) + ": Mixed CASE and (shifted) symbols !@#$%^&*_+{}|:\"<>? ok");
        zibble += script.back() + "\r\n";
    }
    d().program.put("Set1/F4", zibble);
    press("F4");
    ASSERT_GE(newLines(3).size(), 3u);
    press("F3");
    const Lines typed = newLinesWhenQuiet();
    ASSERT_LT(typed.size(), script.size()) << "the press did not stop the run";
    for (size_t i = 0; i < typed.size(); ++i)
        EXPECT_EQ(typed[i], script[i]) << "line " << i;
}

TEST_F(WindowsProgramE2E, PageUpTogglesSleepModeWhoseEmoteComesEvery3300Ms)
{
    press("Prior");
    EXPECT_EQ(newLines(1), (Lines{"Sleep mode active. Press hotkey again to come back."}));
    const Clock::time_point announced = Clock::now();
    EXPECT_EQ(newLines(2).back(), "'''z'");
    const auto first = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - announced);
    EXPECT_GE(first.count(), 3000);
    EXPECT_LE(first.count(), 4500);
    press("Prior");
    const Lines lines = newLines(3);
    EXPECT_EQ(lines.back(), "Back!");
    EXPECT_EQ(newLinesAfterAWhile(3600ms).size(), 3u) << "the emote goes on after Back!";
}

TEST_F(WindowsProgramE2E, ThePrintScreenHotkeyStoresTheScreenAsABitmapFile)
{
    const std::string shots = d().app.path() + "/ScreenShots";
    ASSERT_TRUE(fs::is_empty(shots));
    ASSERT_EQ(d().wine.run({e2e::binDir() + "/wine-hotkey.exe", kMainTitle, "HotKeyManagerHotKey44", "0", "44"}, 60s), 0)
        << "no window of the program took the hotkey message of Print Screen";
    std::string bytes;
    fs::path shot;
    ASSERT_TRUE(e2e::waitFor([&] {
        for (const auto &entry : fs::directory_iterator(shots)) {
            if (entry.path().string().find(".tmp") != std::string::npos)
                continue; // the file being written, before it takes its name
            bytes = e2e::readFile(entry.path().string());
            shot = entry.path();
            if (bytes.size() >= 54 && le32(bytes, 2) == bytes.size())
                return true;
        }
        return false;
    }, 20s)) << "no whole screenshot was stored";
    EXPECT_TRUE(std::regex_match(shot.filename().string(), std::regex("20[0-9]{6}-[0-9]{1,8}\\.bmp")))
        << shot.filename();
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(le32(bytes, 18), 1024u);
    EXPECT_EQ(le32(bytes, 22), 768u);
    const unsigned depth = static_cast<unsigned char>(bytes[28]);
    EXPECT_TRUE(depth == 24 || depth == 32) << depth << " bits per pixel on a 24-bit display";
}

TEST_F(WindowsProgramE2E, AMediaLinePlaysItsSoundWhileTheZibbleGoesOn)
{
    ASSERT_EQ(d().sound.streams().find("Sink Input"), std::string::npos) << d().sound.streams();
    press("F7");
    EXPECT_EQ(newLines(1), (Lines{"the tone plays"}));
    EXPECT_TRUE(e2e::waitFor([&] { return d().sound.streams().find("Sink Input") != std::string::npos; }, 3s))
        << "no sound reached the sound server";
}

TEST_F(WindowsProgramE2E, TheOptionsDialogWritesTheWantedKeysToTheRegistry)
{
    EXPECT_EQ(registryValue(kFunctionKeys, "F5"), "") << "stored before the dialog was used";
    press("F5");
    EXPECT_EQ(newLines(1), (Lines{"five"}));

    click(waitForWindow(kMainTitle), 368, 75);
    const e2e::WindowInfo dialog = waitForWindow("Zibble Options");
    ASSERT_TRUE(dialog.viewable) << "the options dialog never showed";
    click(dialog, 68, 161); // the box F5
    click(dialog, 291, 379); // OK
    ASSERT_TRUE(waitUntilGone("Zibble Options"));

    EXPECT_EQ(registryValue(kFunctionKeys, "F5"), "REG_DWORD 0x0")
        << "dialog at " << dialog.x << "," << dialog.y << " " << dialog.width << "x" << dialog.height;
    EXPECT_EQ(registryValue(kFunctionKeys, "F6"), "REG_DWORD 0x1");
    EXPECT_EQ(registryValue(kFunctionKeys, "SF10"), "REG_DWORD 0x1");
    press("F5");
    EXPECT_EQ(newLinesAfterAWhile(), (Lines{"five"})) << "F5 is no hotkey any more";
}

TEST_F(WindowsProgramE2E, LiveShareUploadsTheActiveZibbleAndDownloadsItByItsId)
{
    const std::string text = "shared from Windows\r\n'wave";
    selectSlot(9);
    std::this_thread::sleep_for(500ms);
    chooseLiveShareItem(1);
    ASSERT_TRUE(waitForFocus(waitForWindow("Zibbles Live Share - Upload Zibble")));
    d().probe.tapKey("Return"); // Connect Now
    ASSERT_TRUE(acceptMessageBox()) << "no message of success; the server saw: " << d().share.requests();
    std::smatch id;
    std::string uploaded;
    ASSERT_TRUE(e2e::waitFor([&] {
        uploaded = d().program.file("Set1/F9");
        return std::regex_search(uploaded, id, std::regex("^# Available Via Zibbles Live Share: ([A-Z])-([0-9]+)\r\n"));
    }, 20s)) << uploaded;
    const std::string header = kShareHeader + id[1].str() + "-" + id[2].str() + "\r\n";
    EXPECT_EQ(uploaded, header + text);

    selectSlot(10);
    std::this_thread::sleep_for(500ms);
    chooseLiveShareItem(2);
    ASSERT_TRUE(acceptMessageBox()) << "no question whether to replace the slot";
    ASSERT_TRUE(waitForFocus(waitForWindow("Zibbles Live Share - Get Zibble")));
    typeKeys(id[1].str());
    d().probe.tapKey("Tab");
    typeKeys(id[2].str());
    d().probe.tapKey("Tab"); // Get Zibble Now
    d().probe.tapKey("space");
    ASSERT_TRUE(acceptMessageBox()) << "no message of success; the server saw: " << d().share.requests();
    EXPECT_TRUE(e2e::waitFor([&] { return d().program.file("Set1/F10") == header + text; }, 20s))
        << d().program.file("Set1/F10");
    EXPECT_NE(d().share.requests().find(" GET /zibbles/liveshare/download.asp 200 "), std::string::npos)
        << d().share.requests();
}

// Last: the program is started again to read the performers settings.
TEST_F(WindowsProgramE2E, AfterARestartPerformersModeTypesOnlyTheCharactersLinesAndTheOptionsHold)
{
    d().program.stop();
    const std::string advanced = "HKCU\\Software\\Quillmere\\Zibbles\\Advanced";
    ASSERT_EQ(d().wine.run({"reg", "add", advanced, "/v", "DirectorMode", "/t", "REG_DWORD", "/d", "1", "/f"}, 60s), 0);
    ASSERT_EQ(d().wine.run({"reg", "add", advanced, "/v", "CharName", "/t", "REG_SZ", "/d", "Bob", "/f"}, 60s), 0);
    ASSERT_NO_THROW(d().program.start());

    press("F11");
    EXPECT_EQ(newLines(2), (Lines{"my line", "second (x)"}));
    press("F5");
    press("Prior"); // sleep mode's lines are not Bob's
    EXPECT_EQ(newLinesAfterAWhile(), (Lines{"my line", "second (x)"})) << "F5 is still no hotkey";
    press("Prior");
}
