#pragma once
// Sleep mode: an announcement, then a sleeping emote every 3.3 seconds until
// the user switches it off again.
#include <memory>

namespace zibbles {

class ChatTarget;
class Timer;
class TimerFactory;
struct MainState;

extern const char *const kSleepOnText;
extern const char *const kSleepOffText;
extern const char *const kSleepingText;
constexpr int kSleeperIntervalMs = 3300;

class SleepMode {
public:
    SleepMode(MainState &state, ChatTarget &chat, TimerFactory &timers);
    ~SleepMode();

    void ToggleSleepMode();
    Timer &SleeperMacro() { return *m_sleeperMacro; }

private:
    void SleeperMacroTimer();

    MainState &m_state;
    ChatTarget &m_chat;
    std::unique_ptr<Timer> m_sleeperMacro;
};

} // namespace zibbles
