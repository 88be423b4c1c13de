#pragma once
// What every fuzz check shares: a failed property throws FuzzFailure, which
// ends a fuzzing run with a crash report and fails the replay test.
#include <stdexcept>
#include <string>

namespace zibbles::fuzz {

struct FuzzFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

inline void require(bool holds, const std::string &what)
{
    if (!holds)
        throw FuzzFailure(what);
}

inline std::string asciiLower(std::string s)
{
    for (char &c : s)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return s;
}

// Each check takes one input of any bytes and throws FuzzFailure when a
// property of the code under test does not hold for it.
using Check = void (*)(const std::string &input);

void checkRegFile(const std::string &input);
void checkHotkeyText(const std::string &input);
void checkHttpUrl(const std::string &input);
void checkHttpAnswer(const std::string &input);
void checkShareServer(const std::string &input);
void checkZibbleRun(const std::string &input);

} // namespace zibbles::fuzz
