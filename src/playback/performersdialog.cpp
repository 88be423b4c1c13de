#include "performersdialog.h"

#include "performers.h"

#include "core/error.h"
#include "platform/messages.h"
#include "platform/screencentre.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

namespace zibbles {

namespace {

const char *const kDirModeText =
    "With this option all chat dialog will be ignored except chat dialog lines that start with your "
    "character name. Zibbles will still process all delays so the timing is in sequence! ";
const char *const kLabel2Text =
    "In Performers mode you need to tell Zibbles what character you are in a performance so it knows "
    "what to process. Note: Character name is case sensitive.";
const char *const kWarning1 =
    "You are about to go into performers mode. Standard Zibbles will not work in performers mode. See the "
    "Zibbles web site for additional information on performers mode and its use in THERE.";
const char *const kWarning2 =
    "During testing it was found that some users assumed Zibbles stopped working for them, when in fact "
    "they we in performers mode. If you are not sure about performs mode please leave this box unchecked.";

QPushButton *makeButton(QWidget *parent, const QString &text, const QString &hint, const QRect &geometry)
{
    auto *button = new QPushButton(text, parent);
    button->setToolTip(hint);
    button->setGeometry(geometry);
    return button;
}

} // namespace

TPerformers1::TPerformers1(UserStore &store, ProgramSettings &settings, MessageService &messages, QWidget *parent)
    : QDialog(parent), m_store(store), m_settings(settings), m_messages(messages)
{
    setWindowTitle(QStringLiteral("Performers [The Director's Cut]"));
    setFixedSize(360, 250);
    createControls();
}

void TPerformers1::createControls()
{
    m_dirMode = new QCheckBox(this);
    m_dirMode->setAccessibleName(QString::fromLatin1(kDirModeText));
    m_dirMode->setGeometry(12, 14, 20, 20);
    connect(m_dirMode, &QCheckBox::clicked, this, [this] { DirModeClick(); });

    m_dirModeText = new QLabel(QString::fromLatin1(kDirModeText), this);
    m_dirModeText->setWordWrap(true);
    m_dirModeText->setGeometry(36, 12, 312, 64);
    m_dirModeText->installEventFilter(this);

    m_label2 = new QLabel(QString::fromLatin1(kLabel2Text), this);
    m_label2->setWordWrap(true);
    m_label2->setGeometry(12, 88, 336, 64);

    m_charName = new QLineEdit(this);
    m_charName->setGeometry(12, 160, 336, 24);

    m_ok = makeButton(this, QStringLiteral("OK"), QStringLiteral("Accept"), {176, 206, 80, 28});
    m_cancel = makeButton(this, QStringLiteral("Cancel"), QStringLiteral("Reject"), {268, 206, 80, 28});
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, [this] { okClicked(); });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TPerformers1::eventFilter(QObject *watched, QEvent *event)
{
    // Clicking the box's text clicks the box, as with a plain check box.
    if (watched == m_dirModeText && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        m_dirMode->click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TPerformers1::showEvent(QShowEvent *event)
{
    centreOnScreen(*this);
    QDialog::showEvent(event);
}

void TPerformers1::DirModeClick()
{
    if (!m_dirMode->isChecked())
        return;
    m_messages.showMessage(kWarning1);
    m_messages.showMessage(kWarning2);
}

void TPerformers1::LoadFromRegistry()
{
    const auto stored = readPerformersSettings(m_store);
    if (!stored)
        return;
    const bool wasChecked = m_dirMode->isChecked();
    m_dirMode->setChecked(stored->directorMode);
    // Turning the box on counts as a click: the warnings come before the dialog.
    if (!wasChecked && stored->directorMode)
        DirModeClick();
    m_charName->setText(QString::fromStdString(stored->charName));
}

void TPerformers1::SaveToRegistry()
{
    const PerformersSettings chosen{m_dirMode->isChecked(), m_charName->text().toStdString()};
    if (!writePerformersSettings(m_store, chosen))
        return;
    applyPerformersSettings(chosen, m_settings);
}

void TPerformers1::okClicked()
{
    try {
        SaveToRegistry();
    } catch (const std::exception &e) {
        m_messages.showError(e.what());
    }
    accept();
}

} // namespace zibbles
