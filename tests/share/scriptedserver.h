#pragma once
// A TCP server on 127.0.0.1 that plays a scripted answer to each connection
// in turn and records the bytes of every request. It runs on its own thread,
// so the client under test keeps the GUI thread.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zibbles::testing {

struct ScriptedReply {
    enum class Then {
        Close, // shut down the sending side and wait for the client to close
        Hold,  // keep the connection open until the server is destroyed
        Reset, // abort the connection (the client sees a reset)
    };
    ScriptedReply(std::string answer, Then after = Then::Close, size_t filler = 0)
        : bytes(std::move(answer)), then(after), fillerBytes(filler)
    {
    }

    std::string bytes;
    Then then = Then::Close;
    // Bytes of filler sent after `bytes`, in 64 KiB pieces, while the client reads.
    size_t fillerBytes = 0;
    // Pieces sent one by one after `bytes`, each after a pause.
    std::vector<std::string> laterPieces;
    int pieceGapMs = 0;
    // A server that never reads lets the client's send buffer fill up.
    bool readsRequest = true;
};

class ScriptedServer {
public:
    explicit ScriptedServer(std::vector<ScriptedReply> replies);
    explicit ScriptedServer(ScriptedReply reply) : ScriptedServer(std::vector<ScriptedReply>{std::move(reply)}) {}
    ~ScriptedServer();

    uint16_t port() const { return m_port; }
    std::string host() const { return "127.0.0.1:" + std::to_string(m_port); }
    // The requests received so far, in order.
    std::vector<std::string> requests() const;

private:
    void run();
    void serve(int fd, const ScriptedReply &reply);
    std::string readRequest(int fd);
    bool waitReadable(int fd, int ms);

    int m_listen = -1;
    int m_wake[2] = {-1, -1};
    uint16_t m_port = 0;
    std::vector<ScriptedReply> m_replies;
    mutable std::mutex m_lock;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};

// A port on 127.0.0.1 on which nothing listens.
uint16_t closedPort();

} // namespace zibbles::testing
