#pragma once
// The Windows desktop: windows found by title and activated, the keyboard
// layout's virtual keys, and key events put into the system's input stream.
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
