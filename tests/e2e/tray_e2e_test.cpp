// The real program beside a real notification area (trayer): its icon docks
// there and shows a hint under the mouse, and after a close request the
// tray menu's "Show Main Window" brings the window back.
#include "x11harness.h"

// GoogleTest before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <filesystem>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

const char *const kMainTitle = "Zibbles by Quillmere";

// _NET_WM_NAME, else WM_NAME (Qt names its tray icon through the former only).
std::string nameOf(Display *d, Window w)
{
    std::string text;
    Atom type;
    int format;
    unsigned long count = 0, after;
    unsigned char *data = nullptr;
    if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), 0, 256, False,
                           XInternAtom(d, "UTF8_STRING", False), &type, &format, &count, &after, &data) == Success &&
        data) {
        text.assign(reinterpret_cast<const char *>(data), count);
        XFree(data);
    }
    XTextProperty property{};
    if (text.empty() && XGetWMName(d, w, &property) && property.value) {
        text.assign(reinterpret_cast<const char *>(property.value), property.nitems);
        XFree(property.value);
    }
    return text;
}

bool viewable(Display *d, Window w)
{
    XWindowAttributes attrs;
    return XGetWindowAttributes(d, w, &attrs) && attrs.map_state == IsViewable;
}

std::vector<Window> childrenOf(Display *d, Window w)
{
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    std::vector<Window> out;
    if (XQueryTree(d, w, &root, &parent, &children, &count)) {
        out.assign(children, children + count);
        if (children)
            XFree(children);
    }
    return out;
}

// A viewable window named `name` somewhere below `top`; 0 when none.
Window findBelow(Display *d, Window top, const std::string &name)
{
    for (Window child : childrenOf(d, top)) {
        if (viewable(d, child) && nameOf(d, child) == name)
            return child;
        if (Window found = findBelow(d, child, name))
            return found;
    }
    return 0;
}

// A viewable top-level window of the given _NET_WM_WINDOW_TYPE, e.g. "TOOLTIP".
bool windowOfTypeShown(Display *d, const std::string &type)
{
    const Atom property = XInternAtom(d, "_NET_WM_WINDOW_TYPE", False);
    const Atom wanted = XInternAtom(d, ("_NET_WM_WINDOW_TYPE_" + type).c_str(), False);
    for (Window w : childrenOf(d, DefaultRootWindow(d))) {
        if (!viewable(d, w))
            continue;
        Atom actual;
        int format;
        unsigned long count = 0, after;
        unsigned char *data = nullptr;
        if (XGetWindowProperty(d, w, property, 0, 16, False, XA_ATOM, &actual, &format, &count, &after, &data) !=
                Success ||
            !data)
            continue;
        const auto *types = reinterpret_cast<const Atom *>(data);
        const bool match = std::find(types, types + count, wanted) != types + count;
        XFree(data);
        if (match)
            return true;
    }
    return false;
}

// The tray menu: a popup (not managed by a window manager) far taller than a hint.
bool menuShown(Display *d)
{
    for (Window w : childrenOf(d, DefaultRootWindow(d))) {
        XWindowAttributes attrs;
        if (XGetWindowAttributes(d, w, &attrs) && attrs.map_state == IsViewable && attrs.override_redirect &&
            attrs.height > 100)
            return true;
    }
    return false;
}

void moveTo(Display *d, Window w, int x, int y)
{
    int rootX = 0, rootY = 0;
    Window child;
    XTranslateCoordinates(d, w, DefaultRootWindow(d), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(d, 0, rootX, rootY, CurrentTime);
    XSync(d, False);
}

} // namespace

TEST(TrayE2E, TheIconDocksWithItsHintAndItsMenuBringsTheWindowBack)
{
    e2e::XvfbServer x;
    e2e::TempFolder home;
    e2e::TempFolder appDir;
    const std::map<std::string, std::string> env{{"DISPLAY", x.display()}};
    e2e::ChildProcess tray({"trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "120",
                            "--height", "26", "--transparent", "false"},
                           env);
    e2e::X11Probe probe(x.display());
    auto *d = static_cast<Display *>(probe.display());
    const Atom traySelection = XInternAtom(d, "_NET_SYSTEM_TRAY_S0", False);
    ASSERT_TRUE(e2e::waitFor([&] { return XGetSelectionOwner(d, traySelection) != None; }, 10s))
        << "trayer never took the tray";

    const std::string exe = appDir.path() + "/zibbles";
    fs::copy_file(e2e::binDir() + "/zibbles", exe);
    e2e::ChildProcess program({exe},
                              {{"DISPLAY", x.display()},
                               {"QT_QPA_PLATFORM", "xcb"},
                               {"HOME", home.path()},
                               {"XDG_CONFIG_HOME", home.path() + "/config"},
                               {"XDG_RUNTIME_DIR", home.path()},
                               // No session bus: the icon goes to the XEmbed tray, and
                               // no dbus-daemon can outlive the test.
                               {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + home.path() + "/no-bus"}},
                              appDir.path());

    e2e::WindowInfo main;
    ASSERT_TRUE(e2e::waitFor([&] {
        main = probe.findWindow(kMainTitle);
        return main.id && main.viewable;
    }, 20s)) << "the main window never appeared";

    const e2e::WindowInfo panel = probe.findWindow("panel");
    ASSERT_NE(panel.id, 0u) << "no trayer panel";
    Window icon = 0;
    ASSERT_TRUE(e2e::waitFor([&] { return (icon = findBelow(d, panel.id, "Zibbles")) != 0; }, 10s))
        << "the tray icon never docked in trayer";

    // The hint shows at once when the mouse rests on the icon.
    moveTo(d, icon, 8, 8);
    EXPECT_TRUE(e2e::waitFor([&] { return windowOfTypeShown(d, "TOOLTIP"); }, 5s)) << "no hint over the icon";

    probe.sendCloseRequest(main.id);
    ASSERT_TRUE(e2e::waitFor([&] { return !probe.findWindow(kMainTitle).viewable; }, 10s))
        << "a close request did not hide the window";
    EXPECT_TRUE(program.running());

    moveTo(d, icon, 8, 8);
    XTestFakeButtonEvent(d, 3, True, CurrentTime);
    XTestFakeButtonEvent(d, 3, False, CurrentTime);
    XSync(d, False);
    ASSERT_TRUE(e2e::waitFor([&] { return menuShown(d); }, 5s)) << "no tray menu";
    probe.tapKey("Down"); // "Show Main Window" is the first item
    probe.tapKey("Return");
    EXPECT_TRUE(e2e::waitFor([&] { return probe.findWindow(kMainTitle).viewable; }, 10s))
        << "\"Show Main Window\" did not bring the window back";
    EXPECT_TRUE(program.running());
}
