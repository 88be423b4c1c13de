#pragma once
// The script runner: plays one zibble line by line into the There chat,
// waiting its delays, starting its sounds and starting over when it loops.
#include <cstddef>
#include <string>

namespace zibbles {

class ChatTarget;
class MediaPlayer;
class MessagePump;
class Timer;
struct MainState;

class ScriptRunner {
public:
    // `waitTimer` is Timer1, whose tick clears state.DelayPending.
    ScriptRunner(MainState &state, Timer &waitTimer, MessagePump &pump, MediaPlayer &player, ChatTarget &chat)
        : m_state(state), m_waitTimer(waitTimer), m_pump(pump), m_player(player), m_chat(chat) {}

    // Plays the zibble of slot `slotKey` ("F1".."F12") of the current set.
    // An unreadable slot file raises; ZibbleRunning is false on every way out.
    void RunZibble(const std::string &slotKey);

private:
    enum class PassEnd { Finished, Stopped };
    struct Pass {
        bool LoopRequested = false;
        bool LongDelaySeen = false;
    };

    void readLines(const std::string &slotKey);
    PassEnd playPass(Pass &pass);
    // Each returns false when the line ends the run.
    bool playDelay(const std::string &line, size_t lineNumber, Pass &pass);
    bool playMedia(const std::string &line, size_t lineNumber);
    bool startSound(const std::string &path);
    void typeError(const std::string &text);

    MainState &m_state;
    Timer &m_waitTimer;
    MessagePump &m_pump;
    MediaPlayer &m_player;
    ChatTarget &m_chat;
};

} // namespace zibbles
