#pragma once
// A host name look-up that never blocks the GUI thread: the name is resolved
// on a thread of its own and the answer arrives through the event loop.
//
// The worker shares only a small block with this object (its answer and a
// pipe that wakes the event loop), kept alive by whichever side lets go of it
// last. Destroying the look-up, whether it was cancelled or timed out, only
// lets go of that block; a name server that answers later finds nobody to
// tell and touches nothing else.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace zibbles {

class HostLookup {
public:
    // Resolves a name to an IPv4 address in host byte order; 0 or a Winsock
    // error code. Runs on the worker thread.
    using Resolver = std::function<int(const std::string &host, uint32_t &address)>;
    // Called on the GUI thread with the answer; it may destroy the look-up.
    using Answer = std::function<void(int error, uint32_t address)>;

    // Starts resolving `host`; 0, or the Winsock error code when no worker
    // could be started (then `answer` is never called).
    int start(const std::string &host, Resolver resolver, Answer answer);
    HostLookup();
    ~HostLookup();
    HostLookup(const HostLookup &) = delete;
    HostLookup &operator=(const HostLookup &) = delete;

private:
    struct Shared;
    struct Notifier;
    void answered();

    std::shared_ptr<Shared> m_shared;
    std::unique_ptr<Notifier> m_notifier;
    Answer m_answer;
};

} // namespace zibbles
