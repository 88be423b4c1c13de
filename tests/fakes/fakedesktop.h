#pragma once
// A desktop that records every key event and window operation, with a fixed
// US keyboard layout: letters, digits and the common punctuation, and two
// characters on AltGr.
#include "platform/desktop.h"

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace zibbles::testing {

struct KeyEventRecord {
    uint8_t vk;
    uint8_t scan;
    bool up;
    bool operator==(const KeyEventRecord &) const = default;
};

// The scan code the fake gives a virtual key: distinct for every key.
inline uint8_t fakeScan(unsigned vk)
{
    return uint8_t((vk * 7 + 3) & 0xFF);
}

class FakeDesktop : public Desktop {
public:
    WindowHandle findWindow(const std::string &title) override
    {
        searched.push_back(title);
        const auto it = windows.find(title);
        return it == windows.end() ? 0 : it->second;
    }
    bool isIconic(WindowHandle window) override { return iconic.count(window) > 0; }
    void restoreWindow(WindowHandle window) override
    {
        activations.push_back("restore " + std::to_string(window));
        iconic.erase(window);
    }
    void bringWindowToTop(WindowHandle window) override { activations.push_back("raise " + std::to_string(window)); }

    void refreshKeymap() override { ++keymapRefreshes; }
    int16_t vkKeyScan(unsigned char ch) override { return layoutScan(ch); }
    static int16_t layoutScan(unsigned char ch)
    {
        if (ch >= 'a' && ch <= 'z')
            return int16_t(ch - 'a' + 'A');
        if (ch >= 'A' && ch <= 'Z')
            return int16_t(0x100 | ch);
        if (ch >= '0' && ch <= '9')
            return ch;
        static const std::map<unsigned char, int16_t> punctuation = {
            {' ', 0x20},   {'!', 0x131}, {'(', 0x139}, {')', 0x130}, {':', 0x1BA}, {';', 0xBA},
            {'\'', 0xDE},  {'"', 0x1DE}, {',', 0xBC},  {'.', 0xBE},  {'?', 0x1BF}, {'/', 0xBF},
            {'-', 0xBD},   {'_', 0x1BD}, {'=', 0xBB},  {'+', 0x1BB}, {'%', 0x135}, {'#', 0x133},
            {'>', 0x1BE},  {'<', 0x1BC}, {'$', 0x134}, {'&', 0x137},
            {'@', 0x651},  {'|', 0x7E2}, // AltGr and Shift+AltGr, as on a German layout
        };
        const auto it = punctuation.find(ch);
        return it == punctuation.end() ? int16_t(-1) : it->second;
    }
    unsigned mapVirtualKey(unsigned vk) override { return fakeScan(vk); }
    bool userHoldsKeys() override { return userModifier && userModifier(); }
    std::optional<size_t> keysToTypeAgain() override { return toTypeAgain ? toTypeAgain() : 0; }
    void keyEvent(uint8_t vk, uint8_t scanCode, bool keyUp) override { events.push_back({vk, scanCode, keyUp}); }
    void flush() override { ++flushes; }

    // The text the recorded events type under this layout: a press of a key
    // counts, with Shift if Shift is down; Enter reads "\r", virtual key 10
    // "\n", other keys without a character "<vk>".
    std::string typedText() const
    {
        std::string text;
        bool shift = false;
        for (const auto &e : events) {
            if (e.vk == 16) {
                shift = !e.up;
                continue;
            }
            if (!e.up)
                text += characterOf(e.vk, shift);
        }
        return text;
    }

    std::map<std::string, WindowHandle> windows;
    std::set<WindowHandle> iconic;
    std::vector<std::string> searched;
    std::vector<std::string> activations;
    std::vector<KeyEventRecord> events;
    std::function<bool()> userModifier;  // whether the user holds one now
    std::function<std::optional<size_t>()> toTypeAgain; // the presses from the first the user's Shift caught
    int keymapRefreshes = 0;
    int flushes = 0;

private:
    static std::string characterOf(uint8_t vk, bool shift)
    {
        if (vk == 13)
            return "\r";
        if (vk == 10)
            return "\n";
        for (int c = 32; c < 128; ++c) {
            const int16_t scan = layoutScan(static_cast<unsigned char>(c));
            if (scan != -1 && (scan & 0xFF) == vk && ((scan >> 8) != 0) == shift)
                return std::string(1, char(c));
        }
        return "<" + std::to_string(vk) + ">";
    }
};

} // namespace zibbles::testing
