#pragma once
// The zibble script language: what kind a line is, and the values of its
// commands. Every test is case-sensitive and looks only at the line's start.
#include <cstdint>
#include <optional>
#include <string>

namespace zibbles {

enum class LineKind { Chat, Delay, Media, Comment, LoopMarker };

LineKind lineKind(const std::string &line);

// The text of a delay or media command between its opening double quote and
// the next one; nullopt when no closing quote follows.
std::optional<std::string> commandArgument(const std::string &line);

// A delay value as a 32-bit signed number: leading blanks, an optional sign,
// then decimal digits or hexadecimal ones after "$", "x" or "0x". Anything
// else, and a value out of range, reads as 0.
int32_t readDelayValue(const std::string &text);

// Delays run from 1 to this many milliseconds.
constexpr int32_t kLongestDelayMs = 30000;
// A looping zibble must wait at least one delay this long in each pass.
constexpr int32_t kLoopDelayMs = 250;

} // namespace zibbles
