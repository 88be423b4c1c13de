#pragma once
// Which modifiers are held down on an X server, and by whom: this program's
// own key events or the user; and which of our key presses met a Shift
// state other than the one we meant. Kept from the server's notices of
// modifier changes, which come in the order the server made them, each with
// the number of the last request of ours that it had carried out by then: a
// change numbered below a key press of ours came before the server took
// that press in. (This holds because the keyboard is never frozen: a frozen
// keyboard has the server carry out queued presses before it numbers the
// changes among them.)
#include "platform/x11/x11modifiers.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <vector>

namespace zibbles {

class X11ModifierState {
public:
    // The keycodes on each modifier: our own held keys count as ours, and
    // presses of modifier keys are not watched.
    void setModifierMapping(const ModifierMapping &mapping);
    // The state as the server reported it in answer to a request.
    void reset(unsigned baseMods, unsigned lockedMods);
    // A key event we sent as request number `sequence`.
    void noteKeyEvent(int keycode, bool down, uint32_t sequence);
    // A notice of a change: the modifiers in effect from held keys and the
    // locked ones, once the server had carried out request `serial` of ours.
    void noteChange(uint32_t serial, unsigned baseMods, unsigned lockedMods);

    // Forgets the last `count` key presses noted (modifier keys aside): they
    // never reached the server's keyboard state as ours (a grab took them).
    void forgetLastPresses(size_t count);

    // The modifiers held now that are neither lock keys nor ours.
    unsigned userModifiers() const;
    bool isModifierKey(int keycode) const;
    // The modifier keys that our own key events hold down now.
    std::bitset<256> ownModifierKeys() const;
    // Whether presses are watched that the server may not have answered.
    bool pressesPending() const { return !m_presses.empty(); }
    // Of our key presses since the last call (modifier keys aside), the
    // number from the first one on that met Shift down although ours was up
    // (the user's Shift) or up although ours was down (the user let go of the
    // same key), that one included; 0 when none did. Final once every notice the server sent
    // before answering a request after the last press has been noted.
    size_t takePressesShiftChangedByUser();

private:
    unsigned ownModifiers() const;

    struct Press {
        uint16_t sequence;     // on the wire, request numbers are 16 bits
        unsigned own;          // our modifiers then
        unsigned base, locked; // the state it met: the last change before it
        bool told;             // a change before it has been noted
        bool settled;          // a change after it has been noted
    };

    std::array<uint8_t, 256> m_modifiersOfKeycode{};
    std::bitset<256> m_pressed; // keycodes our key events hold down
    unsigned m_base = 0, m_locked = 0;
    std::vector<Press> m_presses;
};

} // namespace zibbles
