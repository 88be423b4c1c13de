#pragma once
// The look of the hints: balloons with rounded corners in the info-tip
// colours, shown at once when the mouse rests on a control.
#include <QProxyStyle>

namespace zibbles {

class HintStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption *option = nullptr, const QWidget *widget = nullptr,
                  QStyleHintReturn *returnData = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
};

// Makes the application's style a HintStyle over the style it has now, and
// gives hints the window's font; calling it again changes nothing.
void installBalloonHints(const QFont &font);

} // namespace zibbles
