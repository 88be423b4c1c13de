#pragma once
// A desktop without windows, for a main window that was given none: nothing
// is found, so nothing is typed.
#include "platform/desktop.h"

namespace zibbles {

class NoDesktop : public Desktop {
public:
    WindowHandle findWindow(const std::string &) override { return 0; }
    bool isIconic(WindowHandle) override { return false; }
    void restoreWindow(WindowHandle) override {}
    void bringWindowToTop(WindowHandle) override {}
    void refreshKeymap() override {}
    int16_t vkKeyScan(unsigned char) override { return -1; }
    unsigned mapVirtualKey(unsigned) override { return 0; }
    bool userHoldsKeys() override { return false; }
    std::optional<size_t> keysToTypeAgain() override { return 0; }
    void keyEvent(uint8_t, uint8_t, bool) override {}
    void flush() override {}
};

} // namespace zibbles
