#include "platform/tcpsocketlookup.h"

#include "tcpsocketnotifier.h"

#include "platform/tcpsocket.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <thread>

namespace zibbles {

namespace {

constexpr int kNoBufferSpace = 10055;
constexpr int kNonRecoverable = 11003;

} // namespace

// What the worker and the look-up share; the last of them to let go closes
// the pipe.
struct HostLookup::Shared {
    int wake[2] = {-1, -1};
    std::mutex lock;
    int error = kNonRecoverable;
    uint32_t address = 0;

    ~Shared()
    {
        for (const int fd : wake)
            if (fd >= 0)
                ::close(fd);
    }
};

struct HostLookup::Notifier {
    WatchedDescriptor readable;
};

HostLookup::HostLookup() = default;

HostLookup::~HostLookup() = default;

int HostLookup::start(const std::string &host, Resolver resolver, Answer answer)
{
    auto shared = std::make_shared<Shared>();
    if (::pipe2(shared->wake, O_CLOEXEC | O_NONBLOCK) != 0)
        return winsockErrorFromErrno(errno);
    try {
        std::thread([shared, host, resolver = std::move(resolver)] {
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
            const char done = 1;
            (void)!::write(shared->wake[1], &done, 1);
        }).detach();
    } catch (const std::system_error &) {
        return kNoBufferSpace;
    }
    m_shared = std::move(shared);
    m_answer = std::move(answer);
    m_notifier = std::make_unique<Notifier>();
    m_notifier->readable = watchDescriptor(m_shared->wake[0], QSocketNotifier::Read, [this] { answered(); });
    return 0;
}

void HostLookup::answered()
{
    char byte;
    if (::read(m_shared->wake[0], &byte, 1) != 1)
        return;
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
