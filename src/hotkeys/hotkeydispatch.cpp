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

void addParsed(std::vector<uint32_t> &codes, const std::string &keyText)
{
    if (const uint32_t code = ParseHotkeyText(keyText))
        codes.push_back(code);
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
    std::vector<uint32_t> codes;
    for (int n = 1; n <= kPlayKeys; ++n)
        if (settings.FKeyEnabled[size_t(n)])
            addParsed(codes, "F" + std::to_string(n));
    for (int n = 1; n <= kSetKeys; ++n)
        if (settings.ShiftFKeyEnabled[size_t(n)])
            addParsed(codes, "shift+F" + std::to_string(n));
    if (settings.ExtraKeyEnabled[1])
        codes.push_back(kVkPageUp);
    if (settings.ExtraKeyEnabled[2])
        codes.push_back(kVkPrintScreen);
    manager.ExpectHotkeys(codes);
    for (uint32_t code : codes)
        manager.RegisterGlobalHotkey(code);
}

} // namespace zibbles
