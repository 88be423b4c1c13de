#pragma once
// What the main window is given: the program folder, the settings and the
// platform services it drives. Tests hand in fakes.
#include <string>

namespace zibbles {

class UserStore;
class MessagePump;
class TimerFactory;
class MessageService;
struct ProgramSettings;

struct Services {
    std::string appFolder;          // ends in "/"
    UserStore *store = nullptr;
    ProgramSettings *settings = nullptr;
    MessagePump *pump = nullptr;
    TimerFactory *timers = nullptr;
    MessageService *messages = nullptr;
};

} // namespace zibbles
