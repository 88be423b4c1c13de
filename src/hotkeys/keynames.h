#pragma once
// Names of virtual keys, as a US keyboard layout spells them ("F1", "Page Up",
// "Shift"), and the modifier names that key texts may use.
#include <string>

namespace zibbles {

// The key's name, empty for a key that has none. 112..123 are "F1".."F12",
// and no lower key bears one of those names.
std::string KeyName(unsigned key);

// The first virtual key from 8 to 255 whose name equals `name`, compared
// without regard to case; 0 when none does.
unsigned FindKeyByName(const std::string &name);

// The names this layout gives the modifier keys.
struct LocalModifierNames {
    std::string shift;
    std::string ctrl;
    std::string alt;
    std::string win;
};

// "Win", written "WIN" when the layout's Alt name is all capitals A..Z (an
// empty name counts as such): the layout then writes its key names that way.
std::string winNameFor(const std::string &altName);

// The names of keys 16, 17, 18 and the matching Win name.
LocalModifierNames localModifierNames();

// ASCII comparison without regard to case.
bool sameTextIgnoringCase(const std::string &a, const std::string &b);

} // namespace zibbles
