#pragma once
// Finding and driving another program's window, and typing into it: the
// services the keystroke sender needs of the desktop.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace zibbles {

using WindowHandle = uint64_t; // 0: no window

class Desktop {
public:
    virtual ~Desktop() = default;

    // The top-level window whose title is exactly `title` (Windows-1252, like
    // all the program's texts), or 0; a window that is withdrawn (closed to
    // nothing, never shown) is not found, an iconified one is.
    virtual WindowHandle findWindow(const std::string &title) = 0;
    virtual bool isIconic(WindowHandle window) = 0;
    // Restores an iconified window and gives it the keyboard focus. Where a
    // window manager hands out the focus, returns once it has (or after a
    // short time-out), so that the keys typed next go to the window.
    virtual void restoreWindow(WindowHandle window) = 0;
    // Raises the window and gives it the keyboard focus, likewise.
    virtual void bringWindowToTop(WindowHandle window) = 0;

    // Rebuilds the key tables from the live keyboard mapping; called at the
    // start of each typed text so that a layout change is picked up.
    virtual void refreshKeymap() = 0;
    // The virtual key that types `ch` in its low byte and the shift state in
    // its high byte (1: Shift); -1 when the layout cannot produce it.
    virtual int16_t vkKeyScan(unsigned char ch) = 0;
    // The scan code of a virtual key, 0 when it has none.
    virtual unsigned mapVirtualKey(unsigned vk) = 0;
    // Whether the user holds down a key that typing must wait out: a
    // modifier that these key events did not press (the user's Shift of
    // Shift+F2, say), which would change the keys typed now (lock keys do
    // not count), or a hotkey, which takes every key from the window while
    // it is down (keysToTypeAgain puts right what it took). The release
    // reaches the message pump as an event, so a wait for it can block there.
    virtual bool userHoldsKeys() = 0;
    // Waits until the desktop has taken in every key event sent, puts right
    // the keys that a hotkey took (see userHoldsKeys), and tells whether the
    // user's Shift changed one of the keys pressed since the last call
    // (modifier keys aside): Shift was down as it went down although these
    // key events had not pressed it, or up although they had. The number of
    // presses from the first one changed on, that one included; 0 when none
    // was. None while a hotkey is held: wait until userHoldsKeys() is false,
    // then ask again.
    virtual std::optional<size_t> keysToTypeAgain() = 0;
    // One key event of a virtual key; a key with no keysym sends nothing.
    virtual void keyEvent(uint8_t vk, uint8_t scanCode, bool keyUp) = 0;
    // Hands every queued event to the display server, in order.
    virtual void flush() = 0;
};

// The desktop of the system the program was built for, on the display the
// environment names; throws AppError when there is none.
std::unique_ptr<Desktop> createDesktop();

} // namespace zibbles
