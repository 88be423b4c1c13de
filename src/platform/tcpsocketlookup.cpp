#include "platform/tcpsocketlookup.h"

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

int HostLookup::startWorker(const std::string &host, Resolver resolver, std::function<void()> wake)
{
    auto shared = std::make_shared<Shared>();
    try {
        std::thread([shared, host, resolver = std::move(resolver), wake = std::move(wake)] {
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
            wake();
        }).detach();
    } catch (const std::system_error &) {
        return kNoBufferSpace;
    }
    m_shared = std::move(shared);
    return 0;
}

void HostLookup::deliver()
{
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
