#include "scriptrunner.h"

#include "chattarget.h"
#include "mediafile.h"
#include "runnertexts.h"
#include "scriptlanguage.h"

#include "core/mainstate.h"
#include "library/zibblefile.h"
#include "library/zibbleset.h"
#include "platform/atomicfile.h"
#include "platform/eventloop.h"
#include "platform/mediaplayer.h"

namespace zibbles {

namespace {

// Clears ZibbleRunning however a pass ends, an unreadable file included.
class RunningFlag {
public:
    explicit RunningFlag(bool &flag) : m_flag(flag) { m_flag = true; }
    ~RunningFlag() { m_flag = false; }
    RunningFlag(const RunningFlag &) = delete;
    RunningFlag &operator=(const RunningFlag &) = delete;

private:
    bool &m_flag;
};

// A delay wait blocks this long at most before it looks at the flag again;
// the timer's tick normally ends each block much sooner.
constexpr int64_t kWaitBlockMs = 1000;

} // namespace

void ScriptRunner::RunZibble(const std::string &slotKey)
{
    for (;;) {
        Pass pass;
        PassEnd end = PassEnd::Stopped;
        {
            m_state.ScriptLines.clear();
            m_state.DelayPending = false;
            RunningFlag running(m_state.ZibbleRunning);
            readLines(slotKey);
            m_pump.processPending();
            if (m_state.ScriptLines.empty())
                return;
            end = playPass(pass);
        }
        if (end == PassEnd::Stopped)
            return;
        // The next pass starts at once: no message is dispatched in between,
        // so a hotkey never finds the zibble idle between two passes.
        if (pass.LoopRequested && pass.LongDelaySeen)
            continue;
        if (pass.LoopRequested)
            m_chat.SendChatLine(kSpamNotice);
        return;
    }
}

void ScriptRunner::readLines(const std::string &slotKey)
{
    std::string bytes = loadZibble(slotFilePathForKey(m_state.AppFolder, m_state.CurrentSet, slotKey));
    // A zero byte ends the text.
    const size_t nul = bytes.find('\0');
    if (nul != std::string::npos)
        bytes.resize(nul);
    m_state.ScriptLines = splitLines(bytes);
}

ScriptRunner::PassEnd ScriptRunner::playPass(Pass &pass)
{
    const size_t count = m_state.ScriptLines.size();
    for (size_t i = 0; i < count; ++i) {
        if (m_state.StopRequested) {
            m_state.StopRequested = false;
            return PassEnd::Stopped;
        }
        const std::string line = m_state.ScriptLines[i];
        bool goOn = true;
        switch (lineKind(line)) {
        case LineKind::Chat:
            m_chat.SendChatLine(line + "\n\r");
            break;
        case LineKind::Delay:
            goOn = playDelay(line, i + 1, pass);
            break;
        case LineKind::Media:
            goOn = playMedia(line, i + 1);
            break;
        case LineKind::LoopMarker:
            pass.LoopRequested = true;
            break;
        case LineKind::Comment:
            break;
        }
        if (!goOn)
            return PassEnd::Stopped;
    }
    return PassEnd::Finished;
}

bool ScriptRunner::playDelay(const std::string &line, size_t lineNumber, Pass &pass)
{
    const auto argument = commandArgument(line);
    if (!argument) {
        typeError(scriptErrorText(ScriptError::MissingQuote, lineNumber));
        return false;
    }
    const int32_t ms = readDelayValue(*argument);
    if (ms == 0) {
        typeError(scriptErrorText(ScriptError::ZeroDelay, lineNumber));
        return false;
    }
    if (ms > kLongestDelayMs) {
        typeError(scriptErrorText(ScriptError::DelayTooLong, lineNumber));
        return false;
    }
    if (ms < 0)
        return true;
    if (ms >= kLoopDelayMs)
        pass.LongDelaySeen = true;
    // Restarting the timer makes the wait a full delay from this line on.
    m_waitTimer.start(ms);
    m_state.DelayPending = true;
    while (m_state.DelayPending)
        m_pump.waitForEvents(kWaitBlockMs);
    return true;
}

bool ScriptRunner::playMedia(const std::string &line, size_t lineNumber)
{
    const auto name = commandArgument(line);
    if (!name) {
        typeError(scriptErrorText(ScriptError::MissingQuote, lineNumber));
        return false;
    }
    const std::string shownPath = mediaFilePath(m_state.AppFolder, *name);
    const std::string path = mediaFileSystemPath(m_state.AppFolder, *name);
    if (!staysInMediaFolder(*name) || !fileExists(path)) {
        typeError(scriptErrorText(ScriptError::MediaNotFound, lineNumber, shownPath));
        return false;
    }
    if (!hasSoundExtension(path)) {
        typeError(scriptErrorText(ScriptError::MediaNotSound, lineNumber, shownPath));
        return false;
    }
    return startSound(path);
}

bool ScriptRunner::startSound(const std::string &path)
{
    try {
        // The same sound still playing: a second press of the key silences it.
        if (m_player.isPlaying() && m_player.fileName() == path) {
            m_player.close();
            return false;
        }
        m_player.close();
        const WindowHandle window = m_chat.FindThereWindow();
        if (!window)
            return false;
        m_chat.MakeWindowActive(window);
        m_player.setFileName(path);
        m_player.open();
        m_player.play();
    } catch (...) {
        // A sound that cannot be played does not stop the zibble.
    }
    return true;
}

void ScriptRunner::typeError(const std::string &text)
{
    m_chat.SendChatLine(text);
    m_chat.SendChatLine(kGeekLine);
}

} // namespace zibbles
