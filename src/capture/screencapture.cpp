#include "screencapture.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace zibbles {

QImage CaptureDesktop()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    // Window 0 is the whole desktop; the screen's own geometry limits the
    // grab to the primary monitor.
    return screen->grabWindow(0).toImage();
}

} // namespace zibbles
