#pragma once
// The application object. Every event handler runs inside notify(), so an
// error that escapes a handler ends up here: its text is shown in a message
// box and the program carries on.
#include <QApplication>

namespace zibbles {

class MessageService;

class ZibblesApplication : public QApplication {
    Q_OBJECT
public:
    ZibblesApplication(int &argc, char **argv);
    void setMessageService(MessageService *messages) { m_messages = messages; }
    bool notify(QObject *receiver, QEvent *event) override;

private:
    MessageService *m_messages = nullptr;
};

} // namespace zibbles
