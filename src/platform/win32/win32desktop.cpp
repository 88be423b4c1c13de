#include "win32desktop.h"

#include <windows.h>

#include <array>
#include <chrono>
#include <optional>
#include <set>
#include <vector>

namespace zibbles {

namespace {

// How long the window taking the keyboard focus may take to have it; keys
// typed before that would go to whichever window had it.
constexpr auto kActivationTimeout = std::chrono::milliseconds(2000);
// Windows posts another program no notice when a window of some other
// thread takes the focus: it is looked at again at this pace meanwhile.
constexpr DWORD kFocusRecheckMs = 10;

// The specific modifier keys: the state of each one is kept apart.
constexpr std::array<int, 8> kModifierKeys = {VK_LSHIFT, VK_RSHIFT,  VK_LCONTROL, VK_RCONTROL,
                                              VK_LMENU,  VK_RMENU,   VK_LWIN,     VK_RWIN};
constexpr std::array<int, 2> kShiftKeys = {VK_LSHIFT, VK_RSHIFT};
constexpr unsigned kRightShiftScanCode = 0x36;

HWND toHwnd(WindowHandle window)
{
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(window));
}

// Keys of the extended set: typed without the flag, the arrows and the
// editing keys arrive as the keys of the numeric keypad, and the right Alt
// (AltGr) as the left one.
bool isExtendedKey(uint8_t vk)
{
    switch (vk) {
    case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME:
    case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN:
    case VK_INSERT: case VK_DELETE: case VK_DIVIDE: case VK_NUMLOCK:
    case VK_LWIN: case VK_RWIN: case VK_APPS: case VK_RCONTROL: case VK_RMENU:
        return true;
    default:
        return false;
    }
}

// The specific keys an event of `vk` presses or releases. Where the layout
// has AltGr, the system adds the left Ctrl to the right Alt.
std::vector<int> specificKeys(uint8_t vk, uint8_t scanCode)
{
    switch (vk) {
    case VK_SHIFT: return {scanCode == kRightShiftScanCode ? VK_RSHIFT : VK_LSHIFT};
    case VK_CONTROL: return {VK_LCONTROL};
    case VK_MENU: return {VK_LMENU};
    case VK_RMENU: return {VK_RMENU, VK_LCONTROL};
    case VK_LSHIFT: case VK_RSHIFT: case VK_LCONTROL: case VK_RCONTROL: case VK_LMENU: case VK_LWIN: case VK_RWIN:
        return {vk};
    default:
        return {};
    }
}

bool isModifier(uint8_t vk)
{
    return vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU || vk == VK_CAPITAL ||
           !specificKeys(vk, 0).empty();
}

bool isDown(int key)
{
    return (GetAsyncKeyState(key) & 0x8000) != 0;
}

// A letter that has an upper and a lower case in the code page.
bool hasCase(unsigned char ch)
{
    const auto asText = [](unsigned char c) { return reinterpret_cast<LPSTR>(static_cast<uintptr_t>(c)); };
    const auto upper = static_cast<unsigned char>(reinterpret_cast<uintptr_t>(CharUpperA(asText(ch))));
    const auto lower = static_cast<unsigned char>(reinterpret_cast<uintptr_t>(CharLowerA(asText(ch))));
    return upper != lower;
}

// Whether the window (or one of its children) has the keyboard focus of the
// desktop.
bool hasKeyboardFocus(HWND window)
{
    if (GetForegroundWindow() != window)
        return false;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndFocus)
        return false;
    return info.hwndFocus == window || IsChild(window, info.hwndFocus);
}

// A window of this thread takes the focus while this thread dispatches its
// messages, which it does right after: there is nothing to wait for.
void waitForKeyboardFocus(HWND window)
{
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId())
        return;
    const auto deadline = std::chrono::steady_clock::now() + kActivationTimeout;
    while (!hasKeyboardFocus(window) && std::chrono::steady_clock::now() < deadline)
        Sleep(kFocusRecheckMs);
}

// Windows hands the foreground only to the program the user works with (the
// one that took the last input: a hotkey counts); joined to that program's
// input for a moment, this program may.
void takeForeground(HWND window)
{
    if (SetForegroundWindow(window))
        return;
    const DWORD own = GetCurrentThreadId();
    const DWORD foreground = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    if (foreground == 0 || foreground == own || !AttachThreadInput(own, foreground, TRUE))
        return;
    SetForegroundWindow(window);
    AttachThreadInput(own, foreground, FALSE);
}

bool runsUnderWine()
{
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// A character as a key event of its own (VK_PACKET): it arrives as typed
// whatever the layout and the modifiers.
INPUT characterInput(unsigned char ch, bool keyUp)
{
    wchar_t unicode = 0;
    const char text = static_cast<char>(ch);
    MultiByteToWideChar(CP_ACP, 0, &text, 1, &unicode, 1);
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = WORD(unicode);
    input.ki.dwFlags = KEYEVENTF_UNICODE | (keyUp ? KEYEVENTF_KEYUP : 0);
    return input;
}

// Whether the key's own character is a dead one: pressed, it types nothing
// and waits for the next key, which then comes out as one character with
// it ("^" and "a" as "\xe2"), or as both.
bool isDeadKey(unsigned vk)
{
    return (MapVirtualKeyA(vk, MAPVK_VK_TO_CHAR) & 0x80000000u) != 0;
}

} // namespace

