#include "sharedialog.h"

#include "platform/screencentre.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

namespace zibbles {

LiveShareDialog::LiveShareDialog(QWidget *owner, const LiveShareServices &services, const QString &caption,
                                 QSize clientSize)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , m_services(services)
    , HttpUrlRequest1(*services.pump)
{
    setWindowTitle(caption);
    setFixedSize(clientSize);
}

QPushButton *LiveShareDialog::addButtonsAndStatusBar(QBoxLayout *column, const QString &action, const QString &status)
{
    auto *buttons = new QHBoxLayout;
    auto *actionButton = new QPushButton(action, this);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    buttons->addStretch();
    buttons->addWidget(actionButton);
    buttons->addWidget(cancel);
    buttons->addStretch();
    column->addLayout(buttons);
    m_status = new QLabel(status, this);
    m_status->setFrameShape(QFrame::StyledPanel);
    column->addWidget(m_status);
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
    return actionButton;
}

QString LiveShareDialog::statusText() const
{
    return m_status->text();
}

void LiveShareDialog::setStatus(const std::string &text)
{
    m_status->setText(QString::fromLatin1(text.data(), qsizetype(text.size())));
}

void LiveShareDialog::runHandler(const std::function<void()> &handler)
{
    if (m_busy)
        return; // the request under way answers first
    m_busy = true;
    m_closeAsked = false;
    try {
        handler();
    } catch (...) {
        m_busy = false;
        throw;
    }
    m_busy = false;
    if (m_closeAsked)
        close();
}

void LiveShareDialog::closeDuringExchange()
{
    m_closeAsked = true;
    HttpUrlRequest1.Cancel();
}

void LiveShareDialog::showEvent(QShowEvent *event)
{
    centreOnScreen(*this);
    QDialog::showEvent(event);
}

void LiveShareDialog::closeEvent(QCloseEvent *event)
{
    if (m_busy) {
        closeDuringExchange();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void LiveShareDialog::reject()
{
    if (m_busy) {
        closeDuringExchange();
        return;
    }
    QDialog::reject();
}

} // namespace zibbles
