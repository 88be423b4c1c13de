#include "application.h"

#include "captionfit.h"

#include "core/handlerguard.h"
#include "platform/messages.h"

namespace zibbles {

ZibblesApplication::ZibblesApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Zibbles"));
    // The tray icon keeps the program alive while its window is hidden.
    setQuitOnLastWindowClosed(false);
    installEventFilter(new CaptionFitter(this));
}

ZibblesApplication::~ZibblesApplication()
{
    setErrorReport({});
}

void ZibblesApplication::setMessageService(MessageService *messages)
{
    if (messages)
        setErrorReport([messages](const std::string &text) { messages->showError(text); });
    else
        setErrorReport({});
}

bool ZibblesApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportCurrentError();
        return true;
    }
}

} // namespace zibbles
