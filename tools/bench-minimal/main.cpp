// The yardstick for the program's start-up and idle memory: a minimal Qt
// program with a window of the same size, a QScintilla editor and a tray icon.
#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal Qt"));
    window.setFixedSize(459, 461);
    auto *editor = new QsciScintilla(&window);
    editor->setGeometry(32, 152, 393, 257);
    QPixmap picture(16, 16);
    picture.fill(Qt::darkYellow);
    QSystemTrayIcon tray{QIcon(picture)};
    tray.show();
    window.show();
    return app.exec();
}
