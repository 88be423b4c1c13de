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

// The options in effect, as ReadHotkeySettings takes them, and the error of
// the value that ended the reading ("Failed to get data for '%s'" or
// "Invalid data type for '%s'"; empty when there was none, or no key).
struct StoredHotkeyChoices {
    HotkeyChoices choices;
    std::string error;
};
StoredHotkeyChoices readHotkeyChoices(UserStore &store);

// Writes all 24 values as 1 or 0 in one write of the store, creating the
// key; when the store cannot be written, nothing is and "Failed to set data
// for '%s'" is raised with the first value's name.
void saveHotkeyChoices(UserStore &store, const HotkeyChoices &choices);

} // namespace zibbles
