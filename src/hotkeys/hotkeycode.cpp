#include "hotkeycode.h"

namespace zibbles {

namespace {
struct ModifierBit {
    unsigned flag;
    uint32_t codeBit;
};
constexpr ModifierBit kModifierBits[] = {
    {ModAlt, kCodeAlt},
    {ModCtrl, kCodeCtrl},
    {ModShift, kCodeShift},
    {ModWin, kCodeWin},
};
} // namespace

uint32_t ComposeHotkey(unsigned modifiers, unsigned key)
{
    uint32_t code = key & 0xFFu;
    for (const ModifierBit &m : kModifierBits)
        if (modifiers & m.flag)
            code |= m.codeBit;
    return code;
}

SplitCode SplitHotkey(uint32_t code)
{
    SplitCode split;
    split.key = code & 0xFFu;
    for (const ModifierBit &m : kModifierBits)
        if (code & m.codeBit)
            split.modifiers |= m.flag;
    return split;
}

} // namespace zibbles
