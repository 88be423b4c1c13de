#pragma once
// TSendkeys: types 8-bit text into whatever window has the keyboard focus, one
// byte at a time by the key table, and activates windows found by title.
#include "platform/desktop.h"

#include <string>

namespace zibbles {

class MessagePump;

class TSendkeys {
public:
    TSendkeys(Desktop &desktop, MessagePump &pump) : m_desktop(desktop), m_pump(pump) {}

    // The top-level window titled `title` (at most 255 characters count), or 0.
    WindowHandle GetHandleFromWindowTitle(const std::string &title);
    // Restores the window when it is iconified, else raises it.
    void MakeWindowActive(WindowHandle window);
    // Types `text`, dispatching pending messages after every character. A
    // modifier that the text presses (250, 252, 254) and does not release is
    // released before returning, so no key stays held on the user's desktop.
    // Before each character, a modifier that the user holds down is waited
    // out in the event loop, so that it does not change what is typed; a
    // character that the user's Shift caught all the same is typed again.
    void SendKeys(const std::string &text);

private:
    void waitForUserKeys();
    void retypeShiftedByUser(std::string &unchecked);
    // typeKey, and after a key typed with AltGr the pause that Wine needs.
    void typeCharacter(unsigned char byte, bool modifierHeld);
    // Whether it added AltGr.
    bool typeKey(unsigned char byte, bool modifierHeld);

    Desktop &m_desktop;
    MessagePump &m_pump;
};

} // namespace zibbles
