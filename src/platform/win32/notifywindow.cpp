#include "notifywindow.h"

#include "core/handlerguard.h"

#include <map>

namespace zibbles {

namespace {

std::map<UINT, NotifyHandler> &handlers()
{
    static std::map<UINT, NotifyHandler> table;
    return table;
}

LRESULT CALLBACK notifyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto found = handlers().find(message);
    if (found == handlers().end())
        return DefWindowProcA(window, message, wParam, lParam);
    // A copy: the handler may replace itself.
    const NotifyHandler handler = found->second;
    runGuarded([&] { handler(wParam, lParam); });
    return 0;
}

HWND createNotifyWindow()
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = notifyProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "ZibblesNotify";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                           nullptr);
}

} // namespace

HWND notifyWindow()
{
    static const HWND window = createNotifyWindow();
    return window;
}

void onNotify(UINT message, NotifyHandler handler)
{
    if (handler)
        handlers()[message] = std::move(handler);
    else
        handlers().erase(message);
}

} // namespace zibbles
