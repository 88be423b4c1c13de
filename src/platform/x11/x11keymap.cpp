#include "x11keymap.h"

#include "x11keysyms.h"

#include <algorithm>
#include <tuple>

namespace zibbles {

namespace {
constexpr int kMaxKeycode = 255;
// The shift state of each level as VkKeyScan gives it: AltGr is Ctrl+Alt.
constexpr int kShiftStateOfLevel[] = {0, 1, 6, 7};

// The two keysyms a key gives unshifted and shifted in the group in use, by
// the core protocol's rules for lists that leave parts out: a key with no
// second group types its first in both, a missing shifted keysym repeats the
// unshifted one (or is its upper case).
std::pair<uint32_t, uint32_t> levelsOf(const KeymapSnapshot &snapshot, int keycode)
{
    int length = 0;
    for (int i = 0; i < snapshot.keysymsPerKeycode; ++i)
        if (snapshot.keysym(keycode, i) != 0)
            length = i + 1;
    const int group = snapshot.group == 1 && length > 2 ? 1 : 0;
    uint32_t first = snapshot.keysym(keycode, 2 * group);
    uint32_t second = snapshot.keysym(keycode, 2 * group + 1);
    if (second != 0)
        return {first, second};
    uint32_t lower = keysyms::toLower(first), upper = keysyms::toUpper(first);
    if (lower != upper)
        return {lower, upper};
    return {first, first};
}

// The keysyms of the third and fourth level (AltGr, Shift+AltGr) of the
// first layout, which the core mapping lists after the first two levels of
// both layouts. Keys with no such level give 0. In the second layout the
// core mapping does not tell where they are, so there are none.
std::pair<uint32_t, uint32_t> altGrLevelsOf(const KeymapSnapshot &snapshot, int keycode)
{
    if (snapshot.group != 0)
        return {0, 0};
    const uint32_t third = snapshot.keysym(keycode, 4), fourth = snapshot.keysym(keycode, 5);
    if (fourth != 0 || third == 0)
        return {third, fourth};
    const uint32_t lower = keysyms::toLower(third), upper = keysyms::toUpper(third);
    return lower != upper ? std::pair{lower, upper} : std::pair{third, third};
}

bool isKeypadKey(const KeymapSnapshot &snapshot, int keycode)
{
    for (int i = 0; i < snapshot.keysymsPerKeycode; ++i)
        if (keysyms::isKeypad(snapshot.keysym(keycode, i)))
            return true;
    return false;
}

int lastKeycode(const KeymapSnapshot &snapshot)
{
    return std::min(kMaxKeycode, snapshot.minKeycode + snapshot.keycodeCount() - 1);
}
} // namespace

int KeymapSnapshot::keycodeCount() const
{
    return keysymsPerKeycode > 0 ? int(keysyms.size()) / keysymsPerKeycode : 0;
}

uint32_t KeymapSnapshot::keysym(int keycode, int index) const
{
    if (index < 0 || index >= keysymsPerKeycode || keycode < minKeycode)
        return 0;
    size_t at = size_t(keycode - minKeycode) * size_t(keysymsPerKeycode) + size_t(index);
    return at < keysyms.size() ? keysyms[at] : 0;
}

X11Keymap::X11Keymap() : X11Keymap(KeymapSnapshot{}) {}

X11Keymap::X11Keymap(const KeymapSnapshot &snapshot)
{
    m_vkOfKeycode.assign(kMaxKeycode + 1, 0);
    m_keypadKeycode.assign(kMaxKeycode + 1, false);
    KeysymIndex index;
    for (int keycode = std::max(snapshot.minKeycode, 8); keycode <= lastKeycode(snapshot); ++keycode) {
        m_keypadKeycode[keycode] = isKeypadKey(snapshot, keycode);
        auto [unshifted, shifted] = levelsOf(snapshot, keycode);
        if (unshifted != 0)
            index[unshifted].push_back({keycode, 0});
        if (shifted != 0)
            index[shifted].push_back({keycode, 1});
        auto [third, fourth] = altGrLevelsOf(snapshot, keycode);
        if (third != 0)
            index[third].push_back({keycode, 2});
        if (fourth != 0)
            index[fourth].push_back({keycode, 3});
    }
    // 0..32 are reached by their own number in typed text (control bytes and
    // the space), 255 stands for "no key": none of them is ever handed out.
    for (int vk = 0; vk < 256; ++vk)
        m_vkTaken[vk] = vk <= 0x20 || vk == 0xFF || keysyms::isNamedVk(uint8_t(vk));
    bindFixedKeys(snapshot);
    m_hasAltGr = m_keycodeOfVk[kAltGrVk] != 0;
    bindCharacters(index);
}

void X11Keymap::bindFixedKeys(const KeymapSnapshot &snapshot)
{
    const int last = lastKeycode(snapshot);
    for (auto choose : {keysyms::primaryVk, keysyms::fallbackVk}) {
        // Lowest keycode first: the main block comes before extra keys that
        // repeat one of its keysyms.
        for (int keycode = std::max(snapshot.minKeycode, 8); keycode <= last; ++keycode) {
            uint8_t vk = choose(levelsOf(snapshot, keycode).first);
            if (vk != 0 && m_keycodeOfVk[vk] == 0 && m_vkOfKeycode[keycode] == 0) {
                m_keycodeOfVk[vk] = uint16_t(keycode);
                m_vkOfKeycode[keycode] = vk;
            }
        }
    }
}

X11Keymap::Candidate X11Keymap::bestKeyFor(const KeysymIndex &index, unsigned char ch) const
{
    // The key a user would press: one of the keyboard's named keys before an
    // extra key that merely carries the same keysym (such as a keypad "("),
    // no keypad key if avoidable, the fewest modifiers (none, Shift, AltGr,
    // Shift+AltGr), then the lowest. Without an AltGr key the third and
    // fourth levels cannot be reached.
    using Rank = std::tuple<bool, bool, int, int>;
    Candidate best;
    Rank bestRank{true, true, 2, kMaxKeycode + 1};
    for (uint32_t keysym : keysyms::forCharacter(ch)) {
        auto found = index.find(keysym);
        if (found == index.end())
            continue;
        for (const Candidate &key : found->second) {
            if (key.level >= 2 && !m_hasAltGr)
                continue;
            Rank rank{m_vkOfKeycode[key.keycode] == 0, bool(m_keypadKeycode[key.keycode]), key.level, key.keycode};
            if (rank < bestRank) {
                bestRank = rank;
                best = key;
            }
        }
    }
    return best;
}

void X11Keymap::bindCharacters(const KeysymIndex &index)
{
    m_scan.fill(-1);
    for (uint8_t vk : {8, 9, 13, 27})
        if (m_keycodeOfVk[vk] != 0)
            m_scan[vk] = vk;
    for (int ch = 0x20; ch < 256; ++ch) {
        Candidate key = bestKeyFor(index, uint8_t(ch));
        if (key.keycode == 0)
            continue;
        uint8_t vk = m_vkOfKeycode[key.keycode];
        if (vk == 0 && (vk = takeFreeVk()) != 0) {
            m_keycodeOfVk[vk] = uint16_t(key.keycode);
            m_vkOfKeycode[key.keycode] = vk;
        }
        if (vk != 0)
            m_scan[ch] = int16_t(vk | (kShiftStateOfLevel[key.level] << 8));
    }
}

uint8_t X11Keymap::takeFreeVk()
{
    // Windows' unassigned and vendor numbers first, then whatever is left.
    for (int start : {0x88, 0x21}) {
        for (int vk = start; vk < 0xFF; ++vk) {
            if (!m_vkTaken[vk]) {
                m_vkTaken[vk] = true;
                return uint8_t(vk);
            }
        }
    }
    return 0;
}

int16_t X11Keymap::vkKeyScan(unsigned char ch) const
{
    return m_scan[ch];
}

unsigned X11Keymap::keycodeForVk(uint8_t vk) const
{
    return m_keycodeOfVk[vk];
}

unsigned X11Keymap::scanCodeForVk(uint8_t vk) const
{
    unsigned keycode = m_keycodeOfVk[vk];
    return keycode >= 8 ? keycode - 8 : 0;
}

} // namespace zibbles
