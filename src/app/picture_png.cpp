#include "picture.h"

#include <QPainter>
#include <QPixmap>

namespace zibbles {

QString picturePath(const QString &name)
{
    return QStringLiteral(":/pictures/%1.png").arg(name);
}

class Picture::Drawing : public QPixmap {
public:
    using QPixmap::QPixmap;
};

Picture::Picture(const QString &name, const QRect &geometry, QWidget *parent)
    : QWidget(parent), m_drawing(std::make_unique<Drawing>(picturePath(name)))
{
    setGeometry(geometry);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

Picture::~Picture() = default;

bool Picture::isLoaded() const
{
    return !m_drawing->isNull();
}

// The PNG files are drawn at twice the SVG's size: sharp up to 200 % scaling.
void Picture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), *m_drawing);
}

} // namespace zibbles