// Some characters are typed as key events of their own (VK_PACKET) rather
// than by their key: those with no key that VkKeyScanA finds (under Wine
// none outside ASCII, nor one that only a dead key gives), those on a dead
// key, and under Wine those that need AltGr, because Wine takes AltGr from
// the keyboard's own last event and never from injected ones (the
// character came out without it, or not at all). vkKeyScan answers
// VK_PACKET for them, and the key event of VK_PACKET that follows sends the
// character.
struct CharacterPackets {
    bool underWine = runsUnderWine();
    unsigned char character = 0; // the one that vkKeyScan answered VK_PACKET for last

    bool wanted(SHORT scan, unsigned state) const
    {
        return scan == -1 || isDeadKey(unsigned(scan) & 0xFF) || (underWine && (state & 6) == 6);
    }
};

struct Win32Desktop::Impl {
    std::vector<INPUT> queued;
    size_t queuedPresses = 0;            // key presses (modifiers aside) among them
    std::set<int> ownModifiers;          // specific keys our events hold down
    size_t presses = 0;                  // sent since the last look
    std::optional<size_t> firstChanged;  // among those, the first one the user's Shift may have changed
    bool capsLock = false;               // as it was at the start of the text
    CharacterPackets packets;

    bool userHoldsShift() const
    {
        for (int key : kShiftKeys)
            if (isDown(key) && !ownModifiers.count(key))
                return true;
        return false;
    }
};

Win32Desktop::Win32Desktop() : d(std::make_unique<Impl>()) {}

Win32Desktop::~Win32Desktop() = default;

WindowHandle Win32Desktop::findWindow(const std::string &title)
{
    // FindWindowA also finds windows never shown or hidden again: the first
    // one shown wins.
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, nullptr, title.c_str())) != nullptr)
        if (IsWindowVisible(window))
            return WindowHandle(reinterpret_cast<uintptr_t>(window));
    return 0;
}

bool Win32Desktop::isIconic(WindowHandle window)
{
    return window != 0 && IsIconic(toHwnd(window));
}

void Win32Desktop::restoreWindow(WindowHandle window)
{
    if (window == 0)
        return;
    ShowWindow(toHwnd(window), SW_RESTORE);
    takeForeground(toHwnd(window));
    waitForKeyboardFocus(toHwnd(window));
}

void Win32Desktop::bringWindowToTop(WindowHandle window)
{
    if (window == 0)
        return;
    // BringWindowToTop only raises a window of another program; the keys go
    // to the foreground window.
    BringWindowToTop(toHwnd(window));
    takeForeground(toHwnd(window));
    waitForKeyboardFocus(toHwnd(window));
}

void Win32Desktop::refreshKeymap()
{
    // VkKeyScanA reads the layout in use at every call; only Caps Lock,
    // which turns the case of the letters typed, is noted per text.
    d->capsLock = (GetKeyState(VK_CAPITAL) & 1) != 0;
}

int16_t Win32Desktop::vkKeyScan(unsigned char ch)
{
    const SHORT scan = VkKeyScanA(static_cast<CHAR>(ch));
    unsigned state = (unsigned(scan) >> 8) & 0xFF;
    if (d->packets.wanted(scan, state)) {
        d->packets.character = ch;
        return VK_PACKET;
    }
    // Ctrl+Alt is what AltGr gives: the sender presses AltGr for it, with
    // Shift or not. The bits above Alt (Hankaku, the layout's own) are no
    // key the sender can press.
    state = (state & 6) == 6 ? 6 | (state & 1) : state & 7;
    // With Caps Lock on, a letter comes out in the other case unless Shift
    // turns it back: type what the text says, not what the lock makes of it.
    if (d->capsLock && state <= 1 && hasCase(ch))
        state ^= 1;
    return int16_t((state << 8) | (unsigned(scan) & 0xFF));
}

unsigned Win32Desktop::mapVirtualKey(unsigned vk)
{
    return MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
}

bool Win32Desktop::userHoldsKeys()
{
    flush();
    for (int key : kModifierKeys)
        if (isDown(key) && !d->ownModifiers.count(key))
            return true;
    return false;
}

// The events of one flush go into the input stream as one block, which the
// user's keys cannot split; the user's Shift can only come down before or
// after it. Shift found down right after a block that left it up was either
// down before it, and shifted its keys, or came after: the keys are counted
// as changed either way, and typing them again when they were not costs
// nothing but the time.
std::optional<size_t> Win32Desktop::keysToTypeAgain()
{
    flush();
    const size_t changed = d->firstChanged ? d->presses - *d->firstChanged : 0;
    d->presses = 0;
    d->firstChanged.reset();
    return changed;
}

void Win32Desktop::keyEvent(uint8_t vk, uint8_t scanCode, bool keyUp)
{
    if (vk == VK_PACKET) {
        d->queued.push_back(characterInput(d->packets.character, keyUp));
        d->queuedPresses += keyUp ? 0 : 1;
        return;
    }
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = scanCode;
    input.ki.dwFlags = (keyUp ? KEYEVENTF_KEYUP : 0) | (isExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    d->queued.push_back(input);
    for (int key : specificKeys(vk, scanCode)) {
        if (keyUp)
            d->ownModifiers.erase(key);
        else
            d->ownModifiers.insert(key);
    }
    if (!keyUp && !isModifier(vk))
        ++d->queuedPresses;
}

void Win32Desktop::flush()
{
    if (d->queued.empty())
        return;
    // Failures of the injection are not reported: the keys then simply do
    // not arrive, as when the focus went elsewhere.
    SendInput(UINT(d->queued.size()), d->queued.data(), sizeof(INPUT));
    d->queued.clear();
    if (d->queuedPresses != 0 && !d->firstChanged && d->userHoldsShift())
        d->firstChanged = d->presses;
    d->presses += d->queuedPresses;
    d->queuedPresses = 0;
}

} // namespace zibbles
