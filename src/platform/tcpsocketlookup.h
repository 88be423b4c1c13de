#pragma once
// A host name look-up that never blocks the GUI thread: the name is resolved
// on a thread of its own and the answer arrives through the event loop.
//
// The worker shares with this object only its answer and what wakes the
// event loop (the system's own way, in the folder of each socket layer),
// kept alive by whichever side lets go of them last. Destroying the look-up,
// whether it was cancelled or timed out, only lets go of those; a name
// server that answers later finds nobody to tell and touches nothing else.
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
    // The same on every system (tcpsocketlookup.cpp of this folder): starts
    // the worker, which calls `wake` once it has left its answer; 0 or the
    // Winsock error code when it could not be started.
    int startWorker(const std::string &host, Resolver resolver, std::function<void()> wake);
    // Hands the worker's answer on; answered() calls it.
    void deliver();
    // The system's part, on the GUI thread once the worker has woken it.
    void answered();

    std::shared_ptr<Shared> m_shared;
    std::unique_ptr<Notifier> m_notifier;
    Answer m_answer;
};

} // namespace zibbles
