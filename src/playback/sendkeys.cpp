#include "sendkeys.h"

#include "keytable.h"

#include "platform/eventloop.h"

#include <algorithm>
#include <array>

namespace zibbles {

namespace {

// A program under Wine reads AltGr from the last key event it has taken in
// when it turns a key into a character, which it does a moment after the
// key came: a key typed with AltGr is given that moment, before the next
// key event (AltGr's release arriving alone keeps AltGr in that state), or
// it arrives without AltGr. Characters on AltGr are few in a chat line.
constexpr int64_t kAltGrSettleMs = 60;

// How often a wait for a held modifier looks again if no notice of its
// release has come (the notice normally ends the wait at once).
constexpr int64_t kModifierRecheckMs = 100;

// The modifiers a text has pressed and not yet released; whatever is still
// down when the text ends (or typing is cut short) is released then.
class HeldModifiers {
public:
    explicit HeldModifiers(Desktop &desktop) : m_desktop(desktop) {}
    HeldModifiers(const HeldModifiers &) = delete;
    HeldModifiers &operator=(const HeldModifiers &) = delete;

    ~HeldModifiers()
    {
        bool released = false;
        for (size_t i = 0; i < kKeys.size(); ++i) {
            if (m_down[i]) {
                m_desktop.keyEvent(kKeys[i], uint8_t(m_desktop.mapVirtualKey(kKeys[i])), true);
                released = true;
            }
        }
        if (released)
            m_desktop.flush();
    }

    void note(const ModifierCode &code)
    {
        for (size_t i = 0; i < kKeys.size(); ++i)
            if (kKeys[i] == code.vk)
                m_down[i] = !code.keyUp;
    }

private:
    static constexpr std::array<uint8_t, 3> kKeys = {vk::Shift, vk::Control, vk::Menu};
    Desktop &m_desktop;
    std::array<bool, 3> m_down{};
};

} // namespace

WindowHandle TSendkeys::GetHandleFromWindowTitle(const std::string &title)
{
    // Titles are zero-terminated and fit a 256-byte buffer.
    std::string name = title.substr(0, title.find('\0'));
    if (name.size() > 255)
        name.resize(255);
    return m_desktop.findWindow(name);
}

void TSendkeys::MakeWindowActive(WindowHandle window)
{
    if (m_desktop.isIconic(window))
        m_desktop.restoreWindow(window);
    else
        m_desktop.bringWindowToTop(window);
}

void TSendkeys::SendKeys(const std::string &text)
{
    m_desktop.refreshKeymap();
    HeldModifiers held(m_desktop);
    bool modifierHeld = false;
    std::string unchecked; // characters typed by the layout since the last look
    for (const char c : text) {
        waitForUserKeys();
        const auto byte = static_cast<unsigned char>(c);
        const auto modifier = modifierCode(byte);
        const bool character = !modifier && !fixedVirtualKey(byte);
        if (!character) // no BackSpace takes back what such a key does
            retypeShiftedByUser(unchecked);
        if (modifier) {
            m_desktop.keyEvent(modifier->vk, uint8_t(m_desktop.mapVirtualKey(modifier->vk)), modifier->keyUp);
            modifierHeld = !modifier->keyUp;
            held.note(*modifier);
        } else {
            typeCharacter(byte, modifierHeld);
            if (character && !modifierHeld)
                unchecked += c;
        }
        m_desktop.flush();
        m_pump.processPending();
    }
    retypeShiftedByUser(unchecked);
}

// The user's Shift (of Shift+F2) held down while a line is typed would
// shift every character, and a hotkey held down takes every key: the line
// waits, for as long as they are held, and hotkeys and timers are handled
// meanwhile.
void TSendkeys::waitForUserKeys()
{
    while (m_desktop.userHoldsKeys())
        m_pump.waitForEvents(kModifierRecheckMs);
}

// Shift may also come down while the characters just typed are on their
// way, and shift them (or be let go of while ours is down, if it is the
// same key): the characters from the first one changed on are taken back
// with BackSpace once the user's modifiers are up, and typed again.
void TSendkeys::retypeShiftedByUser(std::string &unchecked)
{
    for (;;) {
        waitForUserKeys();
        const std::optional<size_t> caught = m_desktop.keysToTypeAgain();
        if (!caught)
            continue; // a hotkey came down meanwhile
        if (*caught == 0 || unchecked.empty())
            break;
        const std::string again = unchecked.substr(unchecked.size() - std::min(*caught, unchecked.size()));
        for (size_t i = 0; i < again.size(); ++i)
            typeKey('\b', false);
        for (const char c : again)
            typeCharacter(static_cast<unsigned char>(c), false);
        m_desktop.flush();
        m_pump.processPending();
        unchecked = again;
    }
    unchecked.clear();
}

void TSendkeys::typeCharacter(unsigned char byte, bool modifierHeld)
{
    if (!typeKey(byte, modifierHeld))
        return;
    m_desktop.flush();
    waitUntil(m_pump, [] { return false; }, m_pump.nowMs() + kAltGrSettleMs);
}

bool TSendkeys::typeKey(unsigned char byte, bool modifierHeld)
{
    uint8_t key = 0;
    unsigned shiftState = 0;
    if (const auto fixed = fixedVirtualKey(byte)) {
        key = *fixed;
    } else {
        const auto scan = static_cast<uint16_t>(m_desktop.vkKeyScan(byte));
        key = uint8_t(scan & 0xFF);
        shiftState = scan >> 8;
    }
    const auto scanCode = uint8_t(m_desktop.mapVirtualKey(key));
    // A text that holds a modifier of its own gets none added.
    const ShiftKeys add = modifierHeld ? ShiftKeys{} : shiftKeysFor(shiftState);
    const auto altGrScan = uint8_t(m_desktop.mapVirtualKey(vk::RMenu));
    // AltGr outside Shift: its release, the last event, still carries it.
    if (add.altGr)
        m_desktop.keyEvent(vk::RMenu, altGrScan, false);
    if (add.shift)
        m_desktop.keyEvent(vk::Shift, kShiftScanCode, false);
    m_desktop.keyEvent(key, scanCode, false);
    m_desktop.keyEvent(key, scanCode, true);
    if (add.shift)
        m_desktop.keyEvent(vk::Shift, kShiftScanCode, true);
    if (add.altGr)
        m_desktop.keyEvent(vk::RMenu, altGrScan, true);
    return add.altGr;
}

} // namespace zibbles
