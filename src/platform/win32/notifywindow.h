#pragma once
// The GUI thread's one hidden window for the system's notifications: socket
// events, the answer of a host look-up, the end of a sound. They arrive as
// window messages, which Qt's event loop dispatches with every other message
// of the thread.
#include <windows.h>

#include <functional>

namespace zibbles {

// Message numbers of the notifications.
constexpr UINT kSocketMessage = WM_USER + 1;
constexpr UINT kLookupMessage = WM_USER + 2;

using NotifyHandler = std::function<void(WPARAM, LPARAM)>;

// The window; made at the first call, which must come from the GUI thread.
// Other threads may post to the handle it gives.
HWND notifyWindow();

// Sends `message` to `handler` from now on. A handler runs guarded: an error
// it raises is reported and never unwinds through the window procedure.
void onNotify(UINT message, NotifyHandler handler);

} // namespace zibbles
