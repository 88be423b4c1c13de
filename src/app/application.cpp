#include "application.h"

#include "platform/handlerguard.h"
#include "platform/messages.h"

#include <cstdio>
#include <exception>

namespace zibbles {

ZibblesApplication::ZibblesApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Zibbles"));
    // The tray icon keeps the program alive while its window is hidden.
    setQuitOnLastWindowClosed(false);
    setErrorReport([this](const std::string &text) { report(text); });
}

ZibblesApplication::~ZibblesApplication()
{
    setErrorReport({});
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
    report(text);
    return true;
}

void ZibblesApplication::report(const std::string &text)
{
    if (m_messages)
        m_messages->showError(text);
    else
        std::fprintf(stderr, "zibbles: %s\n", text.c_str());
}

} // namespace zibbles
