#pragma once
// What a pressed hotkey does, and which hotkeys are registered.
#include <cstdint>
#include <string>
#include <vector>

namespace zibbles {

class THotKeyManager;
class UserStore;
struct ProgramSettings;

// The actions the hotkeys start.
class HotkeyActions {
public:
    virtual ~HotkeyActions() = default;
    virtual void runZibble(const std::string &slotKey) = 0; // "F1".."F12"
    virtual void toggleSleepMode() = 0;
    virtual void selectSet(int set) = 0;                     // 1..10
    virtual void saveScreenshot() = 0;
};

// While a zibble runs every hotkey only asks it to stop (its own action is
// dropped); otherwise F1..F12 play a slot, Shift+F1..Shift+F10 select a set,
// Page Up toggles sleep mode, Print Screen stores a screenshot. Other codes
// do nothing.
void dispatchHotkey(uint32_t hotKey, bool zibbleRunning, bool &stopRequested, HotkeyActions &actions);

// Unregisters every hotkey, reads the stored options into `settings` and
// registers the wanted ones. Refusals are not reported.
void setUpHotkeys(THotKeyManager &manager, UserStore &store, ProgramSettings &settings);

// For each of the 24 options, in their order, whether another program holds
// its key.
std::vector<bool> keysHeldElsewhere(THotKeyManager &manager);

} // namespace zibbles
