// The script runner reading a zibble against fakes: whatever the file holds,
// the run ends, ZibbleRunning is false afterwards, and the lines typed are
// the chat lines of the file in order, pass after pass, with at most one
// error (its text and the geek line) or the spam notice at the end.
#include "fuzzcheck.h"

#include "fakes/fakechat.h"
#include "fakes/fakemediaplayer.h"
#include "fakes/fakepump.h"
#include "fakes/tempdir.h"

#include "core/mainstate.h"
#include "library/zibblefile.h"
#include "platform/atomicfile.h"
#include "playback/runnertexts.h"
#include "playback/scriptlanguage.h"
#include "playback/scriptrunner.h"

#include <fstream>

namespace zibbles::fuzz {

namespace {

// A looping zibble is stopped after this much time on the fake clock.
constexpr int64_t kStopAfterMs = 20000;

// A program folder with one sound and one file that is not a sound.
class ProgramFolder {
public:
    ProgramFolder()
    {
        makeFolders(m_dir.file("Set1"));
        makeFolders(m_dir.file("media"));
        writeFileAtomically(m_dir.file("media/a.wav"), "RIFF");
        writeFileAtomically(m_dir.file("media/b.txt"), "text");
    }
    std::string path() const { return m_dir.path(); }
    // A plain write: an atomic one syncs the disk, too slow for a fuzzer.
    void putZibble(const std::string &bytes)
    {
        std::ofstream(m_dir.file("Set1/F1"), std::ios::binary | std::ios::trunc) << bytes;
    }

private:
    testing::TempDir m_dir;
};

std::vector<std::string> chatLinesOf(const std::string &bytes)
{
    std::vector<std::string> chat;
    for (const std::string &line : splitLines(bytes.substr(0, bytes.find('\0'))))
        if (lineKind(line) == LineKind::Chat)
            chat.push_back(line + "\n\r");
    return chat;
}

bool isErrorText(const std::string &line)
{
    return line.rfind("ZIBBLES: Structure command error on line:", 0) == 0;
}

// How many lines at the end are not chat lines of the file.
size_t closingLines(const std::vector<std::string> &typed)
{
    const size_t n = typed.size();
    if (n >= 2 && typed[n - 1] == kGeekLine && isErrorText(typed[n - 2]))
        return 2;
    if (n >= 1 && typed[n - 1] == kSpamNotice)
        return 1;
    return 0;
}

} // namespace

void checkZibbleRun(const std::string &input)
{
    static ProgramFolder folder;
    folder.putZibble(input);
    MainState state;
    state.AppFolder = folder.path();
    testing::FakePump pump;
    const auto timer1 = pump.createTimer();
    timer1->onTick = [&state] { state.DelayPending = false; };
    timer1->start(1000);
    pump.at(kStopAfterMs, [&state] { state.StopRequested = true; });
    testing::FakeMediaPlayer player;
    testing::FakeChat chat;
    ScriptRunner runner(state, *timer1, pump, player, chat);

    runner.RunZibble("F1");
    require(!state.ZibbleRunning, "ZibbleRunning stays true after the run");
    const std::vector<std::string> expected = chatLinesOf(input);
    const std::vector<std::string> &typed = chat.lines;
    const size_t chatCount = typed.size() - closingLines(typed);
    require(chatCount == 0 || !expected.empty(), "lines typed from a zibble without chat lines");
    for (size_t i = 0; i < chatCount; ++i)
        require(typed[i] == expected[i % expected.size()], "line " + std::to_string(i) + " typed out of order");
}

} // namespace zibbles::fuzz
