#pragma once
// What the main window is given: the program folder, the settings and the
// platform services it drives. Tests hand in fakes.
#include <string>

namespace zibbles {

class UserStore;
class MessagePump;
class TimerFactory;
class MessageService;
class Desktop;
class MediaPlayer;
class GlobalHotkeys;
struct ProgramSettings;

struct Services {
    std::string appFolder;          // ends in "/"
    UserStore *store = nullptr;
    ProgramSettings *settings = nullptr;
    MessagePump *pump = nullptr;
    TimerFactory *timers = nullptr;
    MessageService *messages = nullptr;
    // Playback: the desktop typed into (none: nothing is typed) and the sound
    // player (none: sound support loads from soundModule at the first sound).
    Desktop *desktop = nullptr;
    MediaPlayer *mediaPlayer = nullptr;
    std::string soundModule;
    // System-wide hotkeys (none: every hotkey is refused).
    GlobalHotkeys *hotkeys = nullptr;
};

} // namespace zibbles
