#include "platform/tcpsocketlookup.h"

#include "tcpsocketnotifier.h"

#include "platform/tcpsocket.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace zibbles {

namespace {

// The pipe by which the worker wakes the event loop; the last of the worker
// and the look-up to let go of it closes it.
struct WakePipe {
    int fds[2] = {-1, -1};

    ~WakePipe()
    {
        for (const int fd : fds)
            if (fd >= 0)
                ::close(fd);
    }
};

} // namespace

struct HostLookup::Notifier {
    std::shared_ptr<WakePipe> pipe;
    WatchedDescriptor readable;
};

HostLookup::HostLookup() = default;

HostLookup::~HostLookup() = default;

int HostLookup::start(const std::string &host, Resolver resolver, Answer answer)
{
    auto pipe = std::make_shared<WakePipe>();
    if (::pipe2(pipe->fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return winsockErrorFromErrno(errno);
    const auto wake = [pipe] {
        const char done = 1;
        (void)!::write(pipe->fds[1], &done, 1);
    };
    if (const int error = startWorker(host, std::move(resolver), wake))
        return error;
    m_answer = std::move(answer);
    m_notifier = std::make_unique<Notifier>();
    m_notifier->pipe = std::move(pipe);
    m_notifier->readable = watchDescriptor(m_notifier->pipe->fds[0], QSocketNotifier::Read, [this] { answered(); });
    return 0;
}

void HostLookup::answered()
{
    char byte;
    if (::read(m_notifier->pipe->fds[0], &byte, 1) != 1)
        return;
    m_notifier.reset();
    deliver();
}

} // namespace zibbles
