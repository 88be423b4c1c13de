#pragma once
// Hotkeys pressed from another client, through XTest as a keyboard would,
// while the real program types a long zibble: taps, keys held down (so that
// they repeat), Shift+F2 with Shift held on after F2. What arrives in the
// chat window must be whole lines in order: each run of the zibble is its
// lines from the first on, cut (by a stop) only between two lines.
#include "x11harness.h"
#include "zibblesprogram.h"

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Lines of mixed characters, shifted and not, each one different.
std::vector<std::string> stormLines(int count, int length);
// Gives every slot that a press can start (F1 to F4, in both sets that
// Shift+F2 may leave selected) the zibble of these lines.
void putEverywhere(const ZibblesProgram &program, const std::vector<std::string> &lines);

struct StormReport {
    int presses = 0;        // hotkey presses made, each a moment after F1 began a run
    int runs = 0;           // runs that typed at least a line
    int cutRuns = 0;        // runs that a press stopped before their last line
    int linesArrived = 0;
    std::vector<std::string> damage; // what arrived wrong, and where
};

// Fails the running test for every damaged line, and when too few presses
// came while a run was typing to show anything; prints the figures.
void expectOnlyWholeLines(const StormReport &report);

class HotkeyStorm {
public:
    // `lines` reads what has arrived in the chat window so far; `script`
    // is the zibble that every slot the presses can start holds.
    HotkeyStorm(X11Probe &probe, std::function<std::vector<std::string>()> lines, std::vector<std::string> script);

    // Which presses a storm makes: hotkeys alone (taps, held keys), or those
    // and Shift+F2, whose Shift the user holds while the zibble types.
    enum class Presses { HotkeysAlone, WithShift };

    // Starts F1's zibble `cycles` times and presses a hotkey during each run.
    StormReport run(int cycles, unsigned seed, Presses presses = Presses::WithShift);

private:
    void pressDuringRun(unsigned choice, unsigned timing);
    void waitUntilQuiet();
    void check(StormReport &report) const;
    void key(const char *name, bool down);

    X11Probe &m_probe;
    std::function<std::vector<std::string>()> m_lines;
    std::vector<std::string> m_script;
};

} // namespace e2e
