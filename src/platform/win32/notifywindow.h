#pragma once
// The GUI thread's one hidden window for the system's notifications: socket
// events, the answer of a host look-up, the end of a sound. They arrive as
// window messages, which Qt's event loop dispatches with every other message
// of the thread.
#include <windows.h>

#include <functional>
#include <map>

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

// The receiver of notifications that carry `key` (a socket, a number), in a
// table of its kind for as long as this lives. A notification posted before
// its receiver went finds none and is dropped.
template <typename Key, typename Receiver>
class NotifyTarget {
public:
    NotifyTarget(Key key, Receiver &receiver) : m_key(key) { table()[key] = &receiver; }
    ~NotifyTarget() { table().erase(m_key); }
    NotifyTarget(const NotifyTarget &) = delete;
    NotifyTarget &operator=(const NotifyTarget &) = delete;

    Key key() const { return m_key; }
    // The receiver of `key`; null when there is none.
    static Receiver *find(Key key)
    {
        const auto found = table().find(key);
        return found == table().end() ? nullptr : found->second;
    }

private:
    static std::map<Key, Receiver *> &table()
    {
        static std::map<Key, Receiver *> receivers;
        return receivers;
    }

    Key m_key;
};

} // namespace zibbles
