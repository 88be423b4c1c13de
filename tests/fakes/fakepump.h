#pragma once
// A message pump on a virtual clock, with timers and scheduled events that
// fire when the pump dispatches at or after their time. Waiting advances the
// clock to the next event, so a 30-second delay takes no real time.
#include "platform/eventloop.h"

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <set>

namespace zibbles::testing {

class FakePump;

class FakeTimer : public Timer {
public:
    explicit FakeTimer(FakePump &pump);
    ~FakeTimer() override;
    void start(int intervalMs) override;
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }
    int interval() const override { return m_interval; }

    int64_t due() const { return m_due; }
    int starts = 0;

private:
    friend class FakePump;
    void fire();

    FakePump &m_pump;
    bool m_active = false;
    int m_interval = 0;
    int64_t m_due = 0;
};

class FakePump : public MessagePump, public TimerFactory {
public:
    int64_t nowMs() const override { return m_now; }

    void processPending() override
    {
        ++processPendingCalls;
        dispatchDue();
    }

    void waitForEvents(int64_t maxMs) override
    {
        ++waits;
        if (!dispatchDue()) {
            m_now = std::min(m_now + std::max<int64_t>(maxMs, 0), nextDue());
            dispatchDue();
        }
    }

    std::unique_ptr<Timer> createTimer() override { return std::make_unique<FakeTimer>(*this); }

    // Runs `action` at the first dispatch at or after `atMs`.
    void at(int64_t atMs, std::function<void()> action) { m_actions.emplace(atMs, std::move(action)); }

    // Lets the clock run on by `ms`, dispatching what falls due meanwhile.
    void advance(int64_t ms)
    {
        const int64_t end = m_now + ms;
        while (nextDue() <= end) {
            m_now = std::max(m_now, nextDue());
            dispatchDue();
        }
        m_now = end;
    }

    int processPendingCalls = 0;
    int waits = 0;

private:
    friend class FakeTimer;

    int64_t nextDue() const
    {
        int64_t next = INT64_MAX;
        if (!m_actions.empty())
            next = m_actions.begin()->first;
        for (const FakeTimer *t : m_timers)
            if (t->isActive())
                next = std::min(next, t->due());
        return next;
    }

    // Fires everything due now, earliest first; true when anything fired.
    bool dispatchDue()
    {
        bool fired = false;
        while (nextDue() <= m_now) {
            fired = true;
            if (!m_actions.empty() && m_actions.begin()->first <= m_now) {
                auto action = std::move(m_actions.begin()->second);
                m_actions.erase(m_actions.begin());
                action();
                continue;
            }
            for (FakeTimer *t : std::set<FakeTimer *>(m_timers))
                if (m_timers.count(t) && t->isActive() && t->due() <= m_now) {
                    t->fire();
                    break;
                }
        }
        return fired;
    }

    int64_t m_now = 0;
    std::multimap<int64_t, std::function<void()>> m_actions;
    std::set<FakeTimer *> m_timers;
};

inline FakeTimer::FakeTimer(FakePump &pump) : m_pump(pump)
{
    m_pump.m_timers.insert(this);
}

inline FakeTimer::~FakeTimer()
{
    m_pump.m_timers.erase(this);
}

inline void FakeTimer::start(int intervalMs)
{
    ++starts;
    m_interval = std::max(intervalMs, 1);
    m_active = true;
    m_due = m_pump.nowMs() + m_interval;
}

inline void FakeTimer::fire()
{
    // A late tick does not bunch up the next ones, as with a real timer.
    m_due = std::max(m_due + m_interval, m_pump.nowMs() + 1);
    if (onTick)
        onTick();
}

} // namespace zibbles::testing
