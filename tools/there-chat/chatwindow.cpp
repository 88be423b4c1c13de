#include "chatwindow.h"

#include "core/cp1252.h"

#include <QVBoxLayout>

#include <array>
#include <stdexcept>

namespace {
// Unicode back to the byte the program typed; '?' for what the code page lacks.
QByteArray toCp1252(const QString &text)
{
    static const std::array<char32_t, 256> table = [] {
        std::array<char32_t, 256> t{};
        for (int b = 0; b < 256; ++b)
            t[size_t(b)] = zibbles::cp1252ToUnicode(uint8_t(b));
        return t;
    }();
    QByteArray bytes;
    for (char32_t cp : text.toUcs4()) {
        char byte = '?';
        for (int b = 1; b < 256; ++b) {
            if (table[size_t(b)] == cp) {
                byte = char(b);
                break;
            }
        }
        bytes += byte;
    }
    return bytes;
}
} // namespace

ChatWindow::ChatWindow(const QString &title, const QString &logPath) : m_field(new QLineEdit(this)), m_log(logPath)
{
    if (!m_log.open(QIODevice::WriteOnly | QIODevice::Append))
        throw std::runtime_error("cannot open " + logPath.toStdString());
    setWindowTitle(title);
    resize(480, 80);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_field);
    m_field->setMaxLength(1 << 20); // chat lines of any length reach the log whole
    m_field->setFocus();
    connect(m_field, &QLineEdit::returnPressed, this, &ChatWindow::sendLine);
}

void ChatWindow::sendLine()
{
    m_log.write(toCp1252(m_field->text()) + '\n');
    m_log.flush();
    m_field->clear();
}
