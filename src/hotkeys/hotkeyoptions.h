#pragma once
// Which system-wide hotkeys the user wants, as stored in the per-user store
// under Software\Quillmere\Zibbles\FunctionKeys: 24 integers, 1 for wanted.
#include <array>
#include <string>

namespace zibbles {

class UserStore;
struct ProgramSettings;

constexpr int kHotkeyOptionCount = 24;
extern const char *const kHotkeyOptionsKey;

// One option: its stored value, its check box and the setting it fills.
struct HotkeyOption {
    const char *valueName;  // "F1" .. "AF2"
    const char *boxName;    // the check box's object name
    const char *caption;    // the check box's caption
    enum Group { FKey, ShiftFKey, ExtraKey } group;
    int index;              // 1-based, in its setting's array
};

// In the order every reader and the writer visit them.
const std::array<HotkeyOption, kHotkeyOptionCount> &hotkeyOptions();

// The setting an option fills.
bool &hotkeySetting(ProgramSettings &settings, const HotkeyOption &option);

// Every hotkey becomes wanted, then the stored values are read in order; the
// first value that is missing or not an integer ends the reading silently.
void ReadHotkeySettings(UserStore &store, ProgramSettings &settings);

using HotkeyChoices = std::array<bool, kHotkeyOptionCount>;

// Sets choices[i] from each stored value in turn, so that the earlier ones
// stay set when a later one raises "Failed to get data for '%s'" or "Invalid
// data type for '%s'". False (nothing touched) when the key does not exist.
bool loadHotkeyChoices(UserStore &store, HotkeyChoices &choices);

// Writes all 24 values as 1 or 0, creating the key. False (nothing written)
// when the key cannot be opened or created; a value that cannot be written
// raises "Failed to set data for '%s'", the earlier ones staying written.
bool saveHotkeyChoices(UserStore &store, const HotkeyChoices &choices);

} // namespace zibbles
