#pragma once
// The texts the script runner types into the There chat.
#include <string>

namespace zibbles {

enum class ScriptError {
    MissingQuote,   // A: a delay or media command has no closing quote
    ZeroDelay,      // B: the delay value reads as 0
    DelayTooLong,   // C: the delay value is above 30000
    MediaNotFound,  // D: no file at the media path
    MediaNotSound,  // E: neither .wav nor .mp3
};

// The error's first text, for line number `lineNumber` (from 1); `mediaPath`
// is used by D and E only.
std::string scriptErrorText(ScriptError error, size_t lineNumber, const std::string &mediaPath = {});

// Typed after every error text: its line end sends the error as a chat line.
extern const char *const kGeekLine;

// Typed when a zibble loops without a long enough delay.
extern const char *const kSpamNotice;

} // namespace zibbles
