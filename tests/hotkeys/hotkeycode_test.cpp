// The hotkey code, key names and the key-text parser.
#include "hotkeys/hotkeycode.h"
#include "hotkeys/hotkeyparser.h"
#include "hotkeys/keynames.h"

#include <gtest/gtest.h>

#include <random>

using namespace zibbles;

TEST(HotkeyCode, ComposeAndSplitAreInverse)
{
    EXPECT_EQ(ComposeHotkey(0, 112), 112u);
    EXPECT_EQ(ComposeHotkey(ModShift, 112), 0x2070u);
    EXPECT_EQ(ComposeHotkey(ModCtrl | ModAlt, 'A'), 49217u);
    EXPECT_EQ(ComposeHotkey(ModWin, 33), 0x10021u);
    EXPECT_EQ(ComposeHotkey(ModAlt | ModCtrl | ModShift | ModWin, 255), 0x1E0FFu);

    for (unsigned modifiers = 0; modifiers < 16; ++modifiers)
        for (unsigned key = 0; key < 256; ++key) {
            const uint32_t code = ComposeHotkey(modifiers, key);
            EXPECT_EQ(SplitHotkey(code), (SplitCode{modifiers, key})) << code;
        }
    EXPECT_EQ(SplitHotkey(0x1000 | 0x0100 | 44), (SplitCode{0, 44})) << "other bits are not read";
}

TEST(KeyNames, FunctionKeysAreNamedOnlyAt112To123)
{
    for (unsigned n = 1; n <= 12; ++n) {
        const std::string name = "F" + std::to_string(n);
        EXPECT_EQ(KeyName(111 + n), name);
        EXPECT_EQ(FindKeyByName(name), 111 + n);
        for (unsigned key = 0; key < 112; ++key)
            EXPECT_FALSE(sameTextIgnoringCase(KeyName(key), name)) << key;
    }
    EXPECT_EQ(KeyName(16), "Shift");
    EXPECT_EQ(KeyName(17), "Ctrl");
    EXPECT_EQ(KeyName(18), "Alt");
    EXPECT_EQ(KeyName(33), "Page Up");
    EXPECT_EQ(KeyName(7), "");
    EXPECT_EQ(KeyName(256), "");
    EXPECT_EQ(FindKeyByName("page up"), 33u);
    EXPECT_EQ(FindKeyByName(""), 0u);
    EXPECT_EQ(FindKeyByName("Hyper"), 0u);
}

TEST(KeyNames, WinNameIsCapitalisedWhenTheAltNameIs)
{
    EXPECT_EQ(winNameFor("Alt"), "Win");
    EXPECT_EQ(winNameFor("ALT"), "WIN");
    EXPECT_EQ(winNameFor(""), "WIN");
    EXPECT_EQ(winNameFor("ALT GR"), "Win"); // a blank is not a capital
    const LocalModifierNames names = localModifierNames();
    EXPECT_EQ(names.shift, "Shift");
    EXPECT_EQ(names.ctrl, "Ctrl");
    EXPECT_EQ(names.alt, "Alt");
    EXPECT_EQ(names.win, "Win");
}

TEST(KeyText, SplitsAtPlusAndLineBreaksButNotInsideQuotes)
{
    using Words = std::vector<std::string>;
    EXPECT_EQ(splitKeyText("Shift + F10"), (Words{"Shift", "F10"}));
    EXPECT_EQ(splitKeyText("  ctrl\r\n+ alt++a  "), (Words{"ctrl", "alt", "a"}));
    EXPECT_EQ(splitKeyText("\"a+b\"+'+'"), (Words{"\"a+b\"", "'+'"}));
    EXPECT_EQ(splitKeyText("\"a+b"), (Words{"\"a", "b"})); // no closing mark: an ordinary character
    EXPECT_EQ(splitKeyText("'x\n+y'"), (Words{"'x", "y'"})); // a line break ends a word inside quotes too
    EXPECT_EQ(splitKeyText(" + \n + "), Words{});
    EXPECT_EQ(splitKeyText(""), Words{});
}

