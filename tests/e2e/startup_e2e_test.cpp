// The real program under a private X server: it starts in an empty folder,
// shows its window at the fixed size, and a close request only hides it to
// the tray.
#include "trayhost.h"
#include "x11harness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

TEST(StartupE2E, FirstStartShowsFixedWindowAndCloseOnlyHidesIt)
{
    e2e::XvfbServer x;
    e2e::TrayHost tray(x.display()); // hiding needs a tray to come back from
    e2e::TempFolder home;
    e2e::TempFolder appDir;
    const std::string exe = appDir.path() + "/zibbles";
    fs::copy_file(e2e::binDir() + "/zibbles", exe);

    e2e::ChildProcess program({exe}, e2e::programEnvironment(x.display(), home), appDir.path());
    e2e::X11Probe probe(x.display());

    e2e::WindowInfo window;
    ASSERT_TRUE(e2e::waitFor([&] {
        window = probe.findWindow("Zibbles by Quillmere");
        return window.id && window.viewable;
    }, 20s)) << "the main window never appeared";
    EXPECT_EQ(window.width, 459);
    EXPECT_EQ(window.height, 461);

    for (int n = 1; n <= 10; ++n)
        EXPECT_TRUE(fs::is_directory(appDir.path() + "/Set" + std::to_string(n))) << n;

    probe.sendCloseRequest(window.id);
    EXPECT_TRUE(e2e::waitFor([&] { return !probe.findWindow("Zibbles by Quillmere").viewable; }, 10s))
        << "the window stayed visible after a close request";
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(program.running()) << "a close request ended the program";
}
