// The real program typing a long zibble into the stand-in chat window, under
// openbox, while another client presses the program's hotkeys at random
// moments: no press may damage a line, lose one or merge two.
#include "chatwindows.h"
#include "desktopfixture.h"
#include "hotkeystorm.h"

#include <gtest/gtest.h>

namespace {

e2e::StormReport stormIntoTheChatWindow(e2e::HotkeyStorm::Presses presses)
{
    e2e::XvfbServer x;
    e2e::X11Probe probe(x.display());
    e2e::TempFolder home;
    e2e::TempFolder app;
    e2e::WindowManager wm(x, probe, home);
    e2e::ChatWindow chat(x, probe, home, "There (OGL)");
    e2e::ZibblesProgram program(x, probe, app, home);
    const std::vector<std::string> script = e2e::stormLines(40, 70);
    e2e::putEverywhere(program, script);
    program.start();

    e2e::HotkeyStorm storm(probe, [&] { return chat.lines(); }, script);
    return storm.run(30, 20261208, presses);
}

} // namespace

TEST(HotkeyStormE2E, HotkeysPressedWhileAZibbleTypesCutItOnlyBetweenWholeLines)
{
    e2e::expectOnlyWholeLines(stormIntoTheChatWindow(e2e::HotkeyStorm::Presses::HotkeysAlone));
}

// The user's Shift, held before F2 and after it, while the zibble types.
TEST(HotkeyStormE2E, TheShiftOfShiftF2NeverReachesTheLineBeingTyped)
{
    e2e::expectOnlyWholeLines(stormIntoTheChatWindow(e2e::HotkeyStorm::Presses::WithShift));
}
