#include "picture.h"

#include <QPainter>
#ifdef ZIBBLES_SVG_PICTURES
#include <QSvgRenderer>
#else
#include <QPixmap>
#endif

namespace zibbles {

#ifdef ZIBBLES_SVG_PICTURES
// Drawn from the SVG at whatever size the widget has.
class Picture::Drawing : public QSvgRenderer {
public:
    using QSvgRenderer::QSvgRenderer;
    bool isLoaded() const { return isValid(); }
    void draw(QPainter &painter, const QRect &rect) { render(&painter, QRectF(rect)); }
};
static const char kFileType[] = "svg";
#else
// Drawn from a PNG file of twice the SVG's size: sharp up to 200 % scaling.
class Picture::Drawing : public QPixmap {
public:
    using QPixmap::QPixmap;
    bool isLoaded() const { return !isNull(); }
    void draw(QPainter &painter, const QRect &rect)
    {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(rect, *this);
    }
};
static const char kFileType[] = "png";
#endif

QString picturePath(const QString &name)
{
    return QStringLiteral(":/pictures/%1.%2").arg(name, QLatin1String(kFileType));
}

Picture::Picture(const QString &name, const QRect &geometry, QWidget *parent)
    : QWidget(parent), m_drawing(std::make_unique<Drawing>(picturePath(name)))
{
    setGeometry(geometry);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

Picture::~Picture() = default;

bool Picture::isLoaded() const
{
    return m_drawing->isLoaded();
}

void Picture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_drawing->draw(painter, rect());
}

} // namespace zibbles
