#pragma once
// Windows virtual keys on an X keyboard mapping. Built from one snapshot of
// the server's mapping, so the tables are a pure function of it and can be
// checked against hand-made layouts.
#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace zibbles {

// What XGetKeyboardMapping reports: keysymsPerKeycode entries for each
// keycode from minKeycode on (0 = NoSymbol), and the keyboard group (layout)
// in use: 0 for the first, 1 for the second.
struct KeymapSnapshot {
    int minKeycode = 8;
    int keysymsPerKeycode = 0;
    std::vector<uint32_t> keysyms;
    int group = 0;

    int keycodeCount() const;
    uint32_t keysym(int keycode, int index) const; // 0 outside the table
    bool operator==(const KeymapSnapshot &) const = default;
};

class X11Keymap {
public:
    X11Keymap(); // an empty layout: every lookup fails
    explicit X11Keymap(const KeymapSnapshot &snapshot);

    // The virtual key of the key a user presses for the Windows-1252
    // character `ch` in its low byte and, as VkKeyScan gives it, the shift
    // state in the high byte: 1 on the shifted level, 6 (Ctrl+Alt, that is
    // AltGr) on the third, 7 on the fourth; -1 when the layout cannot type it.
    // AltGr is the key that carries ISO_Level3_Shift, on virtual key 0xA5
    // (the right-hand Alt, which is AltGr on Windows).
    int16_t vkKeyScan(unsigned char ch) const;
    // The keycode a virtual key presses, 0 when it has none.
    unsigned keycodeForVk(uint8_t vk) const;
    // The scan code of a virtual key (its keycode - 8), 0 when it has none.
    unsigned scanCodeForVk(uint8_t vk) const;

    static constexpr uint8_t kAltGrVk = 0xA5;

private:
    struct Candidate {
        int keycode = 0;
        int level = 0;
    };
    // Where each keysym sits on the levels of the layout in use (0..3).
    using KeysymIndex = std::unordered_map<uint32_t, std::vector<Candidate>>;

    void bindFixedKeys(const KeymapSnapshot &snapshot);
    void bindCharacters(const KeysymIndex &index);
    Candidate bestKeyFor(const KeysymIndex &index, unsigned char ch) const;
    uint8_t takeFreeVk();

    std::array<uint16_t, 256> m_keycodeOfVk{}; // by virtual key
    std::vector<uint8_t> m_vkOfKeycode;          // by keycode
    std::vector<bool> m_keypadKeycode;           // by keycode
    std::array<int16_t, 256> m_scan{};           // by character
    std::array<bool, 256> m_vkTaken{};
    bool m_hasAltGr = false;
};

} // namespace zibbles
