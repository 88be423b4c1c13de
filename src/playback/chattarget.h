#pragma once
// Where the script runner and sleep mode send their lines: the There window.
#include "platform/desktop.h"

#include <string>

namespace zibbles {

class ChatTarget {
public:
    virtual ~ChatTarget() = default;
    // Types `text` into the There window; nothing when there is none.
    virtual void SendChatLine(const std::string &text) = 0;
    // The There window, or 0.
    virtual WindowHandle FindThereWindow() = 0;
    virtual void MakeWindowActive(WindowHandle window) = 0;
};

} // namespace zibbles