TEST(KeyText, ParsesTheProgramsKeyTexts)
{
    EXPECT_EQ(ParseHotkeyText("F1"), 112u);
    EXPECT_EQ(ParseHotkeyText("shift+F1"), 8304u);
    EXPECT_EQ(ParseHotkeyText("Shift + F10"), 8313u);
    EXPECT_EQ(ParseHotkeyText("ctrl+alt+a"), 49217u);
    EXPECT_EQ(ParseHotkeyText("CTRL+ALT+A"), 49217u);
    EXPECT_EQ(ParseHotkeyText("win+shift+shift+7"), ComposeHotkey(ModWin | ModShift, '7'));
    EXPECT_EQ(ParseHotkeyText("alt+Page Up"), ComposeHotkey(ModAlt, 33));
    EXPECT_EQ(ParseHotkeyText("ctrl+;"), ComposeHotkey(ModCtrl, 186));
    for (unsigned n = 1; n <= 12; ++n)
        EXPECT_EQ(ParseHotkeyText("F" + std::to_string(n)), 111 + n);
    for (unsigned n = 1; n <= 10; ++n)
        EXPECT_EQ(ParseHotkeyText("shift+F" + std::to_string(n)), 0x2000 + 111 + n);
}

TEST(KeyText, TextsThatNameNoKeyGiveZero)
{
    EXPECT_EQ(ParseHotkeyText("Ctrl"), 0u);          // a modifier alone, written as the layout names it
    EXPECT_EQ(ParseHotkeyText("Shift+Win"), 0u);
    EXPECT_EQ(ParseHotkeyText("Hyper+F1"), 0u);
    EXPECT_EQ(ParseHotkeyText("F1+shift"), 0u);      // only the last word is the key
    EXPECT_EQ(ParseHotkeyText(""), 0u);
    EXPECT_EQ(ParseHotkeyText("+++"), 0u);
    EXPECT_EQ(ParseHotkeyText("F99"), 0u);
    EXPECT_EQ(ParseHotkeyText("shift+'+'"), 0u);
}

TEST(KeyText, LocalModifierNamesCountLikeTheEnglishOnes)
{
    const LocalModifierNames german{"Umschalt", "Strg", "Alt", "Win"};
    EXPECT_EQ(ParseHotkeyText("umschalt+F1", german), 8304u);
    EXPECT_EQ(ParseHotkeyText("Strg+Alt+A", german), 49217u);
    EXPECT_EQ(ParseHotkeyText("shift+F2", german), 8305u);
    EXPECT_EQ(ParseHotkeyText("Strg", german), 0u);
    const LocalModifierNames capitals{"SHIFT", "CTRL", "ALT", winNameFor("ALT")};
    EXPECT_EQ(ParseHotkeyText("WIN+A", capitals), ComposeHotkey(ModWin, 'A'));
    EXPECT_EQ(ParseHotkeyText("WIN", capitals), 0u);
}

TEST(KeyText, AnyTextIsParsedWithoutHarm)
{
    std::mt19937 random(20261207);
    const std::string alphabet = "+\"' \r\n\tFfShiftCtrlAltWin0123456789\x80\xff";
    for (int i = 0; i < 2000; ++i) {
        std::string text(size_t(random() % 64), ' ');
        for (char &c : text)
            c = alphabet[random() % alphabet.size()];
        const uint32_t code = ParseHotkeyText(text);
        EXPECT_EQ(code & ~0x1E0FFu, 0u) << text;
    }
    EXPECT_EQ(ParseHotkeyText(std::string(100000, '+') + "F1"), 112u);
    EXPECT_EQ(ParseHotkeyText(std::string(100000, '"')), 0u);
    EXPECT_EQ(ParseHotkeyText(std::string("\0+F1", 4)), 0u);
}
