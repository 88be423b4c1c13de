// Sleep mode on the virtual clock: the announcement, a sleeping line every
// 3.3 seconds, and "Back!".
#include "fakes/fakechat.h"
#include "fakes/fakepump.h"

#include "core/mainstate.h"
#include "playback/sleepmode.h"

#include <gtest/gtest.h>

using namespace zibbles;
using namespace zibbles::testing;

namespace {

const std::string kOn = "Sleep mode active. Press hotkey again to come back.\n\r";
const std::string kZ = "'''z'\n\r";
const std::string kBack = "Back!\n\r";

class SleepModeTest : public ::testing::Test {
protected:
    MainState state;
    FakePump pump;
    FakeChat chat;
    SleepMode sleep{state, chat, pump};
};

TEST_F(SleepModeTest, TwoPressesWithin3300MsGiveNoSleepingLine)
{
    sleep.ToggleSleepMode();
    EXPECT_TRUE(state.SleepMode);
    pump.advance(3299);
    sleep.ToggleSleepMode();
    pump.advance(10000);
    EXPECT_EQ(chat.lines, (std::vector<std::string>{kOn, kBack}));
    EXPECT_FALSE(state.SleepMode);
    EXPECT_FALSE(sleep.SleeperMacro().isActive());
}

TEST_F(SleepModeTest, TenSecondsAsleepGiveThreeSleepingLinesCountedFromTheAnnouncement)
{
    std::vector<int64_t> at;
    chat.onLine = [&](const std::string &) { at.push_back(pump.nowMs()); };
    pump.advance(500);
    sleep.ToggleSleepMode();
    pump.advance(10000);
    sleep.ToggleSleepMode();
    EXPECT_EQ(chat.lines, (std::vector<std::string>{kOn, kZ, kZ, kZ, kBack}));
    EXPECT_EQ(at, (std::vector<int64_t>{500, 3800, 7100, 10400, 10500}));
}

TEST_F(SleepModeTest, WithoutAThereWindowTheStateAndTimerCarryOn)
{
    chat.window = 0; // the fake still records what would have been typed
    sleep.ToggleSleepMode();
    EXPECT_TRUE(sleep.SleeperMacro().isActive());
    EXPECT_EQ(sleep.SleeperMacro().interval(), 3300);
}

} // namespace
