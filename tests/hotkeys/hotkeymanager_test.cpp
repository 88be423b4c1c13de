// The hotkey component over a recording desktop, the set-up pass and the
// dispatcher.
#include "fakes/fakeglobalhotkeys.h"
#include "fakes/tempdir.h"

#include "core/programsettings.h"
#include "hotkeys/hotkeycode.h"
#include "hotkeys/hotkeydispatch.h"
#include "hotkeys/hotkeymanager.h"
#include "platform/atomicfile.h"
#include "platform/userstore.h"

#include <gtest/gtest.h>

#include <set>

using namespace zibbles;
using zibbles::testing::FakeGlobalHotkeys;
using zibbles::testing::TempDir;

namespace {

using Combinations = std::vector<std::pair<unsigned, unsigned>>;

// Every combination the program binds, in the order it registers them.
Combinations allProgramKeys()
{
    Combinations keys;
    for (unsigned n = 0; n < 12; ++n)
        keys.emplace_back(0, 112 + n);
    for (unsigned n = 0; n < 10; ++n)
        keys.emplace_back(ModShift, 112 + n);
    keys.emplace_back(0, 33);
    keys.emplace_back(0, 44);
    return keys;
}

struct Pressed {
    uint32_t code;
    uint16_t index;
    bool operator==(const Pressed &) const = default;
};

} // namespace

TEST(HotKeyManager, RegistersUnderUniqueIdentifiersAndLeavesRefusalsOut)
{
    FakeGlobalHotkeys desktop;
    desktop.heldElsewhere.insert({0, 113}); // F2 belongs to another program
    THotKeyManager manager(&desktop);

    const uint16_t f1 = manager.RegisterGlobalHotkey(112);
    const uint16_t f2 = manager.RegisterGlobalHotkey(113);
    const uint16_t shiftF1 = manager.RegisterGlobalHotkey(8304);
    const uint16_t again = manager.RegisterGlobalHotkey(112);
    EXPECT_NE(f1, 0);
    EXPECT_EQ(f2, 0);
    EXPECT_NE(shiftF1, 0);
    EXPECT_NE(shiftF1, f1);
    EXPECT_EQ(again, 0) << "a combination registered already is refused";
    EXPECT_EQ(manager.entries(), (std::vector<HotkeyEntry>{{112, f1}, {8304, shiftF1}}));
    EXPECT_EQ(desktop.combinations(), (Combinations{{0, 112}, {ModShift, 112}}));

    // Identifiers stay unique while entries come and go.
    manager.UnregisterAllHotkeys();
    std::set<uint16_t> ids;
    for (const auto &[modifiers, vk] : allProgramKeys())
        if (modifiers != 0 || vk != 113)
            ids.insert(manager.RegisterGlobalHotkey(ComposeHotkey(modifiers, vk)));
    EXPECT_EQ(ids.size(), 23u);
    EXPECT_EQ(ids.count(0), 0u);
}

TEST(HotKeyManager, UnregistersLastToFirstAndEmptiesTheListWhateverTheAnswer)
{
    FakeGlobalHotkeys desktop;
    THotKeyManager manager(&desktop);
    const uint16_t a = manager.RegisterGlobalHotkey(112);
    const uint16_t b = manager.RegisterGlobalHotkey(33);
    const uint16_t c = manager.RegisterGlobalHotkey(44);
    desktop.registered.erase(desktop.registered.begin() + 1); // the desktop lost Page Up
    manager.UnregisterAllHotkeys();
    EXPECT_EQ(desktop.unregistered, (std::vector<uint16_t>{c, b, a}));
    EXPECT_TRUE(manager.entries().empty());
    EXPECT_TRUE(desktop.registered.empty());

    manager.UnregisterAllHotkeys();
    EXPECT_EQ(desktop.unregistered.size(), 3u) << "nothing left to unregister";
}

TEST(HotKeyManager, RaisesItsEventOnlyForListedCodes)
{
    FakeGlobalHotkeys desktop;
    std::vector<Pressed> pressed;
    {
        THotKeyManager manager(&desktop);
        const uint16_t shiftF2 = manager.RegisterGlobalHotkey(8305);
        EXPECT_TRUE(desktop.press(ModShift, 113)) << "no handler attached: ignored";
        manager.OnHotKeyPressed = [&](uint32_t code, uint16_t index) { pressed.push_back({code, index}); };
        desktop.press(ModShift, 113);
        desktop.press(0, 113);
        // A message for a code the list does not hold is ignored.
        desktop.onHotKey(0xC123, ModCtrl, 'A');
        EXPECT_EQ(pressed, (std::vector<Pressed>{{8305, shiftF2}}));
    }
    EXPECT_TRUE(desktop.registered.empty()) << "destroying the component unregisters everything";
    EXPECT_FALSE(desktop.onHotKey);
}

TEST(HotKeyManager, WithoutADesktopEveryRegistrationIsRefused)
{
    THotKeyManager manager(nullptr);
    EXPECT_EQ(manager.RegisterGlobalHotkey(112), 0);
    manager.UnregisterAllHotkeys();
    EXPECT_TRUE(manager.entries().empty());
}

