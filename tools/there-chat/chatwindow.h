#pragma once
// A stand-in for the There client's chat: one line of text; Enter sends it,
// which here means appending it to a log as one line of Windows-1252 bytes.
#include <QFile>
#include <QLineEdit>
#include <QWidget>

class ChatWindow : public QWidget {
    Q_OBJECT
public:
    // Throws std::runtime_error when the log cannot be opened.
    ChatWindow(const QString &title, const QString &logPath);

private:
    void sendLine();

    QLineEdit *m_field;
    QFile m_log;
};
