// The socket on Winsock against a listener on 127.0.0.1: a round trip, a
// refused connection and the name look-ups, with Winsock's own error codes.
#include "share/heldnameserver.h"

#include "platform/qt/qteventloop.h"
#include "platform/tcpsocket.h"
#include "platform/tcpsocketlookup.h"

#include <winsock2.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

namespace zibbles {
namespace {

bool waitFor(const std::function<bool()> &done, int64_t ms = 10000)
{
    QtMessagePump pump;
    return waitUntil(pump, done, pump.nowMs() + ms);
}

// A listening socket on 127.0.0.1 at a port of the system's choice.
SOCKET listenOnLoopback(uint16_t &port)
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int len = sizeof at;
    if (listener == INVALID_SOCKET || ::bind(listener, reinterpret_cast<sockaddr *>(&at), len) != 0 ||
        ::listen(listener, 1) != 0 || ::getsockname(listener, reinterpret_cast<sockaddr *>(&at), &len) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    port = ntohs(at.sin_port);
    return listener;
}

// Answers one connection: reads what comes until `request` is complete,
// sends `answer`, shuts down its sending side and waits for the client to
// close. Runs on a thread of its own.
class EchoOnce {
public:
    EchoOnce(std::string request, std::string answer) : m_listener(listenOnLoopback(m_port))
    {
        m_thread = std::thread([this, request = std::move(request), answer = std::move(answer)] {
            serve(request, answer);
        });
    }
    ~EchoOnce()
    {
        ::closesocket(m_listener); // ends an accept that still waits
        m_thread.join();
    }
    uint16_t port() const { return m_port; }
    std::string received() const { return m_received; }

private:
    void serve(const std::string &request, const std::string &answer)
    {
        const SOCKET peer = ::accept(m_listener, nullptr, nullptr);
        if (peer == INVALID_SOCKET)
            return;
        char chunk[256];
        int n = 0;
        while (m_received.size() < request.size() && (n = ::recv(peer, chunk, sizeof chunk, 0)) > 0)
            m_received.append(chunk, size_t(n));
        ::send(peer, answer.data(), int(answer.size()), 0);
        ::shutdown(peer, SD_SEND);
        while (::recv(peer, chunk, sizeof chunk, 0) > 0) {
        }
        ::closesocket(peer);
    }

    uint16_t m_port = 0;
    SOCKET m_listener;
    std::string m_received;
    std::thread m_thread;
};

struct Events {
    std::vector<std::pair<int, int>> seen; // event, error
    void watch(TcpSocket &socket)
    {
        socket.onEvent = [this](int event, int error) { seen.emplace_back(event, error); };
    }
    bool has(int event) const
    {
        for (const auto &e : seen)
            if (e.first == event)
                return true;
        return false;
    }
};

TEST(Win32Socket, ConnectsSendsReceivesAndSeesThePeerClose)
{
    EchoOnce server("ping", "pong");
    TcpSocket socket;
    Events events;
    events.watch(socket);
    ASSERT_EQ(socket.create(), 0);
    ASSERT_EQ(socket.select(EventRead | EventConnect | EventClose), 0);
    ASSERT_EQ(socket.setOobInline(), 0);
    EXPECT_EQ(socket.connect(0x7F000001u, server.port()), wsa::WouldBlock);
    ASSERT_TRUE(waitFor([&] { return events.has(EventConnect); }));
    EXPECT_EQ(events.seen.front(), std::make_pair(int(EventConnect), 0));

    ASSERT_EQ(socket.select(EventRead | EventClose), 0);
    int error = -1;
    EXPECT_EQ(socket.send("ping", 4, error), 4);
    EXPECT_EQ(error, 0);
    std::string answer;
    ASSERT_TRUE(waitFor([&] {
        char chunk[16];
        int rc = 0;
        for (long n; (n = socket.receive(chunk, sizeof chunk, rc)) > 0;)
            answer.append(chunk, size_t(n));
        return events.has(EventClose);
    }));
    EXPECT_EQ(answer, "pong");
    for (const auto &e : events.seen)
        EXPECT_EQ(e.second, 0) << "event " << e.first;

    // Nothing is left to read once the peer has closed; then the socket goes.
    char rest[16];
    EXPECT_EQ(socket.receive(rest, sizeof rest, error), 0);
    EXPECT_EQ(socket.shutdownSend(), 0);
    EXPECT_EQ(socket.close(), 0);
    EXPECT_FALSE(socket.isOpen());
    EXPECT_EQ(server.received(), "ping");
}

TEST(Win32Socket, ARefusedConnectionIsToldByTheConnectEvent)
{
    uint16_t port = 0;
    ::closesocket(listenOnLoopback(port)); // nothing listens there any more
    TcpSocket socket;
    Events events;
    events.watch(socket);
    ASSERT_EQ(socket.create(), 0);
    ASSERT_EQ(socket.select(EventRead | EventConnect | EventClose), 0);
    EXPECT_EQ(socket.connect(0x7F000001u, port), wsa::WouldBlock);
    ASSERT_TRUE(waitFor([&] { return !events.seen.empty(); }));
    EXPECT_EQ(events.seen.front(), std::make_pair(int(EventConnect), wsa::ConnRefused));
}

TEST(Win32Socket, ClosedSocketsRefuseWithWinsockCodes)
{
    TcpSocket socket;
    EXPECT_EQ(socket.select(EventRead), 10038);
    ASSERT_EQ(socket.create(), 0);
    // Not connected: the shutdown fails as the graceful close expects.
    EXPECT_EQ(socket.shutdownSend(), wsa::NotConnected);
    EXPECT_EQ(socket.close(), 0);
}

TEST(Win32SocketNames, DottedAddressesInvalidNamesAndServicePorts)
{
    uint32_t address = 0;
    EXPECT_EQ(TcpSocket::resolveHost("127.0.0.1", address), 0);
    EXPECT_EQ(address, 0x7F000001u);
    EXPECT_EQ(TcpSocket::resolveHost("zibbles-share.invalid", address), wsa::HostNotFound);
    EXPECT_EQ(TcpSocket::resolveHost("", address), wsa::HostNotFound);
    EXPECT_TRUE(TcpSocket::resolvesAtOnce("10.1.2.3"));
    EXPECT_FALSE(TcpSocket::resolvesAtOnce("localhost"));
    EXPECT_EQ(TcpSocket::resolvePort("http"), 80);
    EXPECT_EQ(TcpSocket::resolvePort("8080"), 8080);
}

TEST(Win32SocketNames, TheLookUpAnswersThroughTheEventLoop)
{
    HostLookup lookup;
    bool answered = false;
    std::pair<int, uint32_t> answer;
    ASSERT_EQ(lookup.start("localhost", &TcpSocket::resolveHost,
                           [&](int error, uint32_t address) {
                               answered = true;
                               answer = {error, address};
                           }),
              0);
    EXPECT_FALSE(answered);
    ASSERT_TRUE(waitFor([&] { return answered; }));
    EXPECT_EQ(answer, std::make_pair(0, 0x7F000001u));
}

TEST(Win32SocketNames, AnAbandonedLookUpTellsNobody)
{
    testing::HeldNameServer nameServer;
    bool answered = false;
    {
        HostLookup lookup;
        ASSERT_EQ(lookup.start("slow.example", nameServer.resolver(0, 0x0A000001u),
                               [&](int, uint32_t) { answered = true; }),
                  0);
    }
    nameServer.release();
    nameServer.waitUntilAnswered();
    waitFor([] { return false; }, 300); // the late answer's message is dispatched
    EXPECT_FALSE(answered);
}

} // namespace
} // namespace zibbles
