#include "keynames.h"

#include <algorithm>
#include <array>

namespace zibbles {

namespace {

struct NamedKey {
    unsigned key;
    const char *name;
};

// Keys with a name of their own; digits, letters and function keys are
// filled in by rule below.
constexpr NamedKey kNamedKeys[] = {
    {8, "Backspace"}, {9, "Tab"}, {12, "Num 5"}, {13, "Enter"},
    {16, "Shift"}, {17, "Ctrl"}, {18, "Alt"}, {19, "Pause"}, {20, "Caps Lock"},
    {27, "Esc"}, {32, "Space"},
    {33, "Page Up"}, {34, "Page Down"}, {35, "End"}, {36, "Home"},
    {37, "Left"}, {38, "Up"}, {39, "Right"}, {40, "Down"},
    {44, "Print Screen"}, {45, "Insert"}, {46, "Delete"},
    {91, "Left Windows"}, {92, "Right Windows"}, {93, "Application"},
    {106, "Num *"}, {107, "Num +"}, {109, "Num -"}, {110, "Num Del"}, {111, "Num /"},
    {144, "Num Lock"}, {145, "Scroll Lock"},
    {160, "Left Shift"}, {161, "Right Shift"}, {162, "Left Ctrl"}, {163, "Right Ctrl"},
    {164, "Left Alt"}, {165, "Right Alt"},
    {186, ";"}, {187, "="}, {188, ","}, {189, "-"}, {190, "."}, {191, "/"}, {192, "`"},
    {219, "["}, {220, "\\"}, {221, "]"}, {222, "'"},
};

using NameTable = std::array<std::string, 256>;

NameTable buildNameTable()
{
    NameTable names;
    for (const NamedKey &k : kNamedKeys)
        names[k.key] = k.name;
    for (unsigned key = '0'; key <= '9'; ++key)
        names[key] = std::string(1, char(key));
    for (unsigned key = 'A'; key <= 'Z'; ++key)
        names[key] = std::string(1, char(key));
    for (unsigned n = 0; n <= 9; ++n)
        names[96 + n] = "Num " + std::to_string(n);
    for (unsigned n = 1; n <= 24; ++n)
        names[111 + n] = "F" + std::to_string(n);
    return names;
}

const NameTable &nameTable()
{
    static const NameTable table = buildNameTable();
    return table;
}

char asciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

bool allCapitals(const std::string &s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

} // namespace

std::string KeyName(unsigned key)
{
    return key < 256 ? nameTable()[key] : std::string();
}

unsigned FindKeyByName(const std::string &name)
{
    if (name.empty())
        return 0;
    for (unsigned key = 8; key <= 255; ++key)
        if (sameTextIgnoringCase(KeyName(key), name))
            return key;
    return 0;
}

std::string winNameFor(const std::string &altName)
{
    return allCapitals(altName) ? "WIN" : "Win";
}

LocalModifierNames localModifierNames()
{
    LocalModifierNames names{KeyName(16), KeyName(17), KeyName(18), {}};
    names.win = winNameFor(names.alt);
    return names;
}

bool sameTextIgnoringCase(const std::string &a, const std::string &b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return asciiUpper(x) == asciiUpper(y); });
}

} // namespace zibbles
