#include "platform/tcpsocketlookup.h"

#include "notifywindow.h"

#include <map>
#include <mutex>
#include <system_error>
#include <thread>

namespace zibbles {

namespace {

constexpr int kNoBufferSpace = 10055;
constexpr int kNonRecoverable = 11003;

} // namespace

// What the worker and the look-up share: the answer, written by the worker.
struct HostLookup::Shared {
    std::mutex lock;
    int error = kNonRecoverable;
    uint32_t address = 0;
};

// The look-up in the table of those waiting for an answer. The worker posts
// the look-up's number to the hidden window; an answer for a number no
// longer there comes after its look-up was destroyed and is dropped.
struct HostLookup::Notifier {
    explicit Notifier(HostLookup &lookup) : number(++lastNumber) { table()[number] = &lookup; }
    ~Notifier() { table().erase(number); }
    Notifier(const Notifier &) = delete;
    Notifier &operator=(const Notifier &) = delete;

    static std::map<WPARAM, HostLookup *> &table()
    {
        static std::map<WPARAM, HostLookup *> waiting;
        return waiting;
    }

    static void notified(WPARAM wParam, LPARAM)
    {
        const auto found = table().find(wParam);
        if (found != table().end())
            found->second->answered();
    }

    static inline WPARAM lastNumber = 0;
    WPARAM number;
};

HostLookup::HostLookup() = default;

HostLookup::~HostLookup() = default;

int HostLookup::start(const std::string &host, Resolver resolver, Answer answer)
{
    static const bool listening = (onNotify(kLookupMessage, &Notifier::notified), true);
    (void)listening;
    auto shared = std::make_shared<Shared>();
    auto notifier = std::make_unique<Notifier>(*this);
    const HWND window = notifyWindow();
    const WPARAM number = notifier->number;
    try {
        std::thread([shared, host, resolver = std::move(resolver), window, number] {
            uint32_t address = 0;
            int error = kNonRecoverable;
            try {
                error = resolver(host, address);
            } catch (...) {
                // No error may end the worker; the look-up has failed.
            }
            {
                std::lock_guard<std::mutex> guard(shared->lock);
                shared->error = error;
                shared->address = address;
            }
            PostMessageA(window, kLookupMessage, number, 0);
        }).detach();
    } catch (const std::system_error &) {
        return kNoBufferSpace;
    }
    m_shared = std::move(shared);
    m_answer = std::move(answer);
    m_notifier = std::move(notifier);
    return 0;
}

void HostLookup::answered()
{
    m_notifier.reset();
    int error = 0;
    uint32_t address = 0;
    {
        std::lock_guard<std::mutex> guard(m_shared->lock);
        error = m_shared->error;
        address = m_shared->address;
    }
    const Answer answer = std::move(m_answer);
    m_answer = nullptr;
    if (answer)
        answer(error, address); // may destroy this look-up: nothing follows
}

} // namespace zibbles
