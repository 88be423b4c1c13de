#pragma once
// Which modifier bits of an X server carry Shift, Ctrl, Alt, Win and the
// three lock keys, read from its live modifier mapping.
#include "platform/x11/x11keymap.h"

#include <array>
#include <vector>

namespace zibbles {

// The keycodes on each of the eight modifiers (Shift, Lock, Control,
// Mod1..Mod5), as XGetModifierMapping reports them.
using ModifierMapping = std::array<std::vector<int>, 8>;

struct X11ModifierMasks {
    unsigned shift = 0, ctrl = 0, alt = 0, win = 0;
    unsigned capsLock = 0, numLock = 0, scrollLock = 0; // 0: the key is on no modifier

    // X modifier state for hotkey modifier flags (Alt 1, Ctrl 2, Shift 4, Win 8).
    unsigned stateFor(unsigned modifiers) const;
    // Hotkey modifier flags for an X modifier state; lock bits are ignored.
    unsigned modifiersOf(unsigned state) const;
    // Every combination of the lock bits, the empty one first.
    std::vector<unsigned> lockCombinations() const;
};

X11ModifierMasks modifierMasks(const KeymapSnapshot &keymap, const ModifierMapping &mapping);

} // namespace zibbles
