// The real program on a private X server, managed by openbox or by no window
// manager, as a user meets it: the options dialog opens in the middle of the
// screen every time.
#include "desktopfixture.h"
#include "x11harness.h"

#include <gtest/gtest.h>

// Last: Xlib's macros (None, Bool) clash with the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <filesystem>
#include <memory>

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

    std::unique_ptr<e2e::ChildProcess> startCopy()
    {
        return std::make_unique<e2e::ChildProcess>(
            std::vector<std::string>{app.path() + "/zibbles"},
            std::map<std::string, std::string>{{"DISPLAY", x.display()},
                                               {"QT_QPA_PLATFORM", "xcb"},
                                               {"HOME", home.path()},
                                               {"XDG_CONFIG_HOME", home.path() + "/config"},
                                               {"XDG_RUNTIME_DIR", home.path()},
                                               {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + home.path() + "/no-bus"}},
            app.path());
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

INSTANTIATE_TEST_SUITE_P(Desktops, ProgramE2E, ::testing::Values(false, true), desktopName);
