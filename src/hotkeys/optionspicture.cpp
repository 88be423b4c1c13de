#include "optionspicture.h"

#include <QLinearGradient>
#include <QPainter>

namespace zibbles {

namespace {
const QColor kInk(0x1d, 0x3b, 0x6e);
const QColor kFrameFill(255, 255, 255, 150);
constexpr int kHeadingHeight = 20;
} // namespace

// Each frame leaves room for its heading above the first row of check boxes.
const OptionsPicture::Group OptionsPicture::kGroups[3] = {
    {QRect(44, 36, 142, 166), "Zibble Hot Keys"},
    {QRect(258, 118, 150, 148), "Set Changing Keys"},
    {QRect(58, 278, 144, 74), "More Stuff"},
};

OptionsPicture::OptionsPicture(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void OptionsPicture::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0, QColor(0xbf, 0xdc, 0xf5));
    sky.setColorAt(1, QColor(0xf2, 0xf7, 0xfc));
    p.fillRect(rect(), sky);

    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(18);
    p.setFont(font);
    p.setPen(kInk);
    p.drawText(QRect(0, 4, width(), 28), Qt::AlignCenter, QStringLiteral("Zibble Options"));

    font.setPixelSize(12);
    p.setFont(font);
    for (const Group &g : kGroups) {
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(kFrameFill);
        p.drawRoundedRect(g.frame, 8, 8);
        p.drawText(g.frame.adjusted(8, 2, -8, 0).topLeft() + QPoint(0, kHeadingHeight - 6),
                   QString::fromLatin1(g.heading));
    }
}

} // namespace zibbles
