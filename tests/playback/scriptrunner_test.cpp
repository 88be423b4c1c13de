// The script runner: what each kind of line does, how a run ends, waits on
// the virtual clock, errors with their line numbers, loops and stops.
#include "runner_fixture.h"

#include "core/error.h"

using namespace zibbles;
using namespace zibbles::testing;

namespace {

const std::string kGeek = "\n\r'hmmm, I may need a geek to help me on this one?";

TEST_F(RunnerTest, MissingEmptyOrNulLedFilesTypeNothing)
{
    run();
    put("");
    run("F1");
    put(std::string("\0hello\r\n", 8));
    run();
    EXPECT_TRUE(chat.lines.empty());
    EXPECT_TRUE(state.ScriptLines.empty());
}

TEST_F(RunnerTest, ChatLinesAreTypedWithTheLineEndAndCommentsSkipped)
{
    put("hello\r\n\r\n'bow \n# comment\rLast");
    run();
    EXPECT_EQ(take(), (Lines{"hello\n\r", "\n\r", "'bow \n\r", "Last\n\r"}));
    EXPECT_TRUE(std::all_of(runningAtLine.begin(), runningAtLine.end(), [](bool b) { return b; }));

    // LF then CR leaves an empty line; a zero byte ends the text.
    put(std::string("a\n\rb\r\nc\0d\r\ne", 13));
    run();
    EXPECT_EQ(take(), (Lines{"a\n\r", "\n\r", "b\n\r", "c\n\r"}));
}

TEST_F(RunnerTest, OddCommandSpellingsAreChatAndBinaryBytesPassUnchanged)
{
    const std::string binary = "\x01\xff\xe9 bytes";
    put(" %delay=\"1000\"%\n%Delay=\"1000\"%\n%delay=1000%\n" + binary + "\n" + std::string(1 << 20, 'x'));
    run();
    EXPECT_EQ(take(), (Lines{" %delay=\"1000\"%\n\r", "%Delay=\"1000\"%\n\r", "%delay=1000%\n\r", binary + "\n\r",
                             std::string(1 << 20, 'x') + "\n\r"}));
    EXPECT_EQ(pump.nowMs(), 0);
}

TEST_F(RunnerTest, EachDelayWaitsItsFullLengthFromItsOwnLine)
{
    pump.advance(700); // Timer1 would tick 300 ms into the first delay
    put("a\n%delay=\"1000\"%\nb\n%delay=\"1000\"junk\nc\n%delay=\" 250\"\nd\n%delay=\"$1F4\"%\ne\n%delay=\"-5\"%\nf");
    run();
    EXPECT_EQ(take(), (Lines{"a\n\r", "b\n\r", "c\n\r", "d\n\r", "e\n\r", "f\n\r"}));
    EXPECT_EQ(sentAt, (std::vector<int64_t>{700, 1700, 2700, 2950, 3450, 3450}));
    EXPECT_FALSE(state.DelayPending);
    EXPECT_LE(pump.waits, 12); // each wait blocks until the tick
}

TEST_F(RunnerTest, TheLongestDelayIs30Seconds)
{
    put("%delay=\"30000\"%\nafter");
    run();
    EXPECT_EQ(take(), Lines{"after\n\r"});
    EXPECT_EQ(sentAt, std::vector<int64_t>{30000});
}

TEST_F(RunnerTest, FaultyCommandsEndTheRunWithTheirErrorText)
{
    putMedia("readme.txt");
    const std::string header = "ZIBBLES: Structure command error on line:";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"%delay=\"100%", header + " 3 please check your scripting."},
        {"%media=\"bell.wav", header + " 3 please check your scripting."},
        {"%delay=\"abc\"%", header + "3 0 delay please check your scripting."},
        {"%delay=\"\"%", header + "3 0 delay please check your scripting."},
        {"%delay=\"500 \"%", header + "3 0 delay please check your scripting."},
        {"%delay=\"-0\"%", header + "3 0 delay please check your scripting."},
        {"%delay=\"99999999999\"%", header + "3 0 delay please check your scripting."},
        {"%delay=\"30001\"%", header + "3 delay > 30000 please check your scripting."},
        {"%delay=\"0x7fffffff\"%", header + "3 delay > 30000 please check your scripting."},
        {"%media=\"nothere.wav\"%", header + "3 file \"" + mediaPath("nothere.wav") + "\" not found."},
        {"%media=\"readme.txt\"%", header + "3 file \"" + mediaPath("readme.txt") + "\" is not a .wav or .mp3 file."},
    };
    for (const auto &[command, error] : cases) {
        put("%loop_zibble%\none\n" + command + "\ntwo");
        run();
        EXPECT_EQ(take(), (Lines{"one\n\r", error, kGeek})) << command;
        EXPECT_TRUE(player.calls.empty());
    }
}

