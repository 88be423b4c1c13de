// A real run of a zibble on a private X server: the script runner types
// through the X11 desktop into the stand-in chat window, which records every
// line it receives with Enter.
#include "chatwindows.h"
#include "x11harness.h"

#include "core/mainstate.h"
#include "core/programsettings.h"
#include "platform/atomicfile.h"
#include "platform/mediaplayer.h"
#include "platform/qt/qteventloop.h"
#include "platform/x11/x11desktop.h"
#include "playback/chatoutput.h"
#include "playback/scriptrunner.h"
#include "playback/sendkeys.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

TEST(PlaybackE2E, AZibbleRunIsTypedIntoTheThereWindowLineByLine)
{
    int argc = 1;
    char name[] = "playback_e2e_test";
    char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    e2e::XvfbServer x;
    e2e::X11Probe probe(x.display());
    e2e::TempFolder folder;
    e2e::ChatWindow chat(x, probe, folder, "There (OGL)");

    zibbles::MainState state;
    state.AppFolder = folder.path() + "/";
    ASSERT_TRUE(zibbles::makeFolders(state.AppFolder + "Set1"));
    ASSERT_TRUE(zibbles::writeFileAtomically(state.AppFolder + "Set1/F4",
                                             "Hello There!\r\n"
                                             "%delay=\"400\"%\r\n"
                                             "# a comment is not typed\r\n"
                                             "'heyhey\r\n"
                                             "See you (soon): 100% sure? #1 & \"2\"\r\n"));

    zibbles::QtMessagePump pump;
    zibbles::QtTimer timer1;
    timer1.onTick = [&] { state.DelayPending = false; };
    timer1.start(1000);
    zibbles::ProgramSettings settings;
    zibbles::X11Desktop desktop(x.display());
    zibbles::TSendkeys sendkeys(desktop, pump);
    zibbles::ChatOutput output(sendkeys, pump, settings);
    auto player = zibbles::createDeferredMediaPlayer(zibbles::defaultSoundModulePath(e2e::binDir() + "/"));
    zibbles::ScriptRunner runner(state, timer1, pump, *player, output);

    ASSERT_EQ(output.FindThereWindow(), chat.window());
    runner.RunZibble("F4");
    EXPECT_FALSE(state.ZibbleRunning);

    const std::vector<std::string> expected = {"Hello There!", "'heyhey", "See you (soon): 100% sure? #1 & \"2\""};
    EXPECT_EQ(chat.waitForLines(expected.size(), 10s), expected);
}

} // namespace
