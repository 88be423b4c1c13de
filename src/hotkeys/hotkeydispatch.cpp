#include "hotkeydispatch.h"

#include "hotkeycode.h"
#include "hotkeymanager.h"
#include "hotkeyoptions.h"
#include "hotkeyparser.h"

#include "core/programsettings.h"

namespace zibbles {

namespace {
constexpr int kPlayKeys = 12;
constexpr int kSetKeys = 10;

// The code of an option's key: the F-keys by their key texts, as the
// program has always named them; 0 when a text names no key.
uint32_t optionCode(const HotkeyOption &option)
{
    const std::string n = std::to_string(option.index);
    switch (option.group) {
    case HotkeyOption::FKey:
        return ParseHotkeyText("F" + n);
    case HotkeyOption::ShiftFKey:
        return ParseHotkeyText("shift+F" + n);
    case HotkeyOption::ExtraKey:
        break;
    }
    return option.index == 1 ? kVkPageUp : kVkPrintScreen;
}
} // namespace

void dispatchHotkey(uint32_t hotKey, bool zibbleRunning, bool &stopRequested, HotkeyActions &actions)
{
    if (zibbleRunning) {
        stopRequested = true;
        return;
    }
    if (hotKey == kVkPageUp) {
        actions.toggleSleepMode();
    } else if (hotKey == kVkPrintScreen) {
        actions.saveScreenshot();
    } else if (hotKey >= kVkF1 && hotKey < kVkF1 + kPlayKeys) {
        actions.runZibble("F" + std::to_string(hotKey - kVkF1 + 1));
    } else if (hotKey >= (kCodeShift | kVkF1) && hotKey < (kCodeShift | kVkF1) + kSetKeys) {
        actions.selectSet(int(hotKey - (kCodeShift | kVkF1)) + 1);
    }
}

void setUpHotkeys(THotKeyManager &manager, UserStore &store, ProgramSettings &settings)
{
    manager.UnregisterAllHotkeys();
    ReadHotkeySettings(store, settings);
    // F1..F12, Shift+F1..Shift+F10, Page Up, Print Screen: the options' order.
    std::vector<uint32_t> codes;
    for (const HotkeyOption &option : hotkeyOptions())
        if (const uint32_t code = optionCode(option); code && hotkeySetting(settings, option))
            codes.push_back(code);
    manager.ExpectHotkeys(codes);
    for (uint32_t code : codes)
        manager.RegisterGlobalHotkey(code);
}

std::vector<bool> keysHeldElsewhere(THotKeyManager &manager)
{
    std::vector<uint32_t> codes;
    for (const HotkeyOption &option : hotkeyOptions())
        codes.push_back(optionCode(option));
    return manager.heldElsewhere(codes);
}

} // namespace zibbles
