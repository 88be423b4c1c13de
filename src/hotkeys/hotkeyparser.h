#pragma once
// Key texts such as "shift+F1" or "Ctrl + Alt + A" turned into hotkey codes.
#include "keynames.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zibbles {

// The words of a key text: a word ends at "+", at a line break or at the end;
// a "+" inside a pair of quotation marks (single or double) is part of the
// word. Blanks round each word are trimmed and empty words dropped.
std::vector<std::string> splitKeyText(const std::string &text);

// The hotkey code a key text names, 0 when it names none. Every word but the
// last must be a modifier ("Shift", "Ctrl", "Alt", "Win" or the layout's own
// names, in any case); the last names the key.
uint32_t ParseHotkeyText(const std::string &text, const LocalModifierNames &names);
uint32_t ParseHotkeyText(const std::string &text); // with localModifierNames()

} // namespace zibbles
