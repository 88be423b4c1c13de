// The real program on a private X server, managed by openbox or by no window
// manager, as a user meets it: the options dialog opens in the middle of the
// screen every time; one copy runs per user and display, and a second start
// brings its window back; without a tray, closing the window minimises it;
// a screenshot keeps the display's colour depth.
#include "desktopfixture.h"
#include "trayhost.h"
#include "x11harness.h"

#include <gtest/gtest.h>

// Last: Xlib's macros (None, Bool) clash with the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

const char *const kMainTitle = "Zibbles by Quillmere";
const char *const kOptionsTitle = "Zibble Options";

class ProgramE2E : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        if (GetParam())
            wm = std::make_unique<e2e::WindowManager>(x, probe, home);
        fs::copy_file(e2e::binDir() + "/zibbles", app.path() + "/zibbles");
    }

    std::unique_ptr<e2e::ChildProcess> startCopy() { return startCopyOn(x); }
    std::unique_ptr<e2e::ChildProcess> startCopyOn(const e2e::XvfbServer &server)
    {
        return std::make_unique<e2e::ChildProcess>(std::vector<std::string>{app.path() + "/zibbles"},
                                                   e2e::programEnvironment(server.display(), home), app.path());
    }
    e2e::WindowInfo waitForWindow(const std::string &title)
    {
        e2e::WindowInfo window;
        e2e::waitFor([&] {
            window = probe.findWindow(title);
            return window.id && window.viewable;
        }, 20s);
        return window;
    }
    // Clicks Options until the dialog shows: a click that comes while the
    // last showing is still closing is lost.
    e2e::WindowInfo openOptions(const e2e::WindowInfo &main)
    {
        e2e::WindowInfo dialog;
        for (int click = 0; click < 5 && !dialog.viewable; ++click) {
            this->click(main, 368, 75);
            e2e::waitFor([&] {
                dialog = probe.findWindow(kOptionsTitle);
                return dialog.id && dialog.viewable;
            }, 2s);
        }
        return dialog;
    }
    void click(const e2e::WindowInfo &window, int x, int y)
    {
        auto *d = static_cast<Display *>(probe.display());
        XTestFakeMotionEvent(d, 0, window.x + x, window.y + y, CurrentTime);
        XTestFakeButtonEvent(d, 1, True, CurrentTime);
        XTestFakeButtonEvent(d, 1, False, CurrentTime);
        XSync(d, False);
    }

    Display *display() const { return static_cast<Display *>(probe.display()); }
    // WM_STATE: 1 normal, 3 iconic; 0 where no window manager set it.
    unsigned long wmState(unsigned long window)
    {
        return probe.property(window, "WM_STATE", "WM_STATE");
    }
    // The top-level window shown on top of all others: the last one the
    // window manager stacks, or, without one, the last child of the root.
    unsigned long frontWindow()
    {
        if (wm) {
            Atom actual = None;
            int format = 0;
            unsigned long count = 0, after = 0, top = 0;
            unsigned char *data = nullptr;
            if (XGetWindowProperty(display(), DefaultRootWindow(display()),
                                   XInternAtom(display(), "_NET_CLIENT_LIST_STACKING", False), 0, 1024, False,
                                   XA_WINDOW, &actual, &format, &count, &after, &data) == Success &&
                data && count > 0)
                top = reinterpret_cast<unsigned long *>(data)[count - 1];
            if (data)
                XFree(data);
            return top;
        }
        Window root = None, parent = None, *children = nullptr;
        unsigned count = 0;
        XQueryTree(display(), DefaultRootWindow(display()), &root, &parent, &children, &count);
        unsigned long top = 0;
        for (unsigned i = 0; i < count; ++i) {
            XWindowAttributes attrs;
            if (XGetWindowAttributes(display(), children[i], &attrs) && attrs.map_state == IsViewable &&
                !attrs.override_redirect)
                top = children[i];
        }
        if (children)
            XFree(children);
        return top;
    }
    // A plain window over the whole screen, as another program's would be.
    unsigned long coverTheScreen()
    {
        const Window cover = XCreateSimpleWindow(display(), DefaultRootWindow(display()), 0, 0, 1024, 768, 0, 0, 0);
        XStoreName(display(), cover, "Another program");
        XMapRaised(display(), cover);
        XSync(display(), False);
        e2e::waitFor([&] { return frontWindow() == cover; }, 10s);
        return cover;
    }

    e2e::XvfbServer x; // 1024 x 768
    e2e::X11Probe probe{x.display()};
    e2e::TempFolder home;
    e2e::TempFolder app;
    std::unique_ptr<e2e::WindowManager> wm;
};

std::string desktopName(const ::testing::TestParamInfo<bool> &info)
{
    return info.param ? "Openbox" : "NoWindowManager";
}

} // namespace

