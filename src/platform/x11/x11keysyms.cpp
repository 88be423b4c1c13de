#include "x11keysyms.h"

#include "core/cp1252.h"

#include <QChar>

namespace zibbles::keysyms {

namespace {
constexpr uint32_t kUnicodeBase = 0x1000000;

struct Pair {
    uint32_t a;
    uint32_t b;
};

// Legacy keysyms of the Windows-1252 characters outside Latin-1.
constexpr Pair kLegacyOfUnicode[] = {
    {0x20AC, 0x20ac}, {0x201A, 0xafd}, {0x0192, 0x8f6}, {0x201E, 0xafe}, {0x2026, 0xaae},
    {0x2020, 0xaf1},  {0x2021, 0xaf2}, {0x2030, 0xad5}, {0x0160, 0x1a9}, {0x0152, 0x13bc},
    {0x017D, 0x1ae},  {0x2018, 0xad0}, {0x2019, 0xad1}, {0x201C, 0xad2}, {0x201D, 0xad3},
    {0x2022, 0xae6},  {0x2013, 0xaa9}, {0x2014, 0xaaa}, {0x2122, 0xac9}, {0x0161, 0x1b9},
    {0x0153, 0x13bd}, {0x017E, 0x1be}, {0x0178, 0x13be},
};

// Lower and upper case of legacy letter keysyms outside Latin-1.
constexpr Pair kLegacyCase[] = {
    {0x1b9, 0x1a9}, {0x1be, 0x1ae}, {0x13bd, 0x13bc}, {0x0ff, 0x13be},
};

constexpr Pair kPrimaryVk[] = {
    {' ', 0x20},     {';', 0xBA},     {'=', 0xBB},     {',', 0xBC},     {'-', 0xBD},
    {'.', 0xBE},     {'/', 0xBF},     {'`', 0xC0},     {'[', 0xDB},     {'\\', 0xDC},
    {']', 0xDD},     {'\'', 0xDE},    {'<', 0xE2},
    {0xff08, 8},     {0xff09, 9},     {0xff0d, 13},    {0xff1b, 27},    {0xffe1, 16},
    {0xffe3, 17},    {0xffe9, 18},    {0xff55, 33},    {0xff56, 34},    {0xff57, 35},
    {0xff50, 36},    {0xff51, 37},    {0xff52, 38},    {0xff53, 39},    {0xff54, 40},
    {0xff61, 44},    {0xff63, 45},    {0xffff, 46},    {0xfe03, 0xA5},
};
constexpr Pair kFallbackVk[] = {{0xffe2, 16}, {0xffe4, 17}, {0xffea, 18}};

constexpr uint32_t kF1 = 0xffbe, kF12 = 0xffc9;

uint8_t lookup(const Pair *begin, const Pair *end, uint32_t keysym)
{
    for (const Pair *p = begin; p != end; ++p)
        if (p->a == keysym)
            return uint8_t(p->b);
    return 0;
}

bool isLatin1Upper(uint32_t k) { return (k >= 'A' && k <= 'Z') || (k >= 0xC0 && k <= 0xDE && k != 0xD7); }
bool isLatin1Lower(uint32_t k) { return (k >= 'a' && k <= 'z') || (k >= 0xE0 && k <= 0xFE && k != 0xF7); }

uint32_t unicodeCase(uint32_t keysym, bool upper)
{
    char32_t cp = keysym - kUnicodeBase;
    char32_t other = upper ? QChar::toUpper(cp) : QChar::toLower(cp);
    return kUnicodeBase + other;
}
} // namespace

std::vector<uint32_t> forCharacter(unsigned char ch)
{
    char32_t cp = cp1252ToUnicode(ch);
    if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0))
        return {};
    if (cp < 0x100)
        return {uint32_t(cp), kUnicodeBase + cp};
    std::vector<uint32_t> result;
    for (const Pair &p : kLegacyOfUnicode)
        if (p.a == cp)
            result.push_back(p.b);
    result.push_back(kUnicodeBase + cp);
    return result;
}

uint32_t toLower(uint32_t keysym)
{
    if (isLatin1Upper(keysym))
        return keysym + 0x20;
    for (const Pair &p : kLegacyCase)
        if (p.b == keysym)
            return p.a;
    if (keysym > kUnicodeBase && keysym <= kUnicodeBase + 0x10FFFF)
        return unicodeCase(keysym, false);
    return keysym;
}

uint32_t toUpper(uint32_t keysym)
{
    if (isLatin1Lower(keysym))
        return keysym - 0x20;
    for (const Pair &p : kLegacyCase)
        if (p.a == keysym)
            return p.b;
    if (keysym > kUnicodeBase && keysym <= kUnicodeBase + 0x10FFFF)
        return unicodeCase(keysym, true);
    return keysym;
}

uint8_t primaryVk(uint32_t keysym)
{
    if (keysym >= '0' && keysym <= '9')
        return uint8_t(keysym);
    if (keysym >= 'A' && keysym <= 'Z')
        return uint8_t(keysym);
    if (keysym >= 'a' && keysym <= 'z')
        return uint8_t(keysym - 0x20);
    if (keysym >= kF1 && keysym <= kF12)
        return uint8_t(112 + keysym - kF1);
    return lookup(std::begin(kPrimaryVk), std::end(kPrimaryVk), keysym);
}

uint8_t fallbackVk(uint32_t keysym)
{
    return lookup(std::begin(kFallbackVk), std::end(kFallbackVk), keysym);
}

bool isNamedVk(uint8_t vk)
{
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        return true;
    if (vk >= 0x60 && vk <= 0x87) // numeric keypad and F1..F24
        return true;
    for (const Pair &p : kPrimaryVk)
        if (p.b == vk)
            return true;
    return false;
}

bool isKeypad(uint32_t keysym)
{
    return keysym >= 0xff80 && keysym <= 0xffbd;
}

} // namespace zibbles::keysyms
