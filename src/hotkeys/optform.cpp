#include "optform.h"

#include "optionspicture.h"

#include "core/error.h"
#include "core/handlerguard.h"
#include "platform/screencentre.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace zibbles {

namespace {

const QColor kHeldColour(0xc0, 0, 0);
const char *const kHeldHint = "Another program holds this key, so it does nothing in Zibbles.";
const char *const kHeldNote = "Keys in red are held by another program and do nothing in Zibbles.";

// Left, top, width, height of each option's box, in the options' order.
QRect boxGeometry(int option)
{
    if (option < 12) { // F1..F6 left column, F7..F12 right
        const int row = option % 6;
        return option < 6 ? QRect(58, 61 + 23 * row, 50, 17) : QRect(122, 62 + 23 * row, 50, 17);
    }
    if (option < 22) { // Shift F1..F5 left, Shift F6..F10 right
        const int row = (option - 12) % 5;
        return QRect(option < 17 ? 271 : 335, 144 + 24 * row, 65, 17);
    }
    return option == 22 ? QRect(72, 304, 115, 17) : QRect(72, 328, 113, 17);
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption, const QRect &geometry,
                        const QString &hint)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setToolTip(hint);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

} // namespace

TOptForm::TOptForm(UserStore &store, std::function<void()> setUpHotkeys, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
    , m_store(store)
    , m_setUpHotkeys(std::move(setUpHotkeys))
{
    setObjectName(QStringLiteral("OptForm"));
    setWindowTitle(QStringLiteral("Zibble Options"));
    setFixedSize(461, 454);
    createControls();
}

void TOptForm::createControls()
{
    auto *picture = new OptionsPicture(this);
    picture->setGeometry(rect());
    for (int i = 0; i < kHotkeyOptionCount; ++i) {
        const HotkeyOption &option = hotkeyOptions()[size_t(i)];
        auto *box = new QCheckBox(QString::fromLatin1(option.caption), this);
        box->setObjectName(QString::fromLatin1(option.boxName));
        box->setGeometry(boxGeometry(i));
        m_boxes[size_t(i)] = box;
    }
    m_ok = makeButton(this, "RzToolbarButton1", QStringLiteral("&OK"), {256, 368, 70, 22}, QStringLiteral("Accept"));
    m_cancel = makeButton(this, "RzToolbarButton2", QStringLiteral(" &Cancel"), {344, 368, 70, 22},
                          QStringLiteral("Reject"));
    m_heldNote = new QLabel(QString::fromLatin1(kHeldNote), this);
    m_heldNote->setGeometry(44, 404, 373, 17);
    m_heldNote->hide();
    QPalette notePalette = m_heldNote->palette();
    notePalette.setColor(QPalette::WindowText, kHeldColour);
    m_heldNote->setPalette(notePalette);
    connect(m_ok, &QPushButton::clicked, this, [this] { runGuarded([this] { RzToolbarButton1Click(); }); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { runGuarded([this] { RzToolbarButton2Click(); }); });
}

HotkeyChoices TOptForm::choices() const
{
    HotkeyChoices choices{};
    for (size_t i = 0; i < choices.size(); ++i)
        choices[i] = m_boxes[i]->isChecked();
    return choices;
}

void TOptForm::applyChoices(const HotkeyChoices &choices)
{
    for (size_t i = 0; i < choices.size(); ++i)
        m_boxes[i]->setChecked(choices[i]);
}

void TOptForm::markHeldKeys(const std::vector<bool> &held)
{
    bool any = false;
    for (size_t i = 0; i < m_boxes.size(); ++i) {
        const bool marked = i < held.size() && held[i];
        any = any || marked;
        QCheckBox *box = m_boxes[i];
        box->setPalette(QPalette()); // back to the dialog's colours
        if (marked) {
            QPalette palette = box->palette();
            palette.setColor(QPalette::WindowText, kHeldColour);
            palette.setColor(QPalette::ButtonText, kHeldColour);
            box->setPalette(palette);
        }
        box->setToolTip(marked ? QString::fromLatin1(kHeldHint) : QString());
    }
    m_heldNote->setVisible(any);
}

bool TOptForm::isMarkedHeld(int option) const
{
    return !m_boxes.at(size_t(option))->toolTip().isEmpty();
}

void TOptForm::showEvent(QShowEvent *event)
{
    centreOnScreen(*this);
    QDialog::showEvent(event);
}

void TOptForm::LoadHotkeyOptions()
{
    const StoredHotkeyChoices stored = readHotkeyChoices(m_store);
    applyChoices(stored.choices);
    if (!stored.error.empty())
        throw AppError(stored.error);
}

void TOptForm::SaveHotkeyOptions()
{
    saveHotkeyChoices(m_store, choices());
    if (m_setUpHotkeys)
        m_setUpHotkeys();
}

void TOptForm::RzToolbarButton1Click()
{
    // A write error leaves through here, so the dialog stays open.
    SaveHotkeyOptions();
    accept();
}

void TOptForm::RzToolbarButton2Click()
{
    reject();
}

} // namespace zibbles
