#pragma once
// Chat-line output: finds the There window by its title, brings it up and
// types a text into it; in performers mode only the user's own lines.
#include "chattarget.h"

#include <array>
#include <cstdint>

namespace zibbles {

class MessagePump;
class TSendkeys;
struct ProgramSettings;

// The titles of the There window, tried in this order.
extern const std::array<const char *, 8> kThereWindowTitles;

class ChatOutput : public ChatTarget {
public:
    ChatOutput(TSendkeys &sendkeys, MessagePump &pump, const ProgramSettings &settings)
        : m_sendkeys(sendkeys), m_pump(pump), m_settings(settings) {}

    void SendChatLine(const std::string &text) override;
    WindowHandle FindThereWindow() override;
    void MakeWindowActive(WindowHandle window) override;
    // Returns once more than `ms` milliseconds have passed, dispatching
    // messages meanwhile; blocks in the event loop rather than spinning.
    void WaitMs(int64_t ms);

private:
    void typePerformerLine(const std::string &text);

    TSendkeys &m_sendkeys;
    MessagePump &m_pump;
    const ProgramSettings &m_settings;
};

} // namespace zibbles
