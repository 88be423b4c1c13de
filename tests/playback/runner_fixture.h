#pragma once
// The script runner over a temporary program folder, a fake pump whose clock
// is virtual, a fake sound player and a chat target that records each line
// with the virtual time at which it was sent.
#include "fakes/fakechat.h"
#include "fakes/fakemediaplayer.h"
#include "fakes/fakepump.h"
#include "fakes/tempdir.h"

#include "core/mainstate.h"
#include "platform/atomicfile.h"
#include "playback/scriptrunner.h"

#include <gtest/gtest.h>

namespace zibbles::testing {

class RunnerTest : public ::testing::Test {
protected:
    RunnerTest()
    {
        state.AppFolder = dir.path();
        timer1->onTick = [this] { state.DelayPending = false; };
        timer1->start(1000);
        chat.onLine = [this](const std::string &) {
            sentAt.push_back(pump.nowMs());
            runningAtLine.push_back(state.ZibbleRunning);
        };
    }

    void put(const std::string &text, int set = 1, const std::string &key = "F1")
    {
        const std::string folder = dir.file("Set" + std::to_string(set));
        makeFolders(folder);
        ASSERT_TRUE(writeFileAtomically(folder + "/" + key, text));
    }
    void putMedia(const std::string &name)
    {
        makeFolders(dir.file("media"));
        ASSERT_TRUE(writeFileAtomically(dir.file("media/" + name), "RIFF"));
    }
    std::string mediaPath(const std::string &name) const { return dir.file("media/" + name); }

    void run(const std::string &key = "F1")
    {
        runner.RunZibble(key);
        EXPECT_FALSE(state.ZibbleRunning);
    }
    // The lines sent since the last call.
    std::vector<std::string> take()
    {
        auto lines = std::move(chat.lines);
        chat.lines.clear();
        return lines;
    }

    TempDir dir;
    MainState state;
    FakePump pump;
    std::unique_ptr<Timer> timer1 = pump.createTimer();
    FakeMediaPlayer player;
    FakeChat chat;
    ScriptRunner runner{state, *timer1, pump, player, chat};
    std::vector<int64_t> sentAt;
    std::vector<bool> runningAtLine;
};

using Lines = std::vector<std::string>;

} // namespace zibbles::testing
