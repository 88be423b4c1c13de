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
    return atColourDepth(screen->grabWindow(0).toImage(), screen->depth());
}

QImage atColourDepth(const QImage &image, int depth)
{
    if (depth <= 8)
        return image.convertToFormat(QImage::Format_Indexed8);
    if (depth == 15)
        return image.convertToFormat(QImage::Format_RGB555);
    if (depth == 16)
        return image.convertToFormat(QImage::Format_RGB16);
    return image.convertToFormat(QImage::Format_RGB888);
}

} // namespace zibbles
