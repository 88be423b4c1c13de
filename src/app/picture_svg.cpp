#include "svgpicture.h"

#include <QPainter>

namespace zibbles {

SvgPicture::SvgPicture(const QString &file, const QRect &geometry, QWidget *parent)
    : QWidget(parent), m_renderer(file)
{
    setGeometry(geometry);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SvgPicture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_renderer.render(&painter, QRectF(rect()));
}

} // namespace zibbles
