// typetext [--title T] FILE: types the bytes of FILE into the window titled T
// (else into whatever has the keyboard focus) on $DISPLAY, line by line, as
// the program types a chat line: the keystroke sender over the X11 desktop,
// each line followed by its line end. Prints the characters typed and the
// seconds the typing took.
#include "core/error.h"
#include "platform/qt/qteventloop.h"
#include "platform/x11/x11desktop.h"
#include "platform/x11/x11hotkeys.h"
#include "playback/sendkeys.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

namespace {

int typeFile(const QString &path, const std::string &title)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "typetext: cannot open %s\n", qPrintable(path));
        return 1;
    }
    const QList<QByteArray> lines = file.readAll().split('\n');

    // As in the program: the desktop looks at the hotkeys' grabs before
    // every key, although there are none here.
    const auto hold = std::make_shared<zibbles::X11HotkeyHold>();
    zibbles::X11GlobalHotkeys hotkeys({}, hold);
    zibbles::X11Desktop desktop({}, hold);
    zibbles::QtMessagePump pump;
    zibbles::TSendkeys keys(desktop, pump);
    if (!title.empty()) {
        const zibbles::WindowHandle window = keys.GetHandleFromWindowTitle(title);
        if (window == 0) {
            std::fprintf(stderr, "typetext: no window titled \"%s\"\n", title.c_str());
            return 1;
        }
        keys.MakeWindowActive(window);
    }

    QElapsedTimer clock;
    clock.start();
    size_t typed = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i == lines.size() - 1 && lines[i].isEmpty())
            break; // the file's last line end
        const std::string line = lines[i].toStdString();
        keys.SendKeys(line + "\n\r");
        typed += line.size() + 1;
    }
    desktop.flush();
    std::printf("%zu characters in %.3f s\n", typed, double(clock.nsecsElapsed()) / 1e9);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    std::string title;
    if (args.size() >= 2 && args[0] == "--title") {
        title = args[1].toStdString();
        args = args.mid(2);
    }
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: typetext [--title T] FILE\n");
        return 2;
    }
    try {
        return typeFile(args[0], title);
    } catch (const zibbles::AppError &e) {
        std::fprintf(stderr, "typetext: %s\n", e.what());
        return 1;
    }
}
