#include "sendkeys.h"

#include "keytable.h"

#include "platform/eventloop.h"

#include <array>

namespace zibbles {

namespace {

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
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (const auto modifier = modifierCode(byte)) {
            m_desktop.keyEvent(modifier->vk, uint8_t(m_desktop.mapVirtualKey(modifier->vk)), modifier->keyUp);
            modifierHeld = !modifier->keyUp;
            held.note(*modifier);
        } else {
            typeKey(byte, modifierHeld);
        }
        m_desktop.flush();
        m_pump.processPending();
    }
}

void TSendkeys::typeKey(unsigned char byte, bool modifierHeld)
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
    // Any shift state gives Shift alone, as the key table has it.
    const bool addShift = shiftState != 0 && !modifierHeld;
    if (addShift)
        m_desktop.keyEvent(vk::Shift, kShiftScanCode, false);
    m_desktop.keyEvent(key, scanCode, false);
    m_desktop.keyEvent(key, scanCode, true);
    if (addShift)
        m_desktop.keyEvent(vk::Shift, kShiftScanCode, true);
}

} // namespace zibbles
