#pragma once
// The live-share server on one thread: every connection is served by one
// event loop, so a client that sends slowly or not at all holds no more
// than its place in a list, its deadline and its few buffers.
#include "httpexchange.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

struct ServerOptions {
    HttpLimits limits;
    // The whole exchange, from the accepted connection to the sent answer.
    std::chrono::milliseconds deadline{10000};
    // At this many, a new connection ends the oldest one.
    std::size_t maxConnections = 512;
};

class ShareServer {
public:
    ShareServer(LiveShareAnswers &answers, const ServerOptions &options);
    ~ShareServer();
    ShareServer(const ShareServer &) = delete;
    ShareServer &operator=(const ShareServer &) = delete;

    // Listens on the address and port (0: any free one); the port in use.
    // Throws std::runtime_error when it cannot.
    int listen(const std::string &address, int port);
    // Serves until SIGINT or SIGTERM, then closes every connection. Each
    // answered request is logged as one line on standard output.
    void run();

private:
    struct Loop;
    std::unique_ptr<Loop> m_loop;
};
