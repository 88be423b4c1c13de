#pragma once
// The byte-to-key table of the keystroke sender. Bytes 228 and above are key
// codes, never characters of the code page.
#include <cstdint>
#include <optional>

namespace zibbles {

namespace vk {
constexpr uint8_t Shift = 16, Control = 17, Menu = 18;
// The right-hand Alt, AltGr on layouts that have one.
constexpr uint8_t RMenu = 0xA5;
}

// The modifiers that the shift state of a character (the high byte of
// VkKeyScanA's result) asks for: AltGr, the one key that gives Ctrl+Alt, for
// 6, and Shift with it for 7; any other non-zero state (the all-ones of a
// character the layout lacks included) gives Shift alone.
struct ShiftKeys {
    bool shift = false;
    bool altGr = false;
};
ShiftKeys shiftKeysFor(unsigned shiftState);

// Shift pressed automatically around a character uses this fixed scan code.
constexpr uint8_t kShiftScanCode = 42;

// A byte 250..255: press (even) or release (odd) of Shift, Ctrl or Alt.
struct ModifierCode {
    uint8_t vk;
    bool keyUp;
};
std::optional<ModifierCode> modifierCode(unsigned char byte);

// The fixed virtual key of a byte 0..31 or 228..249; nullopt for the bytes
// that go through the keyboard layout (32..227) and for modifier codes.
std::optional<uint8_t> fixedVirtualKey(unsigned char byte);

} // namespace zibbles
