// window-shot TITLE FILE.png [X Y WIDTH HEIGHT]: saves a picture of the
// top-level window with that exact title on $DISPLAY (the whole screen when
// TITLE is "-"), or of that rectangle of it.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

// Xlib after Qt: its macros (Bool, Status) break Qt headers.
#include "platform/x11/x11properties.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

Window find(Display *d, Window w, const std::string &title)
{
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attrs;
        const bool viewable = XGetWindowAttributes(d, children[i], &attrs) && attrs.map_state == IsViewable;
        found = viewable && zibbles::x11::readTitle(d, children[i]) == title ? children[i] : find(d, children[i], title);
    }
    if (children)
        XFree(children);
    return found;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3 && argc != 7) {
        std::fprintf(stderr, "usage: window-shot TITLE FILE.png [X Y WIDTH HEIGHT]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    Display *d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "window-shot: cannot open the display\n");
        return 1;
    }
    const std::string title = argv[1];
    const Window w = title == "-" ? DefaultRootWindow(d) : find(d, DefaultRootWindow(d), title);
    XCloseDisplay(d);
    if (!w) {
        std::fprintf(stderr, "window-shot: no window titled \"%s\"\n", argv[1]);
        return 1;
    }
    QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(WId(w));
    if (argc == 7)
        shot = shot.copy(std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]));
    if (shot.isNull() || !shot.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "window-shot: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
