// The keystroke sender: the exact key events of the key table, window
// activation, and the release of modifiers a text leaves pressed.
#include "fakes/fakedesktop.h"
#include "fakes/fakepump.h"

#include "playback/sendkeys.h"

#include <gtest/gtest.h>

using namespace zibbles;
using namespace zibbles::testing;

namespace {

using Events = std::vector<KeyEventRecord>;

Events tap(uint8_t vk)
{
    return {{vk, fakeScan(vk), false}, {vk, fakeScan(vk), true}};
}

Events shifted(uint8_t vk)
{
    return {{16, 42, false}, {vk, fakeScan(vk), false}, {vk, fakeScan(vk), true}, {16, 42, true}};
}

Events operator+(Events a, const Events &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

KeyEventRecord modifier(uint8_t vk, bool up)
{
    return {vk, fakeScan(vk), up};
}

class SendkeysTest : public ::testing::Test {
protected:
    FakeDesktop desktop;
    FakePump pump;
    TSendkeys sendkeys{desktop, pump};
};

TEST_F(SendkeysTest, ChatLineTypesLettersThenVirtualKey10AndEnter)
{
    sendkeys.SendKeys("hi\n\r");
    EXPECT_EQ(desktop.events, tap('H') + tap('I') + tap(10) + tap(13));
    EXPECT_EQ(desktop.keymapRefreshes, 1);
    EXPECT_EQ(pump.processPendingCalls, 4); // one dispatch per character
}

TEST_F(SendkeysTest, UpperCaseAndPunctuationAreTypedWithShiftAroundTheKey)
{
    sendkeys.SendKeys("Hi!");
    EXPECT_EQ(desktop.events, shifted('H') + tap('I') + shifted('1'));
}

TEST_F(SendkeysTest, ControlBytesAndKeyCodesUseTheirFixedKeys)
{
    const std::string text = {'\b', '\t', '\x1b', char(228), char(233), char(239), char(240), char(241),
                              char(242), char(243), char(244), char(245), char(246), char(247), char(248),
                              char(249)};
    sendkeys.SendKeys(text);
    Events expected;
    for (uint8_t vk : {8, 9, 27, 112, 117, 123, 36, 35, 38, 40, 37, 39, 33, 34, 45, 46})
        expected = expected + tap(vk);
    EXPECT_EQ(desktop.events, expected);
}

TEST_F(SendkeysTest, ACharacterOnAltGrIsTypedWithAltGrAroundTheKeyAndShiftInside)
{
    sendkeys.SendKeys("@|");
    const Events altGr = {modifier(0xA5, false), modifier('Q', false), modifier('Q', true), modifier(0xA5, true)};
    const Events both = {modifier(0xA5, false), {16, 42, false}, modifier(0xE2, false), modifier(0xE2, true),
                         {16, 42, true}, modifier(0xA5, true)};
    EXPECT_EQ(desktop.events, altGr + both);
    EXPECT_GE(pump.nowMs(), 2 * 60) << "a pause after each, for Wine";
    // A modifier that the text holds itself leaves the key bare.
    desktop.events.clear();
    sendkeys.SendKeys(std::string{char(252), '@', char(253)});
    EXPECT_EQ(desktop.events, Events{modifier(17, false)} + tap('Q') + Events{modifier(17, true)});
}

TEST_F(SendkeysTest, ACharacterTheLayoutLacksIsVirtualKey255WithShift)
{
    sendkeys.SendKeys("~");
    EXPECT_EQ(desktop.events, shifted(255));
}

TEST_F(SendkeysTest, AHeldModifierSuppressesTheAutomaticShift)
{
    sendkeys.SendKeys(std::string{char(250), 'A', char(251), 'A'});
    EXPECT_EQ(desktop.events, Events{modifier(16, false)} + tap('A') + Events{modifier(16, true)} + shifted('A'));
}

TEST_F(SendkeysTest, ModifiersLeftPressedAreReleasedAtTheEndOfTheText)
{
    sendkeys.SendKeys(std::string{char(252), char(254), 'a'});
    const Events pressed = {modifier(17, false), modifier(18, false)};
    const Events released = {modifier(17, true), modifier(18, true)};
    EXPECT_EQ(desktop.events, pressed + tap('A') + released);

    desktop.events.clear();
    sendkeys.SendKeys(std::string{char(250), 'a', char(251)});
    EXPECT_EQ(desktop.events, Events{modifier(16, false)} + tap('A') + Events{modifier(16, true)});
}

TEST_F(SendkeysTest, EveryTextReadsTheKeymapAfreshAndAnEmptyOneTypesNothing)
{
    sendkeys.SendKeys("");
    sendkeys.SendKeys("a");
    EXPECT_EQ(desktop.keymapRefreshes, 2);
    EXPECT_EQ(desktop.events, tap('A'));
}

TEST_F(SendkeysTest, TextTypedByAHandlerDuringDispatchComesInFullBetweenTwoCharacters)
{
    bool once = false;
    pump.at(0, [&] {
        if (!once) {
            once = true;
            sendkeys.SendKeys("z");
        }
    });
    sendkeys.SendKeys("ab");
    EXPECT_EQ(desktop.events, tap('A') + tap('Z') + tap('B'));
}

TEST_F(SendkeysTest, WindowsAreFoundByTitleUpTo255CharactersAndActivated)
{
    const std::string longTitle(300, 'T');
    desktop.windows = {{std::string(255, 'T'), 5}, {"There", 9}};
    EXPECT_EQ(sendkeys.GetHandleFromWindowTitle(longTitle), 5u);
    EXPECT_EQ(sendkeys.GetHandleFromWindowTitle(std::string("There\0 (OGL)", 12)), 9u);
    EXPECT_EQ(sendkeys.GetHandleFromWindowTitle("There (DX9)"), 0u);

    desktop.iconic = {5};
    sendkeys.MakeWindowActive(5);
    sendkeys.MakeWindowActive(9);
    EXPECT_EQ(desktop.activations, (std::vector<std::string>{"restore 5", "raise 9"}));
}

} // namespace

// What the desktop says at each look decides whether typing waits, and
// what is taken back with BackSpace and typed again.
TEST_F(SendkeysTest, TypingWaitsOutTheUsersKeysAndTypesAgainWhatTheirShiftChanged)
{
    struct Case {
        const char *what;
        int holdsFor;                              // looks at which the user still holds a key
        std::vector<std::optional<size_t>> looks;  // keysToTypeAgain's answers, then 0
        std::string typed;
    };
    const std::vector<Case> cases = {
        {"nothing held", 0, {}, "abc"},
        {"a modifier held at the start", 3, {}, "abc"},
        {"Shift changed the last two", 0, {2}, "abc<8><8>bc"},
        {"more changed than typed since the look", 0, {9}, "abc<8><8><8>abc"},
        {"changed again while typed again", 0, {2, 1}, "abc<8><8>bc<8>c"},
        {"a hotkey held at the look, then Shift", 0, {std::nullopt, 1}, "abc<8>c"},
    };
    for (const Case &c : cases) {
        FakeDesktop desk;
        FakePump clock;
        TSendkeys keys(desk, clock);
        int held = c.holdsFor;
        size_t look = 0;
        desk.userModifier = [&] { return held > 0 && held--; };
        desk.toTypeAgain = [&]() -> std::optional<size_t> { return look < c.looks.size() ? c.looks[look++] : 0; };
        keys.SendKeys("abc");
        EXPECT_EQ(desk.typedText(), c.typed) << c.what;
        EXPECT_EQ(look, c.looks.size()) << c.what;
        EXPECT_GE(clock.waits, c.holdsFor) << c.what << ": a wait blocks in the pump";
    }
}
