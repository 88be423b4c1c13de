#include "picture.h"

#include <QPainter>
#include <QSvgRenderer>

namespace zibbles {

QString picturePath(const QString &name)
{
    return QStringLiteral(":/pictures/%1.svg").arg(name);
}

class Picture::Drawing : public QSvgRenderer {
public:
    using QSvgRenderer::QSvgRenderer;
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
    return m_drawing->isValid();
}

void Picture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_drawing->render(&painter, QRectF(rect()));
}

} // namespace zibbles
