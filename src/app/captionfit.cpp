#include "captionfit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QEvent>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <map>
#include <tuple>
#include <vector>

namespace zibbles {

namespace {

// Below this the text stops being readable; a caption that does not fit at
// this size needs a wider control.
constexpr int kSmallestPixelSize = 8;

bool buttonFits(const QPushButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.rect = button->rect();
    const QRect inside = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    const QSize text = QFontMetrics(button->font()).size(Qt::TextShowMnemonic, button->text());
    return text.width() <= inside.width() && text.height() <= inside.height();
}

bool labelFits(const QLabel *label)
{
    const QRect inside = label->contentsRect();
    const QFontMetrics metrics(label->font());
    const QSize text = label->wordWrap()
                           ? metrics.boundingRect(QRect(0, 0, inside.width(), QWIDGETSIZE_MAX), Qt::TextWordWrap,
                                                  label->text()).size()
                           : metrics.size(Qt::TextShowMnemonic, label->text());
    return text.width() <= inside.width() && text.height() <= inside.height();
}

QString captionOf(const QWidget *control)
{
    if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        return button->text();
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return label->textFormat() == Qt::PlainText || !Qt::mightBeRichText(label->text()) ? label->text()
                                                                                           : QString();
    return {};
}

} // namespace

bool captionFits(const QWidget *control)
{
    if (captionOf(control).isEmpty())
        return true;
    if (const auto *button = qobject_cast<const QPushButton *>(control))
        return buttonFits(button);
    if (qobject_cast<const QCheckBox *>(control) || qobject_cast<const QRadioButton *>(control)) {
        // Indicator, gap and text, as the style sizes them.
        const QSize wanted = control->sizeHint();
        return wanted.width() <= control->width() && wanted.height() <= control->height();
    }
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return labelFits(label);
    return true;
}

void fitCaptions(QWidget *window)
{
    using Group = std::tuple<const QWidget *, const QMetaObject *, QString>;
    std::map<Group, std::vector<QWidget *>> groups;
    for (QWidget *control : window->findChildren<QWidget *>()) {
        if (!captionOf(control).isEmpty() && control->isVisibleTo(window))
            groups[{control->parentWidget(), control->metaObject(), control->font().key()}].push_back(control);
    }
    for (auto &[group, controls] : groups) {
        const auto anyCut = [&controls] {
            return std::any_of(controls.begin(), controls.end(), [](const QWidget *c) { return !captionFits(c); });
        };
        QFont font = controls.front()->font();
        int size = QFontInfo(font).pixelSize();
        while (anyCut() && size > kSmallestPixelSize) {
            font.setPixelSize(--size);
            for (QWidget *control : controls)
                control->setFont(font);
        }
    }
}

bool CaptionFitter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        if (widget->isWindow())
            fitCaptions(widget);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zibbles
