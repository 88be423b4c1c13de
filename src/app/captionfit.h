#pragma once
// Captions that fit: the windows were laid out in pixels for one font, and a
// desktop may have only wider ones (DejaVu Sans is a tenth wider than the
// face they were drawn for). When a window is shown, every button, check box
// and label whose text would be cut is given a smaller size of its font.
#include <QObject>

class QWidget;

namespace zibbles {

// True when the control's text fits the room it has: beside a check box's
// indicator, inside a button's bevel, within a label (wrapped, if it wraps).
// Other widgets always fit.
bool captionFits(const QWidget *control);

// Shrinks the fonts of the window's controls whose text does not fit, one
// pixel at a time down to a legible size. Controls of one kind that share a
// parent and a font keep sharing one size, so a column of check boxes stays
// even.
void fitCaptions(QWidget *window);

// Runs fitCaptions on every window as it is shown; watches the whole
// application once installed on it.
class CaptionFitter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace zibbles
