#include "x11modifiers.h"

#include <algorithm>
#include <initializer_list>

namespace zibbles {

namespace {

enum Keysym : uint32_t {
    ScrollLock = 0xff14,
    NumLock = 0xff7f,
    MetaL = 0xffe7,
    MetaR = 0xffe8,
    AltL = 0xffe9,
    AltR = 0xffea,
    SuperL = 0xffeb,
    SuperR = 0xffec,
};

constexpr unsigned kShiftMask = 1u << 0, kLockMask = 1u << 1, kControlMask = 1u << 2;
constexpr unsigned kMod1Mask = 1u << 3, kMod4Mask = 1u << 6;

bool keyCarries(const KeymapSnapshot &keymap, int keycode, std::initializer_list<uint32_t> wanted)
{
    for (int i = 0; i < keymap.keysymsPerKeycode; ++i)
        if (std::find(wanted.begin(), wanted.end(), keymap.keysym(keycode, i)) != wanted.end())
            return true;
    return false;
}

// The first of Mod1..Mod5 that holds a key carrying one of `wanted`; 0 if none.
unsigned modMaskOf(const KeymapSnapshot &keymap, const ModifierMapping &mapping,
                   std::initializer_list<uint32_t> wanted)
{
    for (size_t mod = 3; mod < mapping.size(); ++mod)
        for (int keycode : mapping[mod])
            if (keycode != 0 && keyCarries(keymap, keycode, wanted))
                return 1u << mod;
    return 0;
}

} // namespace

unsigned X11ModifierMasks::stateFor(unsigned modifiers) const
{
    return (modifiers & 1 ? alt : 0) | (modifiers & 2 ? ctrl : 0) | (modifiers & 4 ? shift : 0) |
           (modifiers & 8 ? win : 0);
}

unsigned X11ModifierMasks::modifiersOf(unsigned state) const
{
    state &= ~(capsLock | numLock | scrollLock);
    return (state & alt ? 1u : 0u) | (state & ctrl ? 2u : 0u) | (state & shift ? 4u : 0u) |
           (state & win ? 8u : 0u);
}

std::vector<unsigned> X11ModifierMasks::lockCombinations() const
{
    std::vector<unsigned> combinations{0};
    for (unsigned lock : {capsLock, numLock, scrollLock}) {
        if (!lock)
            continue;
        const size_t count = combinations.size();
        for (size_t i = 0; i < count; ++i) {
            const unsigned with = combinations[i] | lock;
            if (std::find(combinations.begin(), combinations.end(), with) == combinations.end())
                combinations.push_back(with);
        }
    }
    return combinations;
}

X11ModifierMasks modifierMasks(const KeymapSnapshot &keymap, const ModifierMapping &mapping)
{
    X11ModifierMasks masks;
    masks.shift = kShiftMask;
    masks.ctrl = kControlMask;
    masks.capsLock = kLockMask;
    // Without such a key the usual bit still stands for the modifier.
    masks.alt = modMaskOf(keymap, mapping, {AltL, AltR, MetaL, MetaR});
    if (!masks.alt)
        masks.alt = kMod1Mask;
    masks.win = modMaskOf(keymap, mapping, {SuperL, SuperR});
    if (!masks.win)
        masks.win = kMod4Mask;
    masks.numLock = modMaskOf(keymap, mapping, {NumLock});
    masks.scrollLock = modMaskOf(keymap, mapping, {ScrollLock});
    return masks;
}

} // namespace zibbles
