#include "hintstyle.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOption>
#include <QToolTip>

namespace zibbles {

namespace {

constexpr qreal kCornerRadius = 6;

QPainterPath balloon(const QRect &rect)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), kCornerRadius, kCornerRadius);
    return path;
}

} // namespace

int HintStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                         QStyleHintReturn *returnData) const
{
    switch (hint) {
    case SH_ToolTip_WakeUpDelay:
        return 0;
    case SH_ToolTip_Mask:
        if (auto *mask = qstyleoption_cast<QStyleHintReturnMask *>(returnData); mask && option) {
            mask->region = QRegion(balloon(option->rect).toFillPolygon().toPolygon());
            return 1;
        }
        return 0;
    default:
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
}

void HintStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                              const QWidget *widget) const
{
    if (element != PE_PanelTipLabel) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(option->palette.color(QPalette::ToolTipText));
    painter->setBrush(option->palette.brush(QPalette::ToolTipBase));
    painter->drawPath(balloon(option->rect));
    painter->restore();
}

void installBalloonHints(const QFont &font)
{
    // The style first: changing it resets the fonts of the widget classes.
    if (!qobject_cast<HintStyle *>(QApplication::style()))
        QApplication::setStyle(new HintStyle(QApplication::style()->name()));
    QToolTip::setFont(font);
}

} // namespace zibbles