TEST_F(RunnerTest, ALoopWithoutALongDelayTypesTheSpamNoticeOnce)
{
    put("%loop_zibble%\nhi\n%delay=\"100\"%\n%delay=\"249\"%");
    run();
    EXPECT_EQ(take(), (Lines{"hi\n\r", "There Spam Prevention:\n\rI loop Zibble must have at least one delay of >=250\n\r"}));
    EXPECT_EQ(runningAtLine, (std::vector<bool>{true, false}));
}

TEST_F(RunnerTest, ALoopWithALongDelayRepeatsUntilAStopAndReadsTheCurrentSet)
{
    put("one\n%delay=\"250\"%\n%loop_zibble%");
    put("two\n%delay=\"250\"%\n%loop_zibble%", 2);
    pump.at(600, [this] { state.CurrentSet = 2; });
    pump.at(1100, [this] { state.StopRequested = true; });
    run();
    // Passes start at 0, 250, 500 (set 1), 750, 1000 (set 2); the stop comes
    // during the fifth pass's delay and takes effect before its next line.
    EXPECT_EQ(take(), (Lines{"one\n\r", "one\n\r", "one\n\r", "two\n\r", "two\n\r"}));
    EXPECT_FALSE(state.StopRequested);
    EXPECT_EQ(pump.nowMs(), 1250);
}

TEST_F(RunnerTest, ALongLoopKeepsNothingOfItsPasses)
{
    put("%loop_zibble%\nx\n%delay=\"250\"%");
    pump.at(250 * 2000 - 1, [this] { state.StopRequested = true; });
    run();
    EXPECT_EQ(chat.lines.size(), 2000u);
    EXPECT_EQ(state.ScriptLines.size(), 3u);
    EXPECT_LE(state.ScriptLines.capacity(), 4u);
}

TEST_F(RunnerTest, AStopTakesEffectAfterTheWaitInProgressBeforeTheNextLine)
{
    put("a\n%delay=\"10000\"%\nb");
    pump.at(3000, [this] { state.StopRequested = true; });
    run();
    EXPECT_EQ(take(), Lines{"a\n\r"});
    EXPECT_EQ(pump.nowMs(), 10000);
    EXPECT_FALSE(state.StopRequested);
}

TEST_F(RunnerTest, AStopDuringTheLastLineOutlivesTheRunAndEndsTheNextAtOnce)
{
    put("a\nb");
    chat.onLine = [this](const std::string &line) {
        if (line == "b\n\r")
            state.StopRequested = true;
    };
    run();
    EXPECT_EQ(take(), (Lines{"a\n\r", "b\n\r"}));
    EXPECT_TRUE(state.StopRequested);
    run();
    EXPECT_TRUE(take().empty());
    EXPECT_FALSE(state.StopRequested);
}

TEST_F(RunnerTest, ASoundStartsInTheThereWindowAndTheRunGoesOn)
{
    putMedia("Bell.WAV");
    put("a\n%media=\"Bell.WAV\"%\n%delay=\"500\"%\nb");
    run();
    EXPECT_EQ(take(), (Lines{"a\n\r", "b\n\r"}));
    EXPECT_EQ(player.calls, (Lines{"close", "open " + mediaPath("Bell.WAV"), "play " + mediaPath("Bell.WAV")}));
    EXPECT_EQ(chat.activations, std::vector<WindowHandle>{7});
    EXPECT_TRUE(player.isPlaying());
}

