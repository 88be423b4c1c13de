// The socket client against servers on 127.0.0.1: connecting, sending,
// receiving, closing, and the Winsock codes and texts of its failures.
#include "heldnameserver.h"
#include "scriptedserver.h"

#include "platform/qt/qteventloop.h"
#include "platform/tcpsocket.h"
#include "share/hsockets.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <cerrno>

namespace zibbles {
namespace {

using testing::ScriptedReply;
using testing::ScriptedServer;

bool waitFor(const std::function<bool()> &done)
{
    QtMessagePump pump;
    return waitUntil(pump, done, pump.nowMs() + 10000);
}

TEST(SocketErrorText, GivesTheWinsockTextsAndNothingForUnknownCodes)
{
    EXPECT_EQ(TCustomCGISocket::ErrorText(10004), "Interrupted system call");
    EXPECT_EQ(TCustomCGISocket::ErrorText(10049), "Can't assign requested address");
    EXPECT_EQ(TCustomCGISocket::ErrorText(10059), "Too many references:can't splice");
    EXPECT_EQ(TCustomCGISocket::ErrorText(10060), "Connection timed out");
    EXPECT_EQ(TCustomCGISocket::ErrorText(10061), "Connection refused");
    EXPECT_EQ(TCustomCGISocket::ErrorText(10093), "Winsock not initialized");
    EXPECT_EQ(TCustomCGISocket::ErrorText(11001), "Host not found");
    EXPECT_EQ(TCustomCGISocket::ErrorText(11002), "Non authoritative - host not found");
    EXPECT_EQ(TCustomCGISocket::ErrorText(11004), "Valid name, no data record of requested type");
    for (int unknown : {0, 1, 10000, 10072, 10090, 11000, 11005, -10061})
        EXPECT_EQ(TCustomCGISocket::ErrorText(unknown), "") << unknown;
}

TEST(SocketErrorText, SystemErrorsMapOntoTheWinsockCodes)
{
    EXPECT_EQ(winsockErrorFromErrno(ECONNREFUSED), 10061);
    EXPECT_EQ(winsockErrorFromErrno(ETIMEDOUT), 10060);
    EXPECT_EQ(winsockErrorFromErrno(ECONNRESET), 10054);
    EXPECT_EQ(winsockErrorFromErrno(EAGAIN), 10035);
    EXPECT_EQ(winsockErrorFromErrno(EINPROGRESS), 10035);
    EXPECT_EQ(winsockErrorFromErrno(ENOTCONN), 10057);
    EXPECT_EQ(winsockErrorFromErrno(ENETUNREACH), 10051);
    EXPECT_EQ(winsockErrorFromErrno(EHOSTUNREACH), 10065);
    EXPECT_EQ(winsockErrorFromErrno(EADDRINUSE), 10048);
}

TEST(SocketResolvePort, ServiceNamesAndDecimalNumbers)
{
    EXPECT_EQ(TcpSocket::resolvePort("http"), 80);
    EXPECT_EQ(TcpSocket::resolvePort("8080"), 8080);
    EXPECT_EQ(TcpSocket::resolvePort("80"), 80);
}

TEST(SocketResolveHost, DottedAddressesNeedNoLookUpNamesAreLookedUpAndInvalidNamesFailAtOnce)
{
    uint32_t address = 0;
    // A name is asked of the system's resolver, its IPv4 answer in host byte order.
    EXPECT_FALSE(TcpSocket::resolvesAtOnce("localhost"));
    EXPECT_EQ(TcpSocket::resolveHost("localhost", address), 0);
    EXPECT_EQ(address, 0x7F000001u);
    EXPECT_TRUE(TcpSocket::resolvesAtOnce("10.1.2.3"));
    EXPECT_EQ(TcpSocket::resolveHost("127.0.0.1", address), 0);
    EXPECT_EQ(address, 0x7F000001u);
    EXPECT_EQ(TcpSocket::resolveHost("10.1.2.3", address), 0);
    EXPECT_EQ(address, 0x0A010203u);
    EXPECT_EQ(TcpSocket::resolveHost("zibbles-share.invalid", address), 11001);
    EXPECT_EQ(TcpSocket::resolveHost("NO.SUCH.HOST.INVALID.", address), 11001);
    EXPECT_EQ(TcpSocket::resolveHost("", address), 11001);
}

struct Recorder {
    std::vector<std::string> events;
    std::vector<std::pair<int, std::string>> errors;
    void watch(TTCPClient &client)
    {
        client.OnConnect = [this](TTCPClient &) { events.push_back("connect"); };
        client.OnRead = [this](TTCPClient &) { events.push_back("read"); };
        client.OnClose = [this](TTCPClient &) { events.push_back("close"); };
        client.OnSocketError = [this](TCustomCGISocket &, int code, const std::string &text) {
            errors.emplace_back(code, text);
        };
    }
};

TEST(TTCPClient, ConnectsSendsReceivesAndSeesTheServerClose)
{
    ScriptedServer server(ScriptedReply{"pong", ScriptedReply::Then::Close});
    TTCPClient client;
    Recorder rec;
    rec.watch(client);
    std::string received;
    client.OnRead = [&](TTCPClient &c) {
        char buf[16];
        const int n = c.Receive(buf, sizeof buf);
        received.append(buf, size_t(n));
    };
    client.Host = "127.0.0.1";
    client.Port = std::to_string(server.port());
    ASSERT_EQ(client.SocketState, TSocketState::Idle);

    client.Connect();
    EXPECT_EQ(client.SocketState, TSocketState::Connecting);
    ASSERT_TRUE(waitFor([&] { return client.SocketState == TSocketState::Connected; }));
    EXPECT_EQ(rec.events, std::vector<std::string>{"connect"});

    client.SendText("GET / HTTP/1.0\r\n\r\nHost: h\r\n");
    ASSERT_TRUE(waitFor([&] { return client.SocketState == TSocketState::Idle; }));
    EXPECT_EQ(received, "pong");
    EXPECT_EQ(rec.events.back(), "close");
    EXPECT_EQ(client.LastError, 0);
    EXPECT_TRUE(rec.errors.empty());
    EXPECT_EQ(server.requests(), std::vector<std::string>{"GET / HTTP/1.0\r\n\r\nHost: h\r\n"});
}

TEST(TTCPClient, RefusedConnectionRecords10061AndStaysConnecting)
{
    TTCPClient client;
    Recorder rec;
    rec.watch(client);
    client.Host = "127.0.0.1";
    client.Port = std::to_string(testing::closedPort());
    client.Connect();
    ASSERT_TRUE(waitFor([&] { return client.LastError != 0; }));
    EXPECT_EQ(client.LastError, 10061);
    EXPECT_EQ(client.SocketState, TSocketState::Connecting);
    ASSERT_EQ(rec.errors.size(), 1u);
    EXPECT_EQ(rec.errors[0], std::make_pair(10061, std::string("Connection refused")));
    EXPECT_TRUE(rec.events.empty());

    client.CloseConnection();
    EXPECT_EQ(client.SocketState, TSocketState::Idle);
    EXPECT_EQ(client.LastError, 10061);
}

TEST(TTCPClient, UnknownHostRecords11001AndStartsNothing)
{
    TTCPClient client;
    Recorder rec;
    rec.watch(client);
    client.Host = "live.zibbles.invalid";
    client.Port = "http";
    client.Connect();
    EXPECT_EQ(client.LastError, 11001);
    EXPECT_EQ(client.SocketState, TSocketState::Idle);
    EXPECT_EQ(rec.errors, (std::vector<std::pair<int, std::string>>{{11001, "Host not found"}}));
}

TEST(TTCPClient, ANameLookUpKeepsTheEventLoopLive)
{
    ScriptedServer server(ScriptedReply{"", ScriptedReply::Then::Hold});
    struct Case {
        int error;
        TSocketState after;
    };
    for (const Case c : {Case{0, TSocketState::Connected}, Case{11001, TSocketState::Idle}}) {
        SCOPED_TRACE(c.error);
        testing::HeldNameServer names;
        TTCPClient client;
        Recorder rec;
        rec.watch(client);
        client.Host = "share.zibbles.test";
        client.Port = std::to_string(server.port());
        client.resolveName = names.resolver(c.error, 0x7F000001);
        client.Connect();
        EXPECT_EQ(client.SocketState, TSocketState::Connecting);
        // The event loop turns while the name server thinks.
        bool ranBeforeTheAnswer = false;
        QTimer::singleShot(0, [&] {
            ranBeforeTheAnswer = !names.answered();
            names.release();
        });
        ASSERT_TRUE(waitFor([&] { return client.SocketState == c.after && names.answered(); }));
        EXPECT_TRUE(ranBeforeTheAnswer);
        EXPECT_EQ(client.LastError, c.error);
        EXPECT_EQ(rec.errors.size(), c.error ? 1u : 0u);
        EXPECT_EQ(rec.events, c.error ? std::vector<std::string>{} : std::vector<std::string>{"connect"});
        client.CloseConnection();
    }
}

TEST(TTCPClient, ConnectOutsideIdleDoesNothing)
{
    ScriptedServer server(ScriptedReply{"", ScriptedReply::Then::Hold});
    TTCPClient client;
    client.Host = "127.0.0.1";
    client.Port = std::to_string(server.port());
    client.Connect();
    ASSERT_TRUE(waitFor([&] { return client.SocketState == TSocketState::Connected; }));
    client.Host = "other.invalid";
    client.Connect();
    EXPECT_EQ(client.LastError, 0);
    EXPECT_EQ(client.SocketState, TSocketState::Connected);
    client.CloseConnection();
    EXPECT_EQ(client.SocketState, TSocketState::Idle);
}

TEST(TTCPClient, ClosingAfterThePeerShutDownStillClosesTheSocket)
{
    ScriptedServer server(ScriptedReply{"bye", ScriptedReply::Then::Close});
    TTCPClient client;
    client.Host = "127.0.0.1";
    client.Port = std::to_string(server.port());
    client.Connect();
    ASSERT_TRUE(waitFor([&] { return client.SocketState == TSocketState::Connected; }));
    client.SendText("x\r\n\r\nHost: h\r\n");
    // The answer and the peer's close are left unread: closing throws them away.
    ASSERT_TRUE(waitFor([&] { return server.requests().size() == 1; }));
    client.CloseConnection();
    EXPECT_EQ(client.SocketState, TSocketState::Idle);
    EXPECT_EQ(client.LastError, 0);
    EXPECT_EQ(client.Receive(nullptr, 0), 0); // no socket any more
    EXPECT_EQ(client.LastError, 10038);
}

TEST(TTCPClient, SendTextSendsEverythingAndNothingForAnEmptyText)
{
    ScriptedServer server(ScriptedReply{"", ScriptedReply::Then::Close});
    TTCPClient client;
    client.Host = "127.0.0.1";
    client.Port = std::to_string(server.port());
    client.Connect();
    ASSERT_TRUE(waitFor([&] { return client.SocketState == TSocketState::Connected; }));
    std::string big(200000, 'z');
    big += "\r\n\r\nHost: h\r\n";
    client.SendText("");
    client.SendText(big);
    EXPECT_EQ(client.LastError, 0);
    ASSERT_TRUE(waitFor([&] { return client.SocketState == TSocketState::Idle; }));
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0], big);
}

