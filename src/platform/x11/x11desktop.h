#pragma once
// The desktop on an X11 server: EWMH/ICCCM for windows, XTest for keys.
#include "platform/desktop.h"
#include "platform/x11/x11hotkeyhold.h"
#include "platform/x11/x11keymap.h"
#include "platform/x11/x11modifierstate.h"

#include <chrono>
#include <memory>
#include <optional>

struct _XDisplay;
class QSocketNotifier;

namespace zibbles {

class X11Windows;

class X11Desktop : public Desktop {
public:
    // Opens its own connection to `displayName` (empty: $DISPLAY); throws
    // AppError when there is no X server or it lacks the XTest extension.
    // Waits out the grabs of the hotkeys that note them in `hold`.
    explicit X11Desktop(const std::string &displayName = {}, std::shared_ptr<X11HotkeyHold> hold = {});
    ~X11Desktop() override;

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
    void readEvents();
    bool putRightWhatGrabsTook();
    void typeAgainFrom(const std::vector<X11SentPresses::Press> &sent, size_t first, int backSpace, size_t taken);
    bool pressAgainShiftsLetGoUnderAGrab(const std::bitset<256> &released);
    void fakeKey(int keycode, bool down);
    void tapKey(int keycode, const std::bitset<256> &modifierKeys);
    void holdOwnModifierKeys(const std::bitset<256> &keys);

    struct DisplayCloser {
        void operator()(_XDisplay *display) const;
    };
    std::unique_ptr<_XDisplay, DisplayCloser> m_display;
    std::unique_ptr<X11Windows> m_windows;
    KeymapSnapshot m_mapping; // what m_keymap was built from
    std::optional<std::chrono::steady_clock::time_point> m_mappingReadAt;
    bool m_mappingChanged = false; // announced since the mapping was read
    int m_xkbEventBase = -1; // -1: no announcements of mapping changes
    X11Keymap m_keymap;
    bool m_capsLock = false; // as it was at the start of the text
    X11ModifierState m_modifiers;                // kept from the server's notices
    std::shared_ptr<X11HotkeyHold> m_hold;       // the hotkeys' grab of the keyboard
    X11SentPresses m_sentPresses;                // since the last look at it
    std::chrono::steady_clock::time_point m_windowHasReadAllBy{}; // at the latest
    std::unique_ptr<QSocketNotifier> m_notifier; // reads them as they come
};

} // namespace zibbles
