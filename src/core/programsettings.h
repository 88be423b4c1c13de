#pragma once
// Program-wide settings, filled from the per-user store.
#include <array>
#include <string>

namespace zibbles {

struct ProgramSettings {
    // Which hotkeys are wanted; index 1..12, 1..10 and 1..2 (index 0 unused).
    std::array<bool, 13> FKeyEnabled{};
    std::array<bool, 11> ShiftFKeyEnabled{};
    std::array<bool, 3> ExtraKeyEnabled{}; // 1 Page Up, 2 Print Screen

    bool PerformersMode = false;
    std::string CharacterName;          // at most 255 characters
};

} // namespace zibbles
