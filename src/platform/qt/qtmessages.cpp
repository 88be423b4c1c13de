#include "qtmessages.h"

#include <QApplication>
#include <QMessageBox>

namespace zibbles {

namespace {
// Message texts are 8-bit text of the Windows code page's ASCII range or UTF-8.
QString text(const std::string &s)
{
    return QString::fromStdString(s);
}
const QString kTitle = QStringLiteral("Zibbles");
} // namespace

void QtMessageService::showMessage(const std::string &s)
{
    QMessageBox::information(QApplication::activeWindow(), kTitle, text(s));
}

void QtMessageService::showError(const std::string &s)
{
    QMessageBox::critical(QApplication::activeWindow(), kTitle, text(s));
}

bool QtMessageService::askYesNo(const std::string &s)
{
    return QMessageBox::warning(QApplication::activeWindow(), kTitle, text(s),
                                QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

} // namespace zibbles
