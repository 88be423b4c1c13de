#pragma once
// System-wide hotkeys on Windows: RegisterHotKey for a hidden message window
// of the GUI thread, whose hotkey messages Qt's event loop dispatches with
// those of every other window of the thread.
#include "platform/globalhotkeys.h"

#include <map>

struct HWND__;

namespace zibbles {

class Win32GlobalHotkeys : public GlobalHotkeys {
public:
    Win32GlobalHotkeys();
    ~Win32GlobalHotkeys() override; // gives every hotkey back

    // False when another program holds the combination or it is taken
    // already; the system answers at once.
    bool registerHotKey(uint16_t id, unsigned modifiers, unsigned vk) override;
    bool unregisterHotKey(uint16_t id) override;

    // The hidden window the hotkey messages go to.
    HWND__ *window() const { return m_window; }

private:
    friend struct HotkeyWindowProc;
    void hotKeyMessage(uint16_t atom, unsigned modifiers, unsigned vk);

    HWND__ *m_window = nullptr;
    // The caller's id -> the global atom that identifies the hotkey to the
    // system.
    std::map<uint16_t, uint16_t> m_atoms;
};

} // namespace zibbles
