// Key texts: a text that names a combination gives a well-formed code, and
// the same combination spelt out in words gives the same code again.
#include "fuzzcheck.h"

#include "hotkeys/hotkeycode.h"
#include "hotkeys/hotkeyparser.h"

namespace zibbles::fuzz {

namespace {

// The combination as a user would type it; the key in lower case, so that a
// modifier key used as the key itself is not taken for a modifier.
std::string spelt(const SplitCode &split)
{
    std::string text;
    const struct {
        unsigned flag;
        const char *word;
    } words[] = {{ModShift, "shift"}, {ModCtrl, "ctrl"}, {ModAlt, "alt"}, {ModWin, "win"}};
    for (const auto &w : words)
        if (split.modifiers & w.flag)
            text += std::string(w.word) + " + ";
    return text + asciiLower(KeyName(split.key));
}

} // namespace

void checkHotkeyText(const std::string &input)
{
    const uint32_t code = ParseHotkeyText(input);
    if (!code)
        return;
    const SplitCode split = SplitHotkey(code);
    require(ComposeHotkey(split.modifiers, split.key) == code, "the code carries bits outside key and modifiers");
    require(split.key != 0 && !KeyName(split.key).empty(), "the code names a key without a name");
    require(ParseHotkeyText(spelt(split)) == code, "the combination spelt out gives another code: " + spelt(split));
}

} // namespace zibbles::fuzz
