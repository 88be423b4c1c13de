// Which X modifier bits carry Alt, Win and the lock keys, and the lock
// combinations a hotkey is grabbed under.
#include "platform/x11/x11modifiers.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace zibbles;

namespace {

constexpr unsigned kShift = 1, kLock = 2, kControl = 4, kMod1 = 8, kMod2 = 16, kMod3 = 32, kMod4 = 64, kMod5 = 128;

// A keymap of one keysym per keycode from 8 on.
KeymapSnapshot keymapOf(const std::vector<uint32_t> &keysyms)
{
    KeymapSnapshot snapshot;
    snapshot.minKeycode = 8;
    snapshot.keysymsPerKeycode = 1;
    snapshot.keysyms = keysyms;
    return snapshot;
}

std::vector<unsigned> sorted(std::vector<unsigned> v)
{
    std::sort(v.begin(), v.end());
    return v;
}

} // namespace

TEST(X11Modifiers, FindsTheBitsOfTheLiveMapping)
{
    // keycodes 8: Alt_L, 9: Num_Lock, 10: Super_L, 11: Scroll_Lock, 12: Meta_R
    const KeymapSnapshot keymap = keymapOf({0xffe9, 0xff7f, 0xffeb, 0xff14, 0xffe8});
    ModifierMapping mapping;
    mapping[3] = {0, 12}; // Mod1: Meta_R
    mapping[4] = {9};     // Mod2: Num_Lock
    mapping[5] = {11};    // Mod3: Scroll_Lock
    mapping[7] = {10, 8}; // Mod5: Super_L, Alt_L
    const X11ModifierMasks masks = modifierMasks(keymap, mapping);
    EXPECT_EQ(masks.shift, kShift);
    EXPECT_EQ(masks.ctrl, kControl);
    EXPECT_EQ(masks.alt, kMod1);
    EXPECT_EQ(masks.win, kMod5);
    EXPECT_EQ(masks.capsLock, kLock);
    EXPECT_EQ(masks.numLock, kMod2);
    EXPECT_EQ(masks.scrollLock, kMod3);

    EXPECT_EQ(masks.stateFor(1 | 2 | 4 | 8), kMod1 | kControl | kShift | kMod5);
    EXPECT_EQ(masks.modifiersOf(kShift | kLock | kMod2 | kMod3), 4u) << "locks are ignored";
    EXPECT_EQ(masks.modifiersOf(kMod5 | kMod1), 9u);
    EXPECT_EQ(sorted(masks.lockCombinations()),
              sorted({0, kLock, kMod2, kMod3, kLock | kMod2, kLock | kMod3, kMod2 | kMod3, kLock | kMod2 | kMod3}));
}

TEST(X11Modifiers, AbsentKeysFallBackOrDropOutOfTheLockCombinations)
{
    const KeymapSnapshot keymap = keymapOf({0xff7f});
    ModifierMapping mapping;
    mapping[4] = {8}; // Num_Lock on Mod2; no Scroll_Lock, Alt or Super anywhere
    const X11ModifierMasks masks = modifierMasks(keymap, mapping);
    EXPECT_EQ(masks.alt, kMod1);
    EXPECT_EQ(masks.win, kMod4);
    EXPECT_EQ(masks.scrollLock, 0u);
    EXPECT_EQ(masks.lockCombinations(), (std::vector<unsigned>{0, kLock, kMod2, kLock | kMod2}));

    const X11ModifierMasks empty = modifierMasks(KeymapSnapshot{}, ModifierMapping{});
    EXPECT_EQ(empty.lockCombinations(), (std::vector<unsigned>{0, kLock}));
}
