#pragma once
// The Windows desktop: windows found by title and activated, the keyboard
// layout's virtual keys, and key events put into the system's input stream.
// A character that no key of the layout types as it stands (none at all, a
// dead key, AltGr under Wine) goes as a character event of its own: its
// virtual key is VK_PACKET.
#include "platform/desktop.h"

#include <memory>

namespace zibbles {

class Win32Desktop : public Desktop {
public:
    Win32Desktop();
    ~Win32Desktop() override;

    WindowHandle findWindow(const std::string &title) override;
    bool isIconic(WindowHandle window) override;
    void restoreWindow(WindowHandle window) override;
    void bringWindowToTop(WindowHandle window) override;

    void refreshKeymap() override;
    int16_t vkKeyScan(unsigned char ch) override;
    unsigned mapVirtualKey(unsigned vk) override;
    bool userHoldsKeys() override;
    std::optional<size_t> keysToTypeAgain() override;
    void keyEvent(uint8_t vk, uint8_t scanCode, bool keyUp) override;
    void flush() override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace zibbles
