#pragma once
// A chat target that records every text sent to it and every activation of
// the There window; `onLine` runs as each text arrives, at the moment a real
// output would dispatch messages.
#include "playback/chattarget.h"

#include <functional>
#include <string>
#include <vector>

namespace zibbles::testing {

class FakeChat : public ChatTarget {
public:
    void SendChatLine(const std::string &text) override
    {
        lines.push_back(text);
        if (onLine)
            onLine(text);
    }
    WindowHandle FindThereWindow() override { return window; }
    void MakeWindowActive(WindowHandle w) override { activations.push_back(w); }

    WindowHandle window = 7;
    std::vector<std::string> lines;
    std::vector<WindowHandle> activations;
    std::function<void(const std::string &)> onLine;
};

} // namespace zibbles::testing
