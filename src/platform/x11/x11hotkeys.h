#pragma once
// System-wide hotkeys on an X11 server: passive key grabs on the root window,
// one for each combination of the lock keys, so that a hotkey works whether
// Caps Lock, Num Lock or Scroll Lock is on.
#include "platform/globalhotkeys.h"

#include <memory>
#include <string>

namespace zibbles {

class X11HotkeyHold;

class X11GlobalHotkeys : public GlobalHotkeys {
public:
    // Opens a connection of its own to `displayName` (empty: $DISPLAY).
    // Without an X server every registration is refused. Notes its grabs in
    // `hold` (one of its own when none is given), for the desktop that types.
    explicit X11GlobalHotkeys(const std::string &displayName = {}, std::shared_ptr<X11HotkeyHold> hold = {});
    ~X11GlobalHotkeys() override; // gives every grab back

    bool connected() const;
    // Grabs all the expected combinations with one round trip to the server;
    // the registrations that follow in the same turn take these grabs (or
    // their refusals) instead of asking again. Grabs nobody registered are
    // given back at the next turn.
    void expectHotKeys(const std::vector<std::pair<unsigned, unsigned>> &combinations) override;
    bool registerHotKey(uint16_t id, unsigned modifiers, unsigned vk) override;
    bool unregisterHotKey(uint16_t id) override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace zibbles