TEST_F(RunnerTest, TheSameSoundStillPlayingIsStoppedAndEndsTheRunAtItsLine)
{
    putMedia("bell.wav");
    put("a\n%media=\"bell.wav\"%\nb");
    run();
    take();
    player.calls.clear();
    run();
    EXPECT_EQ(take(), Lines{"a\n\r"});
    EXPECT_EQ(player.calls, Lines{"close"});
    EXPECT_FALSE(player.isPlaying());

    // Once the sound has ended, the key plays it again.
    run();
    EXPECT_EQ(take(), (Lines{"a\n\r", "b\n\r"}));
    EXPECT_TRUE(player.isPlaying());
}

TEST_F(RunnerTest, ALoopWhoseSoundOutlastsAPassEndsAtItsMediaLine)
{
    putMedia("long.mp3");
    put("%loop_zibble%\na\n%media=\"long.mp3\"%\n%delay=\"300\"%\nb");
    run();
    EXPECT_EQ(take(), (Lines{"a\n\r", "b\n\r", "a\n\r"}));
    EXPECT_FALSE(player.isPlaying());
}

TEST_F(RunnerTest, AnotherSoundIsReplacedAndFailuresToPlayAreIgnored)
{
    putMedia("one.wav");
    putMedia("two.wav");
    put("%media=\"one.wav\"%\n%media=\"two.wav\"%\nafter");
    player.failOpen = true;
    run();
    EXPECT_EQ(take(), Lines{"after\n\r"});
    EXPECT_EQ(player.calls, (Lines{"close", "open " + mediaPath("one.wav"), "close", "open " + mediaPath("two.wav")}));
}

TEST_F(RunnerTest, AMediaNameIsWindows1252TextAndTheFileItsUtf8Name)
{
    putMedia("caf\xc3\xa9.wav");
    put("%media=\"caf\xe9.wav\"%\n%media=\"caf\xc3\xa9.wav\"%");
    run();
    EXPECT_EQ(player.calls, (Lines{"close", "open " + mediaPath("caf\xc3\xa9.wav"), "play " + mediaPath("caf\xc3\xa9.wav")}));
    // The error shows the name as the zibble spells it.
    EXPECT_EQ(take(), (Lines{"ZIBBLES: Structure command error on line:2 file \"" + mediaPath("caf\xc3\xa9.wav") + "\" not found.",
                             kGeek}));
}

TEST_F(RunnerTest, WithoutAThereWindowAMediaLineEndsTheRun)
{
    putMedia("bell.wav");
    put("%media=\"bell.wav\"%\nafter");
    chat.window = 0;
    run();
    EXPECT_TRUE(take().empty());
    EXPECT_EQ(player.calls, Lines{"close"});
}

TEST_F(RunnerTest, MediaNamesThatLeaveTheMediaFolderAreNotFound)
{
    putMedia("bell.wav");
    makeFolders(dir.file("Set1"));
    ASSERT_TRUE(writeFileAtomically(dir.file("outside.wav"), "RIFF"));
    for (const std::string name : {"../outside.wav", "../media/bell.wav", "/etc/hostname.wav", "sub/../../outside.wav"}) {
        put("%media=\"" + name + "\"%\nafter");
        run();
        const Lines lines = take();
        ASSERT_EQ(lines.size(), 2u) << name;
        EXPECT_EQ(lines[0], "ZIBBLES: Structure command error on line:1 file \"" + mediaPath(name) + "\" not found.");
    }
    EXPECT_TRUE(player.calls.empty());
}

TEST_F(RunnerTest, AnUnreadableSlotFileRaisesAndTheRunIsOver)
{
    makeFolders(dir.file("Set1/F1"));
    EXPECT_THROW(runner.RunZibble("F1"), AppError);
    EXPECT_FALSE(state.ZibbleRunning);
}

} // namespace
