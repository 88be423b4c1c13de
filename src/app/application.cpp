#include "application.h"

#include "platform/messages.h"

#include <cstdio>
#include <exception>

namespace zibbles {

ZibblesApplication::ZibblesApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Zibbles"));
    // The tray icon keeps the program alive while its window is hidden.
    setQuitOnLastWindowClosed(false);
}

bool ZibblesApplication::notify(QObject *receiver, QEvent *event)
{
    std::string text;
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        text = e.what();
    } catch (...) {
        text = "Unknown error";
    }
    if (m_messages)
        m_messages->showError(text);
    else
        std::fprintf(stderr, "zibbles: %s\n", text.c_str());
    return true;
}

} // namespace zibbles
