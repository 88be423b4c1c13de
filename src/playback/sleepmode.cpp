#include "sleepmode.h"

#include "chattarget.h"

#include "core/mainstate.h"
#include "platform/eventloop.h"

namespace zibbles {

const char *const kSleepOnText = "Sleep mode active. Press hotkey again to come back.\n\r";
const char *const kSleepOffText = "Back!\n\r";
const char *const kSleepingText = "'''z'\n\r";

SleepMode::SleepMode(MainState &state, ChatTarget &chat, TimerFactory &timers)
    : m_state(state), m_chat(chat), m_sleeperMacro(timers.createTimer())
{
    m_sleeperMacro->onTick = [this] { SleeperMacroTimer(); };
}

SleepMode::~SleepMode() = default;

void SleepMode::ToggleSleepMode()
{
    m_state.SleepMode = !m_state.SleepMode;
    m_chat.SendChatLine(m_state.SleepMode ? kSleepOnText : kSleepOffText);
    // The first sleeping line comes a full period after the announcement.
    if (m_state.SleepMode)
        m_sleeperMacro->start(kSleeperIntervalMs);
    else
        m_sleeperMacro->stop();
}

void SleepMode::SleeperMacroTimer()
{
    m_chat.SendChatLine(kSleepingText);
}

} // namespace zibbles
