#include "hotkeyoptions.h"

#include "core/error.h"
#include "core/programsettings.h"
#include "platform/userstore.h"

namespace zibbles {

const char *const kHotkeyOptionsKey = "\\Software\\Quillmere\\Zibbles\\FunctionKeys";

const std::array<HotkeyOption, kHotkeyOptionCount> &hotkeyOptions()
{
    using G = HotkeyOption;
    static const std::array<HotkeyOption, kHotkeyOptionCount> options{{
        {"F1", "Df1", "F1", G::FKey, 1},
        {"F2", "Df2", "F2", G::FKey, 2},
        {"F3", "df3", "F3", G::FKey, 3},
        {"F4", "df4", "F4", G::FKey, 4},
        {"F5", "df5", "F5", G::FKey, 5},
        {"F6", "df6", "F6", G::FKey, 6},
        {"F7", "df7", "F7", G::FKey, 7},
        {"F8", "df8", "F8", G::FKey, 8},
        {"F9", "df9", "F9", G::FKey, 9},
        {"F10", "df10", "F10", G::FKey, 10},
        {"F11", "df11", "F11", G::FKey, 11},
        {"F12", "df12", "F12", G::FKey, 12},
        {"SF1", "sdf1", "Shift F1", G::ShiftFKey, 1},
        {"SF2", "sdf2", "Shift F2", G::ShiftFKey, 2},
        {"SF3", "sdf3", "Shift F3", G::ShiftFKey, 3},
        {"SF4", "sdf4", "Shift F4", G::ShiftFKey, 4},
        {"SF5", "sdf5", "Shift F5", G::ShiftFKey, 5},
        {"SF6", "sdf6", "Shift F6", G::ShiftFKey, 6},
        {"SF7", "sdf7", "Shift F7", G::ShiftFKey, 7},
        {"SF8", "sdf8", "Shift F8", G::ShiftFKey, 8},
        {"SF9", "sdf9", "Shift F9", G::ShiftFKey, 9},
        {"SF10", "sdf10", "Shift F10", G::ShiftFKey, 10},
        {"AF1", "asdf1", "Page Up (Sleep)", G::ExtraKey, 1},
        {"AF2", "asdf2", "Print Screen Trap", G::ExtraKey, 2},
    }};
    return options;
}

bool &hotkeySetting(ProgramSettings &settings, const HotkeyOption &option)
{
    const size_t i = size_t(option.index);
    switch (option.group) {
    case HotkeyOption::FKey:
        return settings.FKeyEnabled.at(i);
    case HotkeyOption::ShiftFKey:
        return settings.ShiftFKeyEnabled.at(i);
    case HotkeyOption::ExtraKey:
        break;
    }
    return settings.ExtraKeyEnabled.at(i);
}

StoredHotkeyChoices readHotkeyChoices(UserStore &store)
{
    StoredHotkeyChoices stored;
    stored.choices.fill(true);
    RegistryKey key(store);
    if (!key.openKeyReadOnly(kHotkeyOptionsKey))
        return stored; // every hotkey is wanted
    for (size_t i = 0; i < stored.choices.size(); ++i) {
        try {
            stored.choices[i] = key.readInteger(hotkeyOptions()[i].valueName) != 0;
        } catch (const AppError &e) {
            stored.error = e.what(); // this one and all later ones stay wanted
            break;
        }
    }
    return stored;
}

void ReadHotkeySettings(UserStore &store, ProgramSettings &settings)
{
    const HotkeyChoices choices = readHotkeyChoices(store).choices;
    for (size_t i = 0; i < choices.size(); ++i)
        hotkeySetting(settings, hotkeyOptions()[i]) = choices[i];
}

void saveHotkeyChoices(UserStore &store, const HotkeyChoices &choices)
{
    std::vector<RegValue> values;
    for (size_t i = 0; i < choices.size(); ++i)
        values.push_back(RegistryKey::integerValue(hotkeyOptions()[i].valueName, choices[i] ? 1 : 0));
    RegistryKey key(store);
    key.openKeyForWriting(kHotkeyOptionsKey);
    key.writeValues(std::move(values));
}

} // namespace zibbles
