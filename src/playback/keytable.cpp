#include "keytable.h"

namespace zibbles {

std::optional<ModifierCode> modifierCode(unsigned char byte)
{
    if (byte < 250)
        return std::nullopt;
    static constexpr uint8_t keys[] = {vk::Shift, vk::Control, vk::Menu};
    return ModifierCode{keys[(byte - 250) / 2], (byte - 250) % 2 == 1};
}

ShiftKeys shiftKeysFor(unsigned shiftState)
{
    const bool altGr = (shiftState & ~1u) == 6;
    return {(shiftState & 1) != 0 || (shiftState != 0 && !altGr), altGr};
}

std::optional<uint8_t> fixedVirtualKey(unsigned char byte)
{
    // Home, End, Up, Down, Left, Right, Page Up, Page Down, Insert, Delete.
    static constexpr uint8_t navigation[] = {36, 35, 38, 40, 37, 39, 33, 34, 45, 46};
    if (byte < 32)
        return byte;
    if (byte >= 228 && byte <= 239)
        return uint8_t(byte - 116); // F1..F12
    if (byte >= 240 && byte <= 249)
        return navigation[byte - 240];
    return std::nullopt;
}

} // namespace zibbles
