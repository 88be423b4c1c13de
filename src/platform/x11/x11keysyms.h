#pragma once
// What the keymap tables need to know about X keysyms, as plain numbers.
#include <cstdint>
#include <vector>

namespace zibbles::keysyms {

// The keysyms that stand for a Windows-1252 character, most usual first;
// empty for control characters and the undefined bytes.
std::vector<uint32_t> forCharacter(unsigned char ch);

// Case forms of a letter keysym; the keysym itself when it has none.
uint32_t toLower(uint32_t keysym);
uint32_t toUpper(uint32_t keysym);

// The virtual key of a key whose unshifted keysym this is, as on a US
// keyboard (digits, letters, punctuation, space, the editing and function
// keys, the modifiers, AltGr as the right-hand Alt); 0 for every other keysym.
uint8_t primaryVk(uint32_t keysym);
// A second choice for the modifiers, used when a layout lacks the left-hand key.
uint8_t fallbackVk(uint32_t keysym);

// True for the keysyms that the virtual-key tables hand out by name, so
// that no other key is given their number.
bool isNamedVk(uint8_t vk);

bool isKeypad(uint32_t keysym);

} // namespace zibbles::keysyms