TEST_P(ProgramE2E, TheOptionsDialogOpensCentredOnTheScreenEveryTime)
{
    auto program = startCopy();
    const e2e::WindowInfo main = waitForWindow(kMainTitle);
    ASSERT_TRUE(main.viewable) << "the main window never appeared";
    for (int showing = 1; showing <= 2; ++showing) {
        const e2e::WindowInfo dialog = openOptions(main);
        ASSERT_TRUE(dialog.viewable) << "showing " << showing;
        EXPECT_NEAR(dialog.x + dialog.width / 2.0, 512, 1) << "showing " << showing;
        EXPECT_NEAR(dialog.y + dialog.height / 2.0, 384, 1) << "showing " << showing;
        probe.tapKey("Escape");
        ASSERT_TRUE(e2e::waitFor([&] { return !probe.findWindow(kOptionsTitle).viewable; }, 10s));
    }
}

TEST_P(ProgramE2E, ASecondStartBringsTheRunningCopysWindowToTheFrontAndEnds)
{
    e2e::TrayHost tray(x.display());
    auto first = startCopy();
    const e2e::WindowInfo main = waitForWindow(kMainTitle);
    ASSERT_TRUE(main.viewable) << "the main window never appeared";
    ASSERT_TRUE(tray.waitForIcon(10s)) << "the tray icon never docked";
    probe.sendCloseRequest(main.id);
    ASSERT_TRUE(e2e::waitFor([&] { return !probe.findWindow(kMainTitle).viewable; }, 10s))
        << "a close request did not hide the window to the tray";
    coverTheScreen();

    auto second = startCopy();
    EXPECT_EQ(second->wait(15s), 0) << "the second copy did not end";
    EXPECT_TRUE(e2e::waitFor([&] { return probe.findWindow(kMainTitle).viewable; }, 10s))
        << "the running copy's window did not come back";
    EXPECT_TRUE(e2e::waitFor([&] { return frontWindow() == main.id; }, 10s)) << "the window is not in front";
    if (wm)
        EXPECT_EQ(wmState(main.id), 1u) << "not restored";
    EXPECT_TRUE(first->running());

    // A copy on another display is a copy of its own.
    e2e::XvfbServer other;
    auto elsewhere = startCopyOn(other);
    e2e::X11Probe otherProbe(other.display());
    EXPECT_TRUE(e2e::waitFor([&] { return otherProbe.findWindow(kMainTitle).viewable; }, 20s));
    EXPECT_TRUE(elsewhere->running());
}

TEST_P(ProgramE2E, WithoutATrayClosingMinimisesAndASecondStartRestores)
{
    auto first = startCopy();
    const e2e::WindowInfo main = waitForWindow(kMainTitle);
    ASSERT_TRUE(main.viewable) << "the main window never appeared";
    probe.sendCloseRequest(main.id);
    if (wm) {
        EXPECT_TRUE(e2e::waitFor([&] { return wmState(main.id) == 3; }, 10s)) << "the window was not minimised";
    } else {
        // Nothing minimises a window without a window manager: it stays.
        std::this_thread::sleep_for(1s);
        EXPECT_TRUE(probe.findWindow(kMainTitle).viewable) << "hidden with no tray to bring it back";
    }
    EXPECT_TRUE(first->running());

    auto second = startCopy();
    EXPECT_EQ(second->wait(15s), 0) << "the second copy did not end";
    EXPECT_TRUE(e2e::waitFor([&] { return probe.findWindow(kMainTitle).viewable; }, 10s));
    if (wm)
        EXPECT_TRUE(e2e::waitFor([&] { return wmState(main.id) == 1; }, 10s)) << "not restored";
}

TEST(ScreenshotE2E, OnA16BitDisplayPrintScreenStoresA16BitFile)
{
    e2e::XvfbServer x("1024x768x16");
    e2e::X11Probe probe(x.display());
    e2e::TempFolder home;
    e2e::TempFolder app;
    fs::copy_file(e2e::binDir() + "/zibbles", app.path() + "/zibbles");
    fs::create_directory(app.path() + "/ScreenShots");
    e2e::ChildProcess program({app.path() + "/zibbles"}, e2e::programEnvironment(x.display(), home), app.path());
    ASSERT_TRUE(e2e::waitFor([&] { return probe.findWindow(kMainTitle).viewable; }, 20s));
    probe.tapKey("Print");
    fs::path shot;
    ASSERT_TRUE(e2e::waitFor([&] {
        for (const auto &entry : fs::directory_iterator(app.path() + "/ScreenShots"))
            if (entry.path().extension() == ".bmp" && entry.file_size() > 54)
                shot = entry.path();
        return !shot.empty();
    }, 10s)) << "no screenshot stored";
    std::ifstream in(shot, std::ios::binary);
    std::string header(54, '\0');
    in.read(header.data(), 54);
    ASSERT_TRUE(in && header.compare(0, 2, "BM") == 0);
    const auto field = [&](size_t at, int size) {
        unsigned v = 0;
        for (int i = size - 1; i >= 0; --i)
            v = (v << 8) | static_cast<unsigned char>(header[at + size_t(i)]);
        return v;
    };
    EXPECT_EQ(field(18, 4), 1024u);
    EXPECT_EQ(field(22, 4), 768u);
    EXPECT_EQ(field(28, 2), 16u) << "bits per pixel";
}

INSTANTIATE_TEST_SUITE_P(Desktops, ProgramE2E, ::testing::Values(false, true), desktopName);
