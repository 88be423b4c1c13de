#include "hotkeydispatch.h"

#include "hotkeycode.h"
#include "hotkeymanager.h"
#include "hotkeyoptions.h"
#include "hotkeyparser.h"

#include "app/programsettings.h"

namespace zibbles {

namespace {
constexpr int kPlayKeys = 12;
constexpr int kSetKeys = 10;

void registerParsed(THotKeyManager &manager, const std::string &keyText)
{
    if (const uint32_t code = ParseHotkeyText(keyText))
        manager.RegisterGlobalHotkey(code);
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
    for (int n = 1; n <= kPlayKeys; ++n)
        if (settings.FKeyEnabled[size_t(n)])
            registerParsed(manager, "F" + std::to_string(n));
    for (int n = 1; n <= kSetKeys; ++n)
        if (settings.ShiftFKeyEnabled[size_t(n)])
            registerParsed(manager, "shift+F" + std::to_string(n));
    if (settings.ExtraKeyEnabled[1])
        manager.RegisterGlobalHotkey(kVkPageUp);
    if (settings.ExtraKeyEnabled[2])
        manager.RegisterGlobalHotkey(kVkPrintScreen);
}

} // namespace zibbles
