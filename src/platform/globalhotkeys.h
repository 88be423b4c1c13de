#pragma once
// System-wide hotkeys: key combinations that reach this program whichever
// window has the keyboard focus.
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace zibbles {

class GlobalHotkeys {
public:
    virtual ~GlobalHotkeys() = default;

    // Takes the combination of `modifiers` (Alt 1, Ctrl 2, Shift 4, Win 8)
    // and the virtual key `vk` for the whole desktop under `id`. False when
    // the desktop refuses it: another program holds it, it is taken already,
    // or no key of the keyboard produces `vk`. A refusal leaves nothing behind.
    virtual bool registerHotKey(uint16_t id, unsigned modifiers, unsigned vk) = 0;
    // The combinations (modifiers, virtual key) that registerHotKey is about
    // to be asked for in this turn of the event loop, so that the desktop can
    // settle them all in one exchange. Registers nothing: each registration
    // still answers for itself, at once, as without this call.
    virtual void expectHotKeys(const std::vector<std::pair<unsigned, unsigned>> & /*combinations*/) {}
    // Gives the combination of `id` back; false when it was not registered.
    virtual bool unregisterHotKey(uint16_t id) = 0;

    // Raised on the GUI thread, from the event loop, for a registered
    // combination that was pressed: its id, modifiers and virtual key.
    std::function<void(uint16_t id, unsigned modifiers, unsigned vk)> onHotKey;
};

// The system-wide hotkeys of the system the program was built for; without a
// display every registration is refused.
std::unique_ptr<GlobalHotkeys> createGlobalHotkeys();

} // namespace zibbles
