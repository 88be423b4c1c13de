// The X11 desktop on a server that a window manager (openbox) manages: the
// windows are found in its client list although it has framed them, and
// bringing one up, iconified or not, goes through it and ends with the
// window active and taking the typed keys.
#include "desktopfixture.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <thread>

// After gtest: Xlib defines None and Bool as macros.
#include <X11/Xlib.h>

using namespace std::chrono_literals;
using e2e::ChatWindow;

namespace {

class X11DesktopWmE2E : public e2e::DesktopFixture {
protected:
    // Openbox gives a new window the focus some time after mapping it; until
    // it has, an activation of an older window could be undone by it.
    void waitUntilActive(const ChatWindow &window)
    {
        ASSERT_TRUE(e2e::waitFor([&] { return activeWindow() == window.window(); }, 10s))
            << "openbox never focused the new window";
    }

    e2e::WindowManager wm{x, probe, folder};
};

} // namespace

TEST_F(X11DesktopWmE2E, FindsFramedWindowsByTheirExactTitleOnly)
{
    ChatWindow ogl(x, probe, folder, "There (OGL)");
    ChatWindow plain(x, probe, folder, "There");
    EXPECT_EQ(desktop.findWindow("There (OGL)"), ogl.window());
    EXPECT_EQ(desktop.findWindow("There"), plain.window());
    for (const char *other : {"There (DX9)", "There ", "there", ""})
        EXPECT_EQ(desktop.findWindow(other), 0u) << '"' << other << '"';
}

TEST_F(X11DesktopWmE2E, ActivationMakesTheWindowActiveAndTypedKeysGoThere)
{
    ChatWindow ogl(x, probe, folder, "There (OGL)");
    ChatWindow dx9(x, probe, folder, "There (DX9)");
    waitUntilActive(dx9);

    activateAndType(ogl.window(), "to ogl\n\r");
    EXPECT_EQ(activeWindow(), ogl.window());
    activateAndType(dx9.window(), "to dx9\n\r");
    EXPECT_EQ(activeWindow(), dx9.window());
    activateAndType(ogl.window(), "ogl again!\n\r");

    EXPECT_EQ(ogl.waitForLines(2, 10s), (std::vector<std::string>{"to ogl", "ogl again!"}));
    EXPECT_EQ(dx9.waitForLines(1, 10s), std::vector<std::string>{"to dx9"});
}

TEST_F(X11DesktopWmE2E, AWindowIconifiedByTheWindowManagerIsRestoredAndTypedInto)
{
    ChatWindow chat(x, probe, folder, "There (OGL)");
    ChatWindow other(x, probe, folder, "Other");
    waitUntilActive(other);
    Display *d = static_cast<Display *>(probe.display());
    XIconifyWindow(d, chat.window(), DefaultScreen(d));
    XSync(d, False);
    ASSERT_TRUE(e2e::waitFor([&] { return desktop.isIconic(chat.window()); }, 10s))
        << "openbox never iconified the window";

    const zibbles::WindowHandle window = desktop.findWindow("There (OGL)");
    ASSERT_EQ(window, chat.window());
    activateAndType(window, "back again (restored)\n\r");
    EXPECT_FALSE(desktop.isIconic(window));
    EXPECT_TRUE(probe.findWindow("There (OGL)").viewable);
    EXPECT_EQ(activeWindow(), chat.window());
    EXPECT_EQ(chat.waitForLines(1, 10s), std::vector<std::string>{"back again (restored)"});
    EXPECT_TRUE(other.lines().empty());
}

TEST_F(X11DesktopWmE2E, KeysWaitForAWindowManagerThatIsSlowToHandOverTheFocus)
{
    ChatWindow chat(x, probe, folder, "There (OGL)");
    ChatWindow other(x, probe, folder, "Other");
    waitUntilActive(other);

    // A busy desktop: the window manager answers only after 900 ms.
    kill(wm.pid(), SIGSTOP);
    std::thread wake([pid = wm.pid()] {
        std::this_thread::sleep_for(900ms);
        kill(pid, SIGCONT);
    });
    activateAndType(chat.window(), "after the wait\n\r");
    wake.join();

    EXPECT_EQ(activeWindow(), chat.window());
    EXPECT_EQ(chat.waitForLines(1, 10s), std::vector<std::string>{"after the wait"});
    EXPECT_TRUE(other.lines().empty());
}
