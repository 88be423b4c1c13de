#include "hotkeystorm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <random>
#include <thread>

// After gtest: Xlib defines None and Bool as macros.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

using namespace std::chrono_literals;

namespace e2e {

std::vector<std::string> stormLines(int count, int length)
{
    const std::string characters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789    "
                                   "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";
    std::mt19937 random(4711);
    std::vector<std::string> lines;
    for (int n = 0; n < count; ++n) {
        std::string line = std::to_string(100 + n) + " ";
        while (int(line.size()) < length)
            line += characters[random() % characters.size()];
        lines.push_back(line);
    }
    return lines;
}

void putEverywhere(const ZibblesProgram &program, const std::vector<std::string> &lines)
{
    std::string zibble;
    for (const std::string &line : lines)
        zibble += line + "\r\n";
    for (const char *set : {"Set1", "Set2"})
        for (const char *slot : {"F1", "F2", "F3", "F4"})
            program.put(std::string(set) + "/" + slot, zibble);
}

void expectOnlyWholeLines(const StormReport &report)
{
    std::cout << report.presses << " presses, " << report.runs << " runs, " << report.cutRuns
              << " cut short by a press, " << report.linesArrived << " lines, " << report.damage.size()
              << " damaged\n";
    for (const std::string &line : report.damage)
        ADD_FAILURE() << line;
    EXPECT_GE(report.cutRuns, report.presses / 2) << "too few presses came while a run was typing";
}

HotkeyStorm::HotkeyStorm(X11Probe &probe, std::function<std::vector<std::string>()> lines,
                         std::vector<std::string> script)
    : m_probe(probe), m_lines(std::move(lines)), m_script(std::move(script))
{
}

void HotkeyStorm::key(const char *name, bool down)
{
    Display *d = static_cast<Display *>(m_probe.display());
    XTestFakeKeyEvent(d, XKeysymToKeycode(d, XStringToKeysym(name)), down, CurrentTime);
    XSync(d, False);
}

void HotkeyStorm::pressDuringRun(unsigned choice, unsigned timing)
{
    const auto ms = [](unsigned n) { return std::chrono::milliseconds(n); };
    switch (choice) {
    case 0: // a tap of a key that would play another zibble
        m_probe.tapKey("F3");
        break;
    case 1: // a tap of Shift+F2, all four events at once
        m_probe.tapKey("F2", {"Shift_L"});
        break;
    case 2: // a key held down long enough to repeat, or not
        key("F4", true);
        std::this_thread::sleep_for(ms(300 + timing % 700));
        key("F4", false);
        break;
    default: // Shift+F2, then Shift held on after F2 is let go
        key("Shift_L", true);
        key("F2", true);
        std::this_thread::sleep_for(ms(100 + timing % 300));
        key("F2", false);
        std::this_thread::sleep_for(ms(100 + timing % 400));
        key("Shift_L", false);
        break;
    }
}

// A run has ended, and the chat window has taken in everything typed, once
// no line has come for a while.
void HotkeyStorm::waitUntilQuiet()
{
    size_t count = m_lines().size();
    for (;;) {
        std::this_thread::sleep_for(700ms);
        const size_t now = m_lines().size();
        if (now == count)
            return;
        count = now;
    }
}

StormReport HotkeyStorm::run(int cycles, unsigned seed, Presses presses)
{
    std::mt19937 random(seed);
    StormReport report;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        // A window may take in the keys well after they were typed: the
        // moment of the press is reckoned from the start of the run.
        m_probe.tapKey("F1");
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + random() % 300));
        // Choices 0 and 2 press hotkeys alone; 1 and 3 Shift+F2.
        const unsigned choice = presses == Presses::WithShift ? random() % 4 : 2 * (random() % 2);
        pressDuringRun(choice, unsigned(random()));
        ++report.presses;
        waitUntilQuiet();
    }
    check(report);
    return report;
}

// Every line is the first of the zibble (a run begins) or the one after the
// line before it; a run that ends before the zibble's last line was cut by a
// press.
void HotkeyStorm::check(StormReport &report) const
{
    const std::vector<std::string> arrived = m_lines();
    report.linesArrived = int(arrived.size());
    size_t next = 0;
    const auto endRun = [&] {
        if (next > 0 && next < m_script.size())
            ++report.cutRuns;
    };
    for (size_t i = 0; i < arrived.size(); ++i) {
        if (arrived[i] == m_script[0]) {
            endRun();
            ++report.runs;
            next = 1;
            continue;
        }
        if (next < m_script.size() && arrived[i] == m_script[next]) {
            ++next;
            continue;
        }
        report.damage.push_back("line " + std::to_string(i) + " \"" + arrived[i] + "\" where \"" +
                                (next < m_script.size() ? m_script[next] : std::string("(the end)")) +
                                "\" or a new run was due");
        // Go on after the line it is, or else after the one it should have been.
        const auto known = std::find(m_script.begin(), m_script.end(), arrived[i]);
        next = known != m_script.end() ? size_t(known - m_script.begin()) + 1 : next + 1;
    }
    endRun();
}

} // namespace e2e
