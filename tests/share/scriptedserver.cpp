#include "scriptedserver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace zibbles::testing {

namespace {

constexpr int kIdleMs = 3000;

// The program ends every request with its own "Host:" line after the blank
// line that closes the header block.
bool requestComplete(const std::string &data)
{
    const size_t blank = data.find("\r\n\r\n");
    if (blank == std::string::npos)
        return false;
    const size_t host = data.find("Host: ", blank + 2);
    return host != std::string::npos && data[host - 1] == '\n' && data.size() >= 2 &&
           data.compare(data.size() - 2, 2, "\r\n") == 0 && data.find("\r\n", host) == data.size() - 2;
}

int listenOnLoopback(uint16_t &port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof at;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr *>(&at), len) != 0 || ::listen(fd, 8) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&at), &len) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    port = ntohs(at.sin_port);
    return fd;
}

bool sendAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

} // namespace

ScriptedServer::ScriptedServer(std::vector<ScriptedReply> replies) : m_replies(std::move(replies))
{
    m_listen = listenOnLoopback(m_port);
    if (::pipe(m_wake) != 0)
        throw std::runtime_error("pipe");
    m_thread = std::thread([this] { run(); });
}

ScriptedServer::~ScriptedServer()
{
    const char stop = 's';
    (void)!::write(m_wake[1], &stop, 1);
    m_thread.join();
    ::close(m_listen);
    ::close(m_wake[0]);
    ::close(m_wake[1]);
}

std::vector<std::string> ScriptedServer::requests() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_requests;
}

bool ScriptedServer::waitReadable(int fd, int ms)
{
    pollfd fds[2] = {{fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
    if (::poll(fds, 2, ms) <= 0)
        return false;
    return !(fds[1].revents & POLLIN) && (fds[0].revents & (POLLIN | POLLHUP | POLLERR));
}

void ScriptedServer::run()
{
    for (const ScriptedReply &reply : m_replies) {
        if (!waitReadable(m_listen, -1))
            return;
        const int fd = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            return;
        serve(fd, reply);
        ::close(fd);
    }
}

std::string ScriptedServer::readRequest(int fd)
{
    std::string data;
    char chunk[4096];
    while (!requestComplete(data) && waitReadable(fd, kIdleMs)) {
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0)
            break;
        data.append(chunk, size_t(n));
    }
    return data;
}

void ScriptedServer::serve(int fd, const ScriptedReply &reply)
{
    {
        const std::string request = reply.readsRequest ? readRequest(fd) : std::string();
        std::lock_guard<std::mutex> guard(m_lock);
        m_requests.push_back(request);
    }
    bool open = sendAll(fd, reply.bytes.data(), reply.bytes.size());
    for (const std::string &piece : reply.laterPieces) {
        pollfd wake{m_wake[0], POLLIN, 0};
        if (!open || ::poll(&wake, 1, reply.pieceGapMs) != 0)
            return;
        open = sendAll(fd, piece.data(), piece.size());
    }
    const std::string filler(64 * 1024, 'x');
    for (size_t sent = 0; open && sent < reply.fillerBytes; sent += filler.size())
        open = sendAll(fd, filler.data(), std::min(filler.size(), reply.fillerBytes - sent));

    switch (reply.then) {
    case ScriptedReply::Then::Close: {
        ::shutdown(fd, SHUT_WR);
        char sink[4096];
        while (waitReadable(fd, kIdleMs) && ::recv(fd, sink, sizeof sink, 0) > 0) {
        }
        break;
    }
    case ScriptedReply::Then::Hold: {
        pollfd wake{m_wake[0], POLLIN, 0};
        ::poll(&wake, 1, -1);
        break;
    }
    case ScriptedReply::Then::Reset: {
        const linger abort{1, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        break;
    }
    }
}

uint16_t closedPort()
{
    uint16_t port = 0;
    const int fd = listenOnLoopback(port);
    ::close(fd); // nothing listens there any more
    return port;
}

} // namespace zibbles::testing
