#include "win32hotkeys.h"

#include "core/handlerguard.h"

#include <windows.h>

#include <string>

namespace zibbles {

namespace {

constexpr const char *kWindowClass = "ZibblesHotKeyWindow";

// The name of a hotkey's global atom: a fixed prefix and the combination as
// one number, the key in the low byte and Shift 0x2000, Ctrl 0x4000, Alt
// 0x8000, Win 0x10000 above it.
std::string atomName(unsigned modifiers, unsigned vk)
{
    unsigned code = vk & 0xFF;
    if (modifiers & MOD_ALT)
        code += 0x8000;
    if (modifiers & MOD_CONTROL)
        code += 0x4000;
    if (modifiers & MOD_SHIFT)
        code += 0x2000;
    if (modifiers & MOD_WIN)
        code += 0x10000;
    return "HotKeyManagerHotKey" + std::to_string(code);
}

} // namespace

struct HotkeyWindowProc {
    static LRESULT CALLBACK call(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_HOTKEY) {
            auto *self = reinterpret_cast<Win32GlobalHotkeys *>(GetWindowLongPtrA(window, GWLP_USERDATA));
            if (self)
                self->hotKeyMessage(uint16_t(wParam & 0xFFFF), LOWORD(lParam), HIWORD(lParam));
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    static void registerClass()
    {
        static const bool registered = [] {
            WNDCLASSA windowClass{};
            windowClass.lpfnWndProc = call;
            windowClass.hInstance = GetModuleHandleA(nullptr);
            windowClass.lpszClassName = kWindowClass;
            return RegisterClassA(&windowClass) != 0;
        }();
        (void)registered;
    }
};

Win32GlobalHotkeys::Win32GlobalHotkeys()
{
    HotkeyWindowProc::registerClass();
    m_window = CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    if (m_window)
        SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32GlobalHotkeys::~Win32GlobalHotkeys()
{
    while (!m_atoms.empty())
        unregisterHotKey(m_atoms.begin()->first);
    if (m_window)
        DestroyWindow(m_window);
}

bool Win32GlobalHotkeys::registerHotKey(uint16_t id, unsigned modifiers, unsigned vk)
{
    if (!m_window || m_atoms.count(id) || vk == 0 || vk > 0xFF)
        return false;
    // One atom per combination: another registration of it (by a second
    // copy of the program, say) finds the same atom and is refused by the
    // system; deleting the atom then only takes its own count back.
    const ATOM atom = GlobalAddAtomA(atomName(modifiers, vk).c_str());
    if (atom == 0)
        return false;
    if (!RegisterHotKey(m_window, atom, modifiers & (MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN), vk)) {
        GlobalDeleteAtom(atom);
        return false;
    }
    m_atoms[id] = atom;
    return true;
}

bool Win32GlobalHotkeys::unregisterHotKey(uint16_t id)
{
    const auto entry = m_atoms.find(id);
    if (entry == m_atoms.end())
        return false;
    const bool done = UnregisterHotKey(m_window, entry->second);
    GlobalDeleteAtom(entry->second);
    m_atoms.erase(entry);
    return done;
}

void Win32GlobalHotkeys::hotKeyMessage(uint16_t atom, unsigned modifiers, unsigned vk)
{
    for (const auto &[id, registered] : m_atoms) {
        if (registered == atom) {
            // Dispatched from inside the system's call of the window
            // procedure: nothing may be thrown through it.
            if (onHotKey)
                runGuarded([&, id = id] { onHotKey(id, modifiers, vk); });
            return;
        }
    }
}

} // namespace zibbles
