#pragma once
// A message pump on Qt's event loop whose clock is virtual: every wait moves
// it on by a fixed step, so a time-out of many seconds passes in a moment.
#include "platform/qt/qteventloop.h"

#include <algorithm>

namespace zibbles::testing {

class SteppingPump : public MessagePump {
public:
    explicit SteppingPump(int64_t stepMs) : m_stepMs(stepMs) {}
    int64_t nowMs() const override { return m_now; }
    void processPending() override { m_real.processPending(); }
    void waitForEvents(int64_t maxMs) override
    {
        m_real.waitForEvents(std::min<int64_t>(maxMs, 20));
        m_now += std::min(maxMs, m_stepMs);
        ++waits;
    }
    int waits = 0;

private:
    QtMessagePump m_real;
    int64_t m_stepMs;
    int64_t m_now = 0;
};

} // namespace zibbles::testing
