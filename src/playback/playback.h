#pragma once
// The playback pieces of the main window, built together: keystroke sender,
// chat-line output, script runner, sleep mode and the sound player.
#include <memory>
#include <string>

namespace zibbles {

class ChatOutput;
class Desktop;
class MediaPlayer;
class MessagePump;
class ScriptRunner;
class SleepMode;
class TSendkeys;
class Timer;
class TimerFactory;
struct MainState;
struct ProgramSettings;

struct PlaybackServices {
    Desktop *desktop = nullptr;     // none: nothing is ever typed
    MediaPlayer *player = nullptr;  // none: sounds load from soundModule
    std::string soundModule;        // path of the sound module
    MessagePump *pump = nullptr;
    TimerFactory *timers = nullptr;
    ProgramSettings *settings = nullptr;
};

class Playback {
public:
    // `waitTimer` is the main window's Timer1.
    Playback(MainState &state, Timer &waitTimer, const PlaybackServices &services);
    ~Playback();

    TSendkeys &Sendkeys1() { return *m_sendkeys; }
    ChatOutput &chat() { return *m_chat; }
    ScriptRunner &runner() { return *m_runner; }
    SleepMode &sleep() { return *m_sleep; }
    MediaPlayer &MediaPlayer1() { return *m_player; }

private:
    std::unique_ptr<Desktop> m_ownDesktop;
    std::unique_ptr<MediaPlayer> m_ownPlayer;
    MediaPlayer *m_player;
    std::unique_ptr<TSendkeys> m_sendkeys;
    std::unique_ptr<ChatOutput> m_chat;
    std::unique_ptr<ScriptRunner> m_runner;
    std::unique_ptr<SleepMode> m_sleep;
};

} // namespace zibbles
