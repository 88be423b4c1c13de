// The Win32 desktop and hotkeys against real windows of this process: text
// typed through the keystroke sender arrives in an edit field byte for byte,
// the user's Shift is told apart from ours, and hotkeys are refused when
// taken and delivered with their id.
#include "platform/win32/win32desktop.h"
#include "platform/win32/win32hotkeys.h"

#include "platform/eventloop.h"
#include "playback/sendkeys.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

using namespace zibbles;

namespace {

constexpr int64_t kArrivalMs = 5000;

// A top-level window with one edit field that has the keyboard focus.
class EditWindow {
public:
    explicit EditWindow(const char *title, int show = SW_SHOWNORMAL)
    {
        m_frame = CreateWindowExA(0, "STATIC", title, WS_OVERLAPPEDWINDOW, 60, 60, 480, 90, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        m_edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 8, 8, 440, 24, m_frame,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        if (show != SW_HIDE)
            ShowWindow(m_frame, show);
    }
    ~EditWindow() { DestroyWindow(m_frame); }
    EditWindow(const EditWindow &) = delete;
    EditWindow &operator=(const EditWindow &) = delete;

    WindowHandle handle() const { return WindowHandle(reinterpret_cast<uintptr_t>(m_frame)); }
    HWND frame() const { return m_frame; }
    void focusField() const { SetFocus(m_edit); }
    std::string text() const
    {
        char buffer[1024] = {};
        GetWindowTextA(m_edit, buffer, sizeof buffer);
        return buffer;
    }
    void clear() const { SetWindowTextA(m_edit, ""); }

private:
    HWND m_frame = nullptr;
    HWND m_edit = nullptr;
};

// A key event of the "user": put into the input stream besides the
// desktop's own.
void userKey(WORD vk, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = WORD(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

class Win32DesktopTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // Without a window manager Wine takes two seconds to destroy a window
        // that was shown: one chat window serves every test and goes with
        // the process.
        if (!chat)
            chat = new EditWindow("Zibbles typing test");
    }

    void SetUp() override { chat->clear(); }

    // Brings the window up as the sender does before it types.
    void activate(const EditWindow &window)
    {
        TSendkeys(desktop, *pump).MakeWindowActive(window.handle());
        window.focusField();
        pump->processPending();
    }

    bool arrives(const EditWindow &window, const std::string &expected)
    {
        return waitUntil(*pump, [&] { return window.text() == expected; }, pump->nowMs() + kArrivalMs);
    }

    static inline EditWindow *chat = nullptr;
    Win32Desktop desktop;
    std::unique_ptr<MessagePump> pump = createMessagePump();
};

TEST_F(Win32DesktopTest, TypedTextArrivesByteForByte)
{
    const EditWindow &window = *chat;
    ASSERT_EQ(desktop.findWindow("Zibbles typing test"), window.handle());
    activate(window);
    // Every printable ASCII character (Xvfb's keymap also puts the
    // parentheses on keypad keys, where Wine finds no key for them), and
    // some of the code page that the layout has no key for (under Wine none
    // outside ASCII has one): "\x80\xa7\xb0\xc4\xdf" is Euro sign, section,
    // degree, A with diaeresis, sharp s.
    std::string text;
    for (char c = ' '; c <= '~'; ++c)
        text += c;
    text += "\x80\xa7\xb0\xc4\xdf";
    TSendkeys(desktop, *pump).SendKeys(text);
    EXPECT_TRUE(arrives(window, text)) << window.text();
}

TEST_F(Win32DesktopTest, CapsLockDoesNotTurnTheCaseOfLetters)
{
    const EditWindow &window = *chat;
    activate(window);
    userKey(VK_CAPITAL, false);
    userKey(VK_CAPITAL, true);
    pump->processPending();
    TSendkeys(desktop, *pump).SendKeys("aBc!");
    const bool typed = arrives(window, "aBc!");
    userKey(VK_CAPITAL, false);
    userKey(VK_CAPITAL, true);
    pump->processPending();
    EXPECT_TRUE(typed) << window.text();
}

TEST_F(Win32DesktopTest, TheUsersShiftIsToldApartFromOurs)
{
    const EditWindow &window = *chat;
    activate(window);
    const auto a = uint8_t(desktop.vkKeyScan('a'));
    const auto scan = uint8_t(desktop.mapVirtualKey(a));

    // Our own Shift is no user's.
    desktop.keyEvent(VK_SHIFT, 42, false);
    EXPECT_FALSE(desktop.userHoldsKeys());
    desktop.keyEvent(VK_SHIFT, 42, true);
    desktop.flush();
    EXPECT_FALSE(desktop.userHoldsKeys());

    // The user's Shift, down while a key goes by, changes it.
    userKey(VK_SHIFT, false);
    EXPECT_TRUE(desktop.userHoldsKeys());
    desktop.keyEvent(a, scan, false);
    desktop.keyEvent(a, scan, true);
    desktop.flush();
    EXPECT_EQ(desktop.keysToTypeAgain(), 1u);
    userKey(VK_SHIFT, true);
    EXPECT_TRUE(arrives(window, "A")) << window.text();
    EXPECT_FALSE(desktop.userHoldsKeys());

    // Without it, nothing is changed.
    desktop.keyEvent(a, scan, false);
    desktop.keyEvent(a, scan, true);
    EXPECT_EQ(desktop.keysToTypeAgain(), 0u);
    EXPECT_TRUE(arrives(window, "Aa")) << window.text();
}

TEST_F(Win32DesktopTest, WindowsNeverShownAreNotFoundIconicOnesAreRestored)
{
    EditWindow hidden("Zibbles window test", SW_HIDE);
    EXPECT_EQ(desktop.findWindow("Zibbles window test"), 0u);

    EditWindow iconic("Zibbles window test", SW_SHOWMINNOACTIVE);
    ASSERT_EQ(desktop.findWindow("Zibbles window test"), iconic.handle());
    EXPECT_TRUE(desktop.isIconic(iconic.handle()));
    desktop.restoreWindow(iconic.handle());
    pump->processPending();
    EXPECT_FALSE(desktop.isIconic(iconic.handle()));
    EXPECT_EQ(GetForegroundWindow(), iconic.frame());
}

TEST_F(Win32DesktopTest, ACombinationTakenIsRefusedAndItsAtomGoes)
{
    const char *atom = "HotKeyManagerHotKey8313"; // Shift+F10
    {
        Win32GlobalHotkeys first, second;
        ASSERT_TRUE(first.registerHotKey(1, MOD_SHIFT, VK_F10));
        EXPECT_FALSE(second.registerHotKey(1, MOD_SHIFT, VK_F10));
        EXPECT_FALSE(first.registerHotKey(2, MOD_SHIFT, VK_F10));
        EXPECT_NE(GlobalFindAtomA(atom), 0);
        EXPECT_TRUE(first.unregisterHotKey(1));
        EXPECT_FALSE(first.unregisterHotKey(1));
        EXPECT_EQ(GlobalFindAtomA(atom), 0);
        EXPECT_TRUE(second.registerHotKey(7, MOD_SHIFT, VK_F10));
    }
    EXPECT_EQ(GlobalFindAtomA(atom), 0); // given back at the end
}

TEST_F(Win32DesktopTest, APressedHotkeyReachesItsHandlerWithItsId)
{
    // Wine hands hotkeys over only while one of its windows has the focus.
    const EditWindow &window = *chat;
    activate(window);
    Win32GlobalHotkeys hotkeys;
    std::optional<uint16_t> id;
    unsigned modifiers = 99, vk = 0;
    hotkeys.onHotKey = [&](uint16_t pressed, unsigned m, unsigned v) {
        id = pressed;
        modifiers = m;
        vk = v;
    };
    ASSERT_TRUE(hotkeys.registerHotKey(0xC123, 0, VK_F7));
    userKey(VK_F7, false);
    userKey(VK_F7, true);
    EXPECT_TRUE(waitUntil(*pump, [&] { return id.has_value(); }, pump->nowMs() + kArrivalMs));
    EXPECT_EQ(id, 0xC123);
    EXPECT_EQ(modifiers, 0u);
    EXPECT_EQ(vk, unsigned(VK_F7));
    EXPECT_EQ(window.text(), ""); // the key went to the hotkey, not the field
}

} // namespace