TEST(TTCPClient, SendGivesUpQuietlyAfter1501BlockedTries)
{
    ScriptedReply silent{"", ScriptedReply::Then::Hold};
    silent.readsRequest = false;
    ScriptedServer server(silent);
    TTCPClient client;
    client.Host = "127.0.0.1";
    client.Port = std::to_string(server.port());
    client.Connect();
    ASSERT_TRUE(waitFor([&] { return client.SocketState == TSocketState::Connected; }));
    int pauses = 0;
    client.sleepMs = [&](int) { ++pauses; };
    // Far more than the socket buffers of both ends hold.
    client.SendText(std::string(64u * 1024 * 1024, 's'));
    EXPECT_EQ(pauses, 1501);
    EXPECT_EQ(client.LastError, 0);
    client.CloseConnection();
    EXPECT_EQ(client.SocketState, TSocketState::Idle);
}

TEST(TTCPClient, SendWithoutAConnectionIsOneReportedFailure)
{
    TTCPClient client;
    int pauses = 0;
    client.sleepMs = [&](int ms) {
        EXPECT_EQ(ms, 20);
        ++pauses;
    };
    client.SendText("lost");
    EXPECT_EQ(pauses, 1);
    EXPECT_EQ(client.LastError, 10038);
}

} // namespace
} // namespace zibbles
