#pragma once
// The program's view of the GUI thread's message loop and of time, so that
// logic that waits can be run in tests on a virtual clock.
#include <cstdint>
#include <functional>
#include <memory>

namespace zibbles {

class MessagePump {
public:
    virtual ~MessagePump() = default;
    // Monotonic milliseconds.
    virtual int64_t nowMs() const = 0;
    // Dispatches whatever is pending and returns at once.
    virtual void processPending() = 0;
    // Blocks until at least one event has been dispatched or `maxMs` have
    // passed, whichever comes first. Never spins.
    virtual void waitForEvents(int64_t maxMs) = 0;
};

// A repeating timer whose ticks arrive through the message pump.
class Timer {
public:
    virtual ~Timer() = default;
    // Sets the interval and starts a fresh period, also when already running.
    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    virtual int interval() const = 0;

    std::function<void()> onTick;
};

class TimerFactory {
public:
    virtual ~TimerFactory() = default;
    virtual std::unique_ptr<Timer> createTimer() = 0;
};

// Dispatches messages until `done()` holds or `deadlineMs` (on the pump's
// clock) has passed; returns done().
bool waitUntil(MessagePump &pump, const std::function<bool()> &done, int64_t deadlineMs);

// The message pump and the timers of the program's event loop.
std::unique_ptr<MessagePump> createMessagePump();
std::unique_ptr<TimerFactory> createTimerFactory();

} // namespace zibbles
