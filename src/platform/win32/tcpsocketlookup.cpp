#include "platform/tcpsocketlookup.h"

#include "notifywindow.h"

namespace zibbles {

// The look-up waiting for its answer. The worker posts the look-up's number
// to the hidden window; an answer for a number no longer waited for comes
// after its look-up was destroyed and is dropped.
struct HostLookup::Notifier {
    using Target = NotifyTarget<WPARAM, HostLookup>;

    explicit Notifier(HostLookup &lookup) : target(++lastNumber, lookup) {}

    static void notified(WPARAM wParam, LPARAM)
    {
        if (HostLookup *const lookup = Target::find(wParam))
            lookup->answered();
    }

    static inline WPARAM lastNumber = 0;
    Target target;
};

HostLookup::HostLookup() = default;

HostLookup::~HostLookup() = default;

int HostLookup::start(const std::string &host, Resolver resolver, Answer answer)
{
    static const bool listening = (onNotify(kLookupMessage, &Notifier::notified), true);
    (void)listening;
    auto notifier = std::make_unique<Notifier>(*this);
    const HWND window = notifyWindow();
    const WPARAM number = notifier->target.key();
    if (const int error = startWorker(host, std::move(resolver),
                                      [window, number] { PostMessageA(window, kLookupMessage, number, 0); }))
        return error;
    m_answer = std::move(answer);
    m_notifier = std::move(notifier);
    return 0;
}

void HostLookup::answered()
{
    m_notifier.reset();
    deliver();
}

} // namespace zibbles
