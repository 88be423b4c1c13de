#pragma once
// The hotkey code: one number for one key combination. Bits 0..7 hold the
// virtual key, and Shift, Ctrl, Alt and Win add their own bits above.
#include <cstdint>

namespace zibbles {

// Modifier flags as the desktop's hotkey service takes them.
enum HotkeyModifier : unsigned {
    ModAlt = 1,
    ModCtrl = 2,
    ModShift = 4,
    ModWin = 8,
};

constexpr uint32_t kCodeShift = 0x2000;
constexpr uint32_t kCodeCtrl = 0x4000;
constexpr uint32_t kCodeAlt = 0x8000;
constexpr uint32_t kCodeWin = 0x10000;

// Virtual keys the program binds.
constexpr unsigned kVkPageUp = 33;
constexpr unsigned kVkPrintScreen = 44;
constexpr unsigned kVkF1 = 112;

struct SplitCode {
    unsigned modifiers = 0; // HotkeyModifier flags
    unsigned key = 0;       // 0..255

    bool operator==(const SplitCode &) const = default;
};

// `key` is taken modulo 256; modifier flags other than the four are ignored.
uint32_t ComposeHotkey(unsigned modifiers, unsigned key);
SplitCode SplitHotkey(uint32_t code);

} // namespace zibbles
