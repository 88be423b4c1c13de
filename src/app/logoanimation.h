#pragma once
// The logo's little joke: a click on its hot spot swaps in the alternate logo
// for two seconds. A click while the alternate logo shows changes nothing.
#include <QObject>
#include <QTimer>
#include <QWidget>

namespace zibbles {

class LogoAnimation : public QObject {
    Q_OBJECT
public:
    static constexpr int kShowMs = 2000;

    LogoAnimation(QWidget *logo, QWidget *alternateLogo, QObject *parent = nullptr);

    void start();
    const QTimer &timer() const { return m_timer; }

private:
    void finish();

    QWidget *m_logo;
    QWidget *m_alternate;
    QTimer m_timer;
};

// An invisible round button: releasing a mouse button inside its circle
// emits released(); outside the circle the click goes to what lies under it.
class RoundHotSpot : public QWidget {
    Q_OBJECT
public:
    RoundHotSpot(const QRect &geometry, QWidget *parent);

signals:
    void released();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

} // namespace zibbles
