// there-chat [--title T] --log FILE: a window titled "There (OGL)" (or T)
// whose one-line field appends every line sent with Enter to FILE.
#include "chatwindow.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <stdexcept>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption title("title", "Window title.", "T", "There (OGL)");
    QCommandLineOption log("log", "File that receives every line sent.", "FILE");
    parser.addOption(title);
    parser.addOption(log);
    parser.process(app);
    if (!parser.isSet(log)) {
        std::fprintf(stderr, "there-chat: --log FILE is required\n");
        return 2;
    }
    try {
        ChatWindow window(parser.value(title), parser.value(log));
        window.show();
        return app.exec();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "there-chat: %s\n", e.what());
        return 1;
    }
}
