#pragma once
// The run-time state of the main window that the hotkey dispatcher, the
// script runner and sleep mode share. Fields in their declared order.
#include <cstdint>
#include <string>
#include <vector>

namespace zibbles {

struct MainState {
    bool DelayPending = false;          // a delay wait is in progress
    std::string AppFolder;              // the zibble library's root, ends in "/"
    int32_t CurrentSet = 1;             // 1..10
    std::string ActiveFileName;         // the slot file shown in the editor
    std::vector<std::string> ScriptLines; // the lines of the zibble being played
    bool ExitRequested = false;         // the next close really ends the program
    bool ZibbleRunning = false;
    bool SleepMode = false;
    bool StopRequested = false;         // the runner stops before its next line
};

} // namespace zibbles
