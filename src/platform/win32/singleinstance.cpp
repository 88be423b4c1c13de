#include "platform/singleinstance.h"

#include "platform/eventloop.h"

#include "widepath.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <cctype>
#include <functional>
#include <windows.h>

namespace zibbles {

namespace {

// Sent by a later copy to the running one's hidden window.
const UINT kShowRequest = WM_APP + 1;

// The name of the hold and of the window's class: what a system object's
// name may hold, short enough for either.
std::wstring objectName(const std::string &base)
{
    std::string name;
    for (const char c : base)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    if (name.size() > 120)
        name = std::to_string(std::hash<std::string>{}(base)) + name.substr(name.size() - 100);
    return widePath("Zibbles-" + name);
}

} // namespace

struct SingleInstance::Impl {
    SingleInstance *owner = nullptr;
    std::wstring name;
    HANDLE hold = nullptr;  // a named mutex of this session: the system closes it when the process ends
    HWND window = nullptr;  // hidden; a later copy finds it by its class
    ATOM windowClass = 0;
    QObject queue;          // what the window's requests are queued to; gone with them when this ends

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message != kShowRequest)
            return DefWindowProcW(window, message, wParam, lParam);
        // Handed on to Qt's event loop: nothing may unwind through the
        // system's dispatch of a message.
        if (auto *self = reinterpret_cast<Impl *>(GetWindowLongPtrW(window, GWLP_USERDATA)))
            QTimer::singleShot(0, &self->queue, [self] {
                if (self->owner->onShowRequested)
                    self->owner->onShowRequested();
            });
        return 0;
    }

    // True when the hold is ours now, or cannot be had at all (the program
    // must start all the same).
    bool takeHold()
    {
        hold = CreateMutexW(nullptr, FALSE, (L"Local\\" + name).c_str());
        if (!hold || GetLastError() != ERROR_ALREADY_EXISTS)
            return true;
        CloseHandle(hold);
        hold = nullptr;
        return false;
    }

    void listen()
    {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = windowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = name.c_str();
        windowClass = RegisterClassExW(&wc);
        window = CreateWindowExW(0, name.c_str(), L"Zibbles", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        if (window)
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }

    // True once the running copy has been asked; it lets that copy bring its
    // window to the front, which the system allows only a copy the user just
    // started.
    bool askOnce() const
    {
        HWND running = FindWindowW(name.c_str(), nullptr);
        if (!running)
            return false;
        DWORD process = 0;
        GetWindowThreadProcessId(running, &process);
        AllowSetForegroundWindow(process);
        return PostMessageW(running, kShowRequest, 0, 0);
    }

    // The running copy may still be on its way to its window: look again
    // now and then, waiting in the event loop in between.
    void askRunningCopy(int patienceMs) const
    {
        const auto pump = createMessagePump();
        const auto retry = createTimerFactory()->createTimer();
        retry->start(100);
        waitUntil(*pump, [this] { return askOnce(); }, pump->nowMs() + patienceMs);
    }

    ~Impl()
    {
        if (window)
            DestroyWindow(window);
        if (windowClass)
            UnregisterClassW(name.c_str(), GetModuleHandleW(nullptr));
        if (hold)
            CloseHandle(hold);
    }
};

SingleInstance::SingleInstance() : SingleInstance(defaultBase()) {}

SingleInstance::SingleInstance(std::string base) : d(std::make_unique<Impl>())
{
    d->owner = this;
    d->name = objectName(base);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim(int patienceMs)
{
    if (d->hold || d->window)
        return true;
    if (!d->takeHold()) {
        d->askRunningCopy(patienceMs);
        return false;
    }
    d->listen();
    return true;
}

// Named objects of the "Local" namespace belong to the session; the user's
// name keeps apart a program that another user starts in it.
std::string SingleInstance::defaultBase()
{
    wchar_t user[257] = {};
    DWORD length = 257;
    const std::string name =
        GetUserNameW(user, &length) ? QString::fromWCharArray(user).toStdString() : std::string("user");
    return "zibbles-" + name;
}

} // namespace zibbles
