#pragma once
// THotKeyManager: registers hotkey codes with the desktop, keeps the list of
// what it registered, and raises OnHotKeyPressed when one of them is pressed.
#include <cstdint>
#include <functional>
#include <vector>

namespace zibbles {

class GlobalHotkeys;

struct HotkeyEntry {
    uint32_t code = 0;
    uint16_t id = 0;

    bool operator==(const HotkeyEntry &) const = default;
};

class THotKeyManager {
public:
    // `desktop` may be null (no desktop to register with): every
    // registration is then refused.
    explicit THotKeyManager(GlobalHotkeys *desktop);
    ~THotKeyManager(); // unregisters everything
    THotKeyManager(const THotKeyManager &) = delete;
    THotKeyManager &operator=(const THotKeyManager &) = delete;

    // The new entry's identifier (unique among the registered hotkeys, never
    // 0), or 0 when the desktop refused the combination or it is registered
    // already.
    uint16_t RegisterGlobalHotkey(uint32_t code);
    // Tells the desktop which codes are about to be registered, so that it
    // can check them in one go; the registrations still decide.
    void ExpectHotkeys(const std::vector<uint32_t> &codes);
    // Last to first; every entry leaves the list, refused or not.
    void UnregisterAllHotkeys();
    // For each code, whether the desktop refuses it to us because another
    // program holds it. Codes registered here are not; the others are tried
    // and given back at once.
    std::vector<bool> heldElsewhere(const std::vector<uint32_t> &codes);

    const std::vector<HotkeyEntry> &entries() const { return m_entries; }

    // HotKey: the code; Index: the entry's identifier.
    std::function<void(uint32_t HotKey, uint16_t Index)> OnHotKeyPressed;

private:
    void hotKeyMessage(uint16_t id, unsigned modifiers, unsigned vk);
    uint16_t freeId() const;
    bool isRegistered(uint32_t code) const;

    GlobalHotkeys *m_desktop;
    std::vector<HotkeyEntry> m_entries;
};

} // namespace zibbles
