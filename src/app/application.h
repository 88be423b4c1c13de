#pragma once
// The application object and the one error report: an error that a handler
// raises (through runGuarded, or as a last resort inside notify()) has its
// text shown in a message box, and the program carries on.
#include <QApplication>

namespace zibbles {

class MessageService;

class ZibblesApplication : public QApplication {
    Q_OBJECT
public:
    ZibblesApplication(int &argc, char **argv);
    ~ZibblesApplication() override;
    // Where errors are shown; without one they go to stderr.
    void setMessageService(MessageService *messages);
    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace zibbles
