#pragma once
// The performers settings in the per-user store.
#include <optional>
#include <string>

namespace zibbles {

class UserStore;
struct ProgramSettings;

extern const char *const kAdvancedKey; // \Software\Quillmere\Zibbles\Advanced

struct PerformersSettings {
    bool directorMode = false;
    std::string charName; // UTF-8, as stored, not cut
};

// The stored settings; nullopt when the key does not exist. A key without a
// DirectorMode value, or with a value of another type, raises the store's
// read error naming it.
std::optional<PerformersSettings> readPerformersSettings(UserStore &store);

// Creates the key if needed and writes both values; false (nothing written)
// when the key cannot be opened. A failed write raises.
bool writePerformersSettings(UserStore &store, const PerformersSettings &stored);

// Makes the program-wide settings follow `stored`: the name becomes the
// Windows-1252 text that zibble lines are compared with (a character the code
// page lacks becomes "?"), cut to its first 255 characters.
void applyPerformersSettings(const PerformersSettings &stored, ProgramSettings &settings);

// Start-up: the stored settings, when there are any, replace the current ones.
// A read error leaves the current ones and raises.
void LoadPerformersSettings(UserStore &store, ProgramSettings &settings);

} // namespace zibbles