namespace {

class SetUpHotkeysTest : public ::testing::Test {
protected:
    void storeValues(const std::string &lines)
    {
        ASSERT_TRUE(writeFileAtomically(dir.file("user.reg"),
                                        "Windows Registry Editor Version 5.00\r\n\r\n"
                                        "[HKEY_CURRENT_USER\\Software\\Quillmere\\Zibbles\\FunctionKeys]\r\n" +
                                            lines));
    }
    Combinations setUp()
    {
        setUpHotkeys(manager, store, settings);
        return desktop.combinations();
    }

    TempDir dir;
    UserStore store{dir.file("user.reg")};
    ProgramSettings settings;
    FakeGlobalHotkeys desktop;
    THotKeyManager manager{&desktop};
};

} // namespace

TEST_F(SetUpHotkeysTest, RegistersEveryWantedKeyAndOnlyThose)
{
    EXPECT_EQ(setUp(), allProgramKeys()) << "nothing stored: every hotkey";
    EXPECT_EQ(desktop.expected, allProgramKeys()) << "announced first, in registration order";
    EXPECT_EQ(setUp(), allProgramKeys()) << "a second pass leaves the same set";
    EXPECT_EQ(manager.entries().size(), 24u);

    storeValues("\"F1\"=dword:1\r\n\"F2\"=dword:0\r\n\"F3\"=dword:1\r\n\"F4\"=dword:1\r\n\"F5\"=dword:1\r\n");
    Combinations withoutF2 = allProgramKeys();
    withoutF2.erase(withoutF2.begin() + 1);
    EXPECT_EQ(setUp(), withoutF2);

    std::string allOff;
    for (const char *name : {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12", "SF1",
                             "SF2", "SF3", "SF4", "SF5", "SF6", "SF7", "SF8", "SF9", "SF10", "AF1", "AF2"})
        allOff += std::string("\"") + name + "\"=dword:0\r\n";
    EXPECT_EQ(setUp().size(), 23u);
    storeValues(allOff);
    EXPECT_EQ(setUp(), Combinations{}) << "every option off";
    EXPECT_TRUE(manager.entries().empty());

    storeValues(allOff.replace(allOff.find("\"AF2\"=dword:0"), 13, "\"AF2\"=dword:1"));
    EXPECT_EQ(setUp(), (Combinations{{0, 44}}));
}

TEST_F(SetUpHotkeysTest, AKeyHeldElsewhereIsLeftOutAndTheOthersRegistered)
{
    desktop.heldElsewhere.insert({ModShift, 116}); // Shift+F5
    Combinations expected = allProgramKeys();
    expected.erase(expected.begin() + 16);
    EXPECT_EQ(setUp(), expected);
    EXPECT_EQ(desktop.registerCalls, 24);
    EXPECT_EQ(desktop.expected.size(), 24u) << "the held key is announced and asked for too";
}

namespace {

struct RecordingActions : HotkeyActions {
    void runZibble(const std::string &slotKey) override { calls.push_back("RunZibble " + slotKey); }
    void toggleSleepMode() override { calls.push_back("ToggleSleepMode"); }
    void selectSet(int set) override { calls.push_back("SelectSet " + std::to_string(set)); }
    void saveScreenshot() override { calls.push_back("SaveScreenshot"); }
    std::vector<std::string> calls;
};

} // namespace

TEST(Dispatcher, TurnsEachRegisteredCodeIntoItsAction)
{
    std::vector<std::pair<uint32_t, std::string>> table{{33, "ToggleSleepMode"}, {44, "SaveScreenshot"}};
    for (int n = 1; n <= 12; ++n)
        table.emplace_back(111 + n, "RunZibble F" + std::to_string(n));
    for (int n = 1; n <= 10; ++n)
        table.emplace_back(8303 + n, "SelectSet " + std::to_string(n));

    for (const auto &[code, action] : table) {
        RecordingActions actions;
        bool stop = false;
        dispatchHotkey(code, false, stop, actions);
        EXPECT_EQ(actions.calls, std::vector<std::string>{action}) << code;
        EXPECT_FALSE(stop);
    }
    for (uint32_t other : {0u, 32u, 34u, 111u, 124u, 8314u, 8315u, 8303u, 0x4070u, 0x2021u}) {
        RecordingActions actions;
        bool stop = false;
        dispatchHotkey(other, false, stop, actions);
        EXPECT_TRUE(actions.calls.empty()) << other;
        EXPECT_FALSE(stop);
    }
}

TEST(Dispatcher, WhileAZibbleRunsEveryHotkeyOnlyAsksItToStop)
{
    for (uint32_t code : {33u, 44u, 112u, 114u, 123u, 8304u, 8313u}) {
        RecordingActions actions;
        bool stop = false;
        dispatchHotkey(code, true, stop, actions);
        EXPECT_TRUE(stop) << code;
        EXPECT_TRUE(actions.calls.empty()) << code;
        dispatchHotkey(code, true, stop, actions);
        EXPECT_TRUE(stop) << "a second press changes nothing";
    }
    // Outside a run a press leaves a pending stop alone.
    RecordingActions actions;
    bool stop = true;
    dispatchHotkey(112, false, stop, actions);
    EXPECT_TRUE(stop);
    EXPECT_EQ(actions.calls, std::vector<std::string>{"RunZibble F1"});
}
