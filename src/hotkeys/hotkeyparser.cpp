#include "hotkeyparser.h"

#include "hotkeycode.h"

namespace zibbles {

namespace {

bool isLineBreak(char c)
{
    return c == '\n' || c == '\r';
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string trimmed(const std::string &s)
{
    size_t begin = 0, end = s.size();
    while (begin < end && isBlank(s[begin]))
        ++begin;
    while (end > begin && isBlank(s[end - 1]))
        --end;
    return s.substr(begin, end - begin);
}

// Where the quotation opened at `open` closes on the same line; npos if it
// does not, and then the mark is an ordinary character.
size_t closingQuote(const std::string &text, size_t open)
{
    for (size_t i = open + 1; i < text.size() && !isLineBreak(text[i]); ++i)
        if (text[i] == text[open])
            return i;
    return std::string::npos;
}

// The modifier flag a word names, 0 when it names none.
unsigned modifierNamed(const std::string &word, const LocalModifierNames &names)
{
    const struct {
        const char *english;
        const std::string &local;
        unsigned flag;
    } modifiers[] = {
        {"Shift", names.shift, ModShift},
        {"Ctrl", names.ctrl, ModCtrl},
        {"Alt", names.alt, ModAlt},
        {"Win", names.win, ModWin},
    };
    for (const auto &m : modifiers)
        if (sameTextIgnoringCase(word, m.english) || sameTextIgnoringCase(word, m.local))
            return m.flag;
    return 0;
}

bool isModifierName(const std::string &word, const LocalModifierNames &names)
{
    for (const std::string &name : {std::string("Ctrl"), std::string("Alt"), std::string("Shift"),
                                    std::string("Win"), names.shift, names.ctrl, names.alt, names.win})
        if (word == name)
            return true;
    return false;
}

unsigned keyNamed(const std::string &word, const LocalModifierNames &names)
{
    if (word.size() == 1) {
        char c = word[0];
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))
            return static_cast<unsigned char>(c);
        return FindKeyByName(std::string(1, c));
    }
    if (isModifierName(word, names))
        return 0;
    return FindKeyByName(word);
}

} // namespace

std::vector<std::string> splitKeyText(const std::string &text)
{
    std::vector<std::string> words;
    std::string word;
    auto endWord = [&] {
        word = trimmed(word);
        if (!word.empty())
            words.push_back(word);
        word.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+' || isLineBreak(c)) {
            endWord();
        } else if (c == '"' || c == '\'') {
            const size_t close = closingQuote(text, i);
            const size_t last = close == std::string::npos ? i : close;
            word.append(text, i, last - i + 1);
            i = last;
        } else {
            word += c;
        }
    }
    endWord();
    return words;
}

uint32_t ParseHotkeyText(const std::string &text, const LocalModifierNames &names)
{
    const std::vector<std::string> words = splitKeyText(text);
    if (words.empty())
        return 0;
    unsigned modifiers = 0;
    for (size_t i = 0; i + 1 < words.size(); ++i) {
        const unsigned flag = modifierNamed(words[i], names);
        if (!flag)
            return 0;
        modifiers |= flag;
    }
    const unsigned key = keyNamed(words.back(), names);
    return key ? ComposeHotkey(modifiers, key) : 0;
}

uint32_t ParseHotkeyText(const std::string &text)
{
    static const LocalModifierNames names = localModifierNames();
    return ParseHotkeyText(text, names);
}

} // namespace zibbles
