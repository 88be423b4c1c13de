#pragma once
// The message pump and timers on Qt's event loop.
#include "platform/eventloop.h"

#include <QElapsedTimer>

class QTimer;

namespace zibbles {

class QtMessagePump : public MessagePump {
public:
    QtMessagePump();
    int64_t nowMs() const override;
    void processPending() override;
    void waitForEvents(int64_t maxMs) override;

private:
    QElapsedTimer m_clock;
};

class QtTimer : public Timer {
public:
    QtTimer();
    ~QtTimer() override;
    void start(int intervalMs) override;
    void stop() override;
    bool isActive() const override;
    int interval() const override;

private:
    QTimer *m_timer;
};

class QtTimerFactory : public TimerFactory {
public:
    std::unique_ptr<Timer> createTimer() override { return std::make_unique<QtTimer>(); }
};

} // namespace zibbles
