#include "x11modifierstate.h"

#include <algorithm>

namespace zibbles {

namespace {
constexpr unsigned kShiftMask = 1u << 0, kLockMask = 1u << 1;

// The request numbers compared here are never 32768 apart.
bool before(uint32_t serial, uint16_t sequence)
{
    return int16_t(uint16_t(serial - sequence)) < 0;
}
} // namespace

void X11ModifierState::setModifierMapping(const ModifierMapping &mapping)
{
    m_modifiersOfKeycode.fill(0);
    for (size_t mod = 0; mod < mapping.size(); ++mod)
        for (int keycode : mapping[mod])
            if (keycode > 0 && keycode < 256)
                m_modifiersOfKeycode[size_t(keycode)] |= uint8_t(1u << mod);
}

void X11ModifierState::reset(unsigned baseMods, unsigned lockedMods)
{
    m_base = baseMods;
    m_locked = lockedMods;
}

void X11ModifierState::noteKeyEvent(int keycode, bool down, uint32_t sequence)
{
    if (keycode <= 0 || keycode >= 256)
        return;
    if (down && m_modifiersOfKeycode[size_t(keycode)] == 0)
        m_presses.push_back({uint16_t(sequence), ownModifiers(), m_base, m_locked, false, false});
    m_pressed[size_t(keycode)] = down;
}

void X11ModifierState::noteChange(uint32_t serial, unsigned baseMods, unsigned lockedMods)
{
    for (Press &press : m_presses) {
        if (press.settled)
            continue;
        if (before(serial, press.sequence)) {
            press.base = baseMods;
            press.locked = lockedMods;
            press.told = true;
        } else {
            press.settled = true;
        }
    }
    reset(baseMods, lockedMods);
}

void X11ModifierState::forgetLastPresses(size_t count)
{
    m_presses.erase(m_presses.end() - long(std::min(count, m_presses.size())), m_presses.end());
}

bool X11ModifierState::isModifierKey(int keycode) const
{
    return keycode > 0 && keycode < 256 && m_modifiersOfKeycode[size_t(keycode)] != 0;
}

std::bitset<256> X11ModifierState::ownModifierKeys() const
{
    std::bitset<256> keys;
    for (size_t keycode = 0; keycode < keys.size(); ++keycode)
        keys[keycode] = m_pressed[keycode] && m_modifiersOfKeycode[keycode] != 0;
    return keys;
}

unsigned X11ModifierState::ownModifiers() const
{
    unsigned own = 0;
    for (size_t keycode = 0; keycode < m_pressed.size(); ++keycode)
        if (m_pressed[keycode])
            own |= m_modifiersOfKeycode[keycode];
    return own;
}

unsigned X11ModifierState::userModifiers() const
{
    return m_base & ~(kLockMask | m_locked | ownModifiers());
}

size_t X11ModifierState::takePressesShiftChangedByUser()
{
    size_t caught = 0;
    for (size_t i = 0; i < m_presses.size() && caught == 0; ++i) {
        // Shift was down when we meant it up, or up when we meant it down;
        // the latter only once the server has told so: our own Shift may be
        // on its way still (or waiting while the keyboard is frozen).
        const Press &press = m_presses[i];
        const bool shiftMet = press.base & kShiftMask, shiftMeant = press.own & kShiftMask;
        if ((press.locked & kShiftMask) == 0 && shiftMet != shiftMeant && (shiftMet || press.told))
            caught = m_presses.size() - i;
    }
    m_presses.clear();
    return caught;
}

} // namespace zibbles
