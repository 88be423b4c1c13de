#include "platform/screencentre.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace zibbles {

void centreOnScreen(QWidget &window)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QPoint client = screen->geometry().center() - window.rect().center();
    // move() places the frame once the window has one (from its second
    // showing under a window manager); before that, and without a window
    // manager, the frame is the client area.
    const QPoint frame = window.geometry().topLeft() - window.frameGeometry().topLeft();
    window.move(client - frame);
}

} // namespace zibbles
