#include "qteventloop.h"

#include "core/handlerguard.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace zibbles {

QtMessagePump::QtMessagePump()
{
    m_clock.start();
}

int64_t QtMessagePump::nowMs() const
{
    return m_clock.elapsed();
}

void QtMessagePump::processPending()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtMessagePump::waitForEvents(int64_t maxMs)
{
    if (maxMs <= 0) {
        processPending();
        return;
    }
    // A precise single-shot timer bounds the block; any other event ends it
    // sooner. WaitForMoreEvents sleeps in the dispatcher, so this costs no CPU.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(int(std::min<int64_t>(maxMs, 24 * 3600 * 1000)));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

QtTimer::QtTimer() : m_timer(new QTimer)
{
    m_timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(m_timer, &QTimer::timeout, [this] {
        if (onTick)
            runGuarded(onTick);
    });
}

QtTimer::~QtTimer()
{
    delete m_timer;
}

void QtTimer::start(int intervalMs)
{
    m_timer->start(intervalMs);
}

void QtTimer::stop()
{
    m_timer->stop();
}

bool QtTimer::isActive() const
{
    return m_timer->isActive();
}

int QtTimer::interval() const
{
    return m_timer->interval();
}

} // namespace zibbles
