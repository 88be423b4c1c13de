#include "logoanimation.h"

#include <QMouseEvent>
#include <QRegion>

namespace zibbles {

LogoAnimation::LogoAnimation(QWidget *logo, QWidget *alternateLogo, QObject *parent)
    : QObject(parent), m_logo(logo), m_alternate(alternateLogo)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kShowMs);
    connect(&m_timer, &QTimer::timeout, this, &LogoAnimation::finish);
    m_alternate->hide();
}

void LogoAnimation::start()
{
    if (m_timer.isActive())
        return;
    m_logo->hide();
    m_alternate->show();
    m_timer.start();
}

void LogoAnimation::finish()
{
    m_timer.stop();
    m_logo->show();
    m_alternate->hide();
}

RoundHotSpot::RoundHotSpot(const QRect &geometry, QWidget *parent) : QWidget(parent)
{
    setGeometry(geometry);
    setMask(QRegion(rect(), QRegion::Ellipse));
}

void RoundHotSpot::mouseReleaseEvent(QMouseEvent *event)
{
    if (rect().contains(event->position().toPoint()) && mask().contains(event->position().toPoint()))
        emit released();
}

} // namespace zibbles
