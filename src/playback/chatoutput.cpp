#include "chatoutput.h"

#include "sendkeys.h"

#include "core/programsettings.h"
#include "platform/eventloop.h"

#include <algorithm>
#include <cstdint>

namespace zibbles {

const std::array<const char *, 8> kThereWindowTitles = {
    "There (OGL)", "There (dx8)", "There (DX8)", "There (dx9)",
    "There (DX9)", "There (dx7)", "There (DX7)", "There",
};

namespace {

// Blanks and control characters, trimmed from a performer's line.
bool isBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

std::string trimmed(const std::string &text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && isBlankOrControl(text[begin]))
        ++begin;
    while (end > begin && isBlankOrControl(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

} // namespace

WindowHandle ChatOutput::FindThereWindow()
{
    for (const char *title : kThereWindowTitles)
        if (const WindowHandle window = m_sendkeys.GetHandleFromWindowTitle(title))
            return window;
    return 0;
}

void ChatOutput::MakeWindowActive(WindowHandle window)
{
    m_sendkeys.MakeWindowActive(window);
}

void ChatOutput::SendChatLine(const std::string &text)
{
    const WindowHandle window = FindThereWindow();
    if (!window)
        return;
    m_sendkeys.MakeWindowActive(window);
    m_pump.processPending();
    if (m_settings.PerformersMode)
        typePerformerLine(text);
    else
        m_sendkeys.SendKeys(text);
}

void ChatOutput::typePerformerLine(const std::string &text)
{
    const std::string prefix = m_settings.CharacterName + ":";
    if (text.compare(0, prefix.size(), prefix) != 0)
        return;
    // One character at a time, each after a short pause, as a performer types.
    for (const char c : trimmed(text.substr(prefix.size()))) {
        WaitMs(25);
        m_sendkeys.SendKeys(std::string(1, c));
    }
    m_sendkeys.SendKeys("\n\r");
}

void ChatOutput::WaitMs(int64_t ms)
{
    if (ms < 0)
        return;
    ms = std::min<int64_t>(ms, INT64_MAX / 4); // the deadline below cannot overflow
    const int64_t start = m_pump.nowMs();
    while (m_pump.nowMs() - start <= ms)
        m_pump.waitForEvents(start + ms + 1 - m_pump.nowMs());
}

} // namespace zibbles
