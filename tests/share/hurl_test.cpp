// The HTTP request: URL parsing, the request bytes, the status parse, the
// time-out rules and the failures, against servers on 127.0.0.1.
#include "heldnameserver.h"
#include "scriptedserver.h"
#include "steppingpump.h"

#include "core/error.h"
#include "platform/qt/qteventloop.h"
#include "share/hurl.h"

#include <QTimer>

#include <gtest/gtest.h>

namespace zibbles {
namespace {

using testing::ScriptedReply;
using testing::ScriptedServer;
using Then = ScriptedReply::Then;

const std::string kOk = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n";

TEST(UrlEncode, KeepsTheFixedSetAndEncodesEveryOtherByte)
{
    EXPECT_EQ(UrlEncode("a b"), "a%20b");
    EXPECT_EQ(UrlEncode("Z-9._"), "Z-9._");
    EXPECT_EQ(UrlEncode("\xE9"), "%E9");
    EXPECT_EQ(UrlEncode("\r\n"), "%0D%0A");
    EXPECT_EQ(UrlEncode("~&=+%/"), "%7E%26%3D%2B%25%2F");
    EXPECT_EQ(UrlEncode(std::string("\0\xFF", 2)), "%00%FF");
    EXPECT_EQ(UrlEncode(""), "");
}

TEST(HttpUrlParsing, HostPathPortAndHostValue)
{
    QtMessagePump pump;
    THttpUrlRequest r(pump);
    r.setURL("http://example.test/a/b.asp?x=1");
    EXPECT_EQ(r.path(), "/a/b.asp?x=1");
    EXPECT_EQ(r.Host, "example.test");
    EXPECT_EQ(r.Port, "80");
    EXPECT_EQ(r.hostValue(), "example.test");
    EXPECT_EQ(r.URL(), "http://example.test/a/b.asp?x=1");

    r.setURL("example.test:8080/");
    EXPECT_EQ(r.URL(), "HTTP://example.test:8080/");
    EXPECT_EQ(r.Host, "example.test");
    EXPECT_EQ(r.Port, "8080");
    EXPECT_EQ(r.hostValue(), "example.test:8080");
    EXPECT_EQ(r.path(), "/");

    r.setURL("  \t example.test\r\n");
    EXPECT_EQ(r.URL(), "HTTP://example.test");
    EXPECT_EQ(r.path(), "/");
    EXPECT_EQ(r.Port, "80");

    r.setURL("HtTp://h:port/x");
    EXPECT_EQ(r.Port, "80"); // not a number
    EXPECT_EQ(r.Host, "h");
    EXPECT_EQ(r.hostValue(), "h:port");

    r.setURL("https://h/x");
    EXPECT_EQ(r.URL(), "HTTP://https://h/x"); // only plain http is understood
    EXPECT_EQ(r.Host, "https");

    r.setURL("h/" + std::string(2000, 'p'));
    EXPECT_EQ(r.path().size(), 1032u);
}

TEST(HttpUrlParsing, ProxyBecomesTheTargetAndNeedsAPort)
{
    QtMessagePump pump;
    THttpUrlRequest r(pump);
    EXPECT_THROW(r.setProxy("proxy.test"), AppError);
    try {
        r.setProxy("proxy.test");
    } catch (const AppError &e) {
        EXPECT_STREQ(e.what(), "Proxy port required");
    }
    EXPECT_EQ(r.Proxy(), "");
    r.setProxy(" proxy.test : 3128 ");
    EXPECT_EQ(r.Proxy(), "proxy.test:3128");
    r.setURL("http://site.test/p");
    EXPECT_EQ(r.Host, "proxy.test");
    EXPECT_EQ(r.Port, "3128");
    EXPECT_EQ(r.hostValue(), "site.test");
    EXPECT_EQ(r.composeRequest(), "GET http://site.test/p HTTP/1.0\r\n"
                                  "Proxy-Connection: Keep-Alive\r\n"
                                  "Accept: */*\r\n"
                                  "\r\n"
                                  "Host: site.test\r\n");
}

TEST(HttpRequestComposition, PostGetHeadAndTheAcceptRule)
{
    QtMessagePump pump;
    THttpUrlRequest r(pump);
    r.setURL("http://h.test/up.asp");
    r.RequestMethod = methPost;
    r.PostData = "v=1";
    EXPECT_EQ(r.composeRequest(), "POST /up.asp HTTP/1.0\r\n"
                                  "Connection: close\r\n"
                                  "Accept: */*\r\n"
                                  "Content-Type: application/x-www-form-urlencoded\r\n"
                                  "Content-Length: 3\r\n"
                                  "\r\n"
                                  "v=1\r\n"
                                  "Host: h.test\r\n");

    r.RequestMethod = methHead;
    r.AddRequestHeader("accept", "text/plain");
    r.AddRequestHeader("X-One", "1");
    EXPECT_EQ(r.composeRequest(), "HEAD /up.asp HTTP/1.0\r\n"
                                  "Connection: close\r\n"
                                  "accept: text/plain\r\n"
                                  "X-One: 1\r\n"
                                  "\r\n"
                                  "Host: h.test\r\n");
}

struct Exchange {
    QtMessagePump pump;
    THttpUrlRequest request{pump};
};

TEST(HttpExecute, PostGoesOutByteForByteAndTheBodyFollowsTheHeader)
{
    ScriptedServer server(ScriptedReply{kOk + "K-4711\r\n"});
    Exchange x;
    x.request.setURL("http://" + server.host() + "/zibbles/liveshare/upload.asp");
    x.request.AddRequestHeader("User-Agent", "Zibbles");
    x.request.AddRequestHeader("Host", server.host());
    x.request.RequestMethod = methPost;
    x.request.PostData = "v=1&zibblef=a%20b";
    std::string chunks;
    x.request.OnDataRead = [&](THttpUrlRequest &, const std::string &data) { chunks += data; };

    EXPECT_EQ(x.request.Execute(30), 200);
    const std::string h = server.host();
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0], "POST /zibbles/liveshare/upload.asp HTTP/1.0\r\n"
                                    "Connection: close\r\n"
                                    "Accept: */*\r\n"
                                    "User-Agent: Zibbles\r\n"
                                    "Host: " + h + "\r\n"
                                    "Content-Type: application/x-www-form-urlencoded\r\n"
                                    "Content-Length: 17\r\n"
                                    "\r\n"
                                    "v=1&zibblef=a%20b\r\n"
                                    "Host: " + h + "\r\n");
    EXPECT_EQ(x.request.ResponseHeader(), kOk);
    EXPECT_EQ(x.request.ReadResponse(false), "K-4711\r\n");
    EXPECT_EQ(x.request.ReadResponse(false), "");
    EXPECT_EQ(x.request.ReadResponse(true), kOk + "K-4711\r\n");
    EXPECT_EQ(chunks, kOk + "K-4711\r\n");
    EXPECT_EQ(x.request.SocketState, TSocketState::Idle);
}

TEST(HttpExecute, HeadersAddedForOneRequestAreGoneForTheNext)
{
    ScriptedServer server({ScriptedReply{kOk + "1"}, ScriptedReply{kOk + "2"}});
    Exchange x;
    x.request.setURL("http://" + server.host() + "/zibbles/liveshare/download.asp?v=1&c=K&id=4711");
    x.request.AddRequestHeader("User-Agent", "Zibbles");
    EXPECT_EQ(x.request.Execute(30), 200);
    EXPECT_EQ(x.request.Execute(30), 200);
    EXPECT_EQ(x.request.ReadResponse(false), "2");
    const std::string h = server.host();
    ASSERT_EQ(server.requests().size(), 2u);
    EXPECT_EQ(server.requests()[0], "GET /zibbles/liveshare/download.asp?v=1&c=K&id=4711 HTTP/1.0\r\n"
                                    "Connection: close\r\n"
                                    "Accept: */*\r\n"
                                    "User-Agent: Zibbles\r\n"
                                    "\r\n"
                                    "Host: " + h + "\r\n");
    EXPECT_EQ(server.requests()[1], "GET /zibbles/liveshare/download.asp?v=1&c=K&id=4711 HTTP/1.0\r\n"
                                    "Connection: close\r\n"
                                    "Accept: */*\r\n"
                                    "\r\n"
                                    "Host: " + h + "\r\n");
}

// One exchange with the answer given; the status that Execute returns.
int statusFor(const std::string &answer, std::string *body = nullptr, std::string *header = nullptr,
              Then then = Then::Close)
{
    ScriptedServer server(ScriptedReply{answer, then});
    Exchange x;
    x.request.setURL("http://" + server.host() + "/");
    const int status = x.request.Execute(30);
    if (body)
        *body = x.request.ReadResponse(false);
    if (header)
        *header = x.request.ResponseHeader();
    return status;
}

TEST(HttpStatusParse, CodesShortAnswersAndGarbage)
{
    EXPECT_EQ(statusFor("HTTP/1.0 404 Not Found\r\n\r\n"), 404);
    EXPECT_EQ(statusFor("HTTP/1.1 200 OK\r\n\r\n"), 200);
    EXPECT_EQ(statusFor("HTTP/1.1 200"), -1); // closed inside its head
    EXPECT_EQ(statusFor("HTTP/1.1 "), -1); // shorter than 10 bytes
    EXPECT_EQ(statusFor(""), -1);
    EXPECT_EQ(statusFor("HTTP/1.1 OK 200\r\n\r\n"), -1);
    EXPECT_EQ(statusFor("\x01\x02garbage that is no status line at all"), -1);
}

TEST(HttpStatusParse, TheHeaderEndsAtAZeroByte)
{
    std::string header;
    EXPECT_EQ(statusFor(std::string("HTTP/1.1 2\0\0" "0 OK\r\n\r\n", 20), nullptr, &header), 2);
    EXPECT_EQ(header, "HTTP/1.1 2");
    EXPECT_EQ(statusFor(std::string("HTTP/1.\0 200 OK\r\n\r\n", 19), nullptr, &header), -1);
    EXPECT_EQ(header, "HTTP/1.");
}

TEST(HttpStatusParse, HeaderEndsWithLfLfOrCrLfCrLf)
{
    std::string body, header;
    EXPECT_EQ(statusFor("HTTP/1.0 200 OK\nX: y\n\nthe body\n", &body, &header), 200);
    EXPECT_EQ(header, "HTTP/1.0 200 OK\nX: y\n\n");
    EXPECT_EQ(body, "the body\n");

    EXPECT_EQ(statusFor(kOk + std::string("a\0b", 3), &body, &header), 200);
    EXPECT_EQ(body, std::string("a\0b", 3));
}

TEST(HttpStatusParse, HeaderOverLimitIsCutAt4095Bytes)
{
    const std::string longHeader = "HTTP/1.1 200 OK\r\nX-Long: " + std::string(10000, 'q') + "\r\n\r\nbody";
    std::string body, header;
    EXPECT_EQ(statusFor(longHeader, &body, &header), 200);
    EXPECT_EQ(header, longHeader.substr(0, 4095));
    EXPECT_EQ(body, longHeader.substr(4095));
}

TEST(HttpExecute, ConnectionRefusedGivesMinus10061)
{
    Exchange x;
    x.request.setURL("http://127.0.0.1:" + std::to_string(testing::closedPort()) + "/");
    EXPECT_EQ(x.request.Execute(30), -10061);
    EXPECT_EQ(x.request.SocketState, TSocketState::Idle);
}

TEST(HttpExecute, UnknownHostGivesMinus11001)
{
    Exchange x;
    x.request.setURL("http://zibbles.invalid/zibbles/");
    EXPECT_EQ(x.request.Execute(30), -11001);
    EXPECT_EQ(x.request.SocketState, TSocketState::Idle);
}

TEST(HttpExecute, AServerThatNeverClosesTimesOutWithMinus1)
{
    ScriptedServer server(ScriptedReply{kOk + "part of an answer", Then::Hold});
    testing::SteppingPump pump(1000);
    THttpUrlRequest request(pump);
    request.setURL("http://" + server.host() + "/");
    EXPECT_EQ(request.Execute(3), -1);
    EXPECT_GE(pump.nowMs(), 3000);
    EXPECT_EQ(request.SocketState, TSocketState::Idle);
    EXPECT_EQ(request.ReadResponse(true).substr(0, kOk.size()), kOk);
}

TEST(HttpExecute, ATricklingServerIsCutOffAtTheTimeOut)
{
    // A byte every 20 ms for 10 s of real time, while the 3 s time-out passes
    // on the virtual clock in well under a second: bytes keep coming all the
    // while, and still the exchange ends at its deadline.
    ScriptedReply slow{kOk};
    slow.laterPieces.assign(500, "x");
    slow.pieceGapMs = 20;
    ScriptedServer server(slow);
    testing::SteppingPump pump(100);
    THttpUrlRequest request(pump);
    request.setURL("http://" + server.host() + "/");
    EXPECT_EQ(request.Execute(3), -1);
    EXPECT_EQ(pump.nowMs(), 3000);
    const std::string body = request.ReadResponse(true).substr(kOk.size());
    EXPECT_FALSE(body.empty());
    EXPECT_LT(body.size(), 500u);
    EXPECT_EQ(request.SocketState, TSocketState::Idle);
}

TEST(HttpExecute, ASendThatTheServerNeverTakesEndsAtTheTimeOutOrACancel)
{
    for (const bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancel" : "time-out");
        ScriptedReply silent{"", Then::Hold};
        silent.readsRequest = false;
        ScriptedServer server(silent);
        testing::SteppingPump pump(20);
        THttpUrlRequest request(pump);
        request.setURL("http://" + server.host() + "/");
        request.RequestMethod = methPost;
        // Far more than the socket buffers of both ends hold.
        request.PostData.assign(32u * 1024 * 1024, 's');
        int pauses = 0;
        request.sleepMs = [&, pause = request.sleepMs](int ms) {
            if (++pauses == 2 && cancel)
                QTimer::singleShot(0, [&] { request.Cancel(); });
            pause(ms);
        };
        EXPECT_EQ(request.Execute(1), -1);
        EXPECT_GE(pauses, 1);
        if (cancel) {
            EXPECT_LE(pauses, 3);
        } else {
            EXPECT_LT(pauses, 1501); // it did not wait out the send's own limit
            EXPECT_EQ(pump.nowMs(), 1000);
        }
        EXPECT_EQ(request.SocketState, TSocketState::Idle);
    }
}

TEST(HttpExecute, AServerThatNeverAnswersTimesOutWithMinus1)
{
    ScriptedServer server(ScriptedReply{"", Then::Hold});
    testing::SteppingPump pump(1000);
    THttpUrlRequest request(pump);
    request.setURL("http://" + server.host() + "/");
    EXPECT_EQ(request.Execute(2), -1);
    EXPECT_EQ(request.ReadResponse(true), "");
}

TEST(HttpExecute, AnAnswerOverTheLimitFailsWithoutHoldingIt)
{
    ScriptedServer server(ScriptedReply{kOk, Then::Close, 100u * 1024 * 1024});
    Exchange x;
    x.request.setURL("http://" + server.host() + "/");
    EXPECT_EQ(x.request.Execute(30), -1);
    EXPECT_LE(x.request.ReadResponse(true).size(), THttpUrlRequest::kMaxResponseBytes);
    EXPECT_EQ(x.request.SocketState, TSocketState::Idle);
}

TEST(HttpExecute, AnAnswerJustUnderTheLimitIsKept)
{
    const size_t filler = THttpUrlRequest::kMaxResponseBytes - kOk.size();
    ScriptedServer server(ScriptedReply{kOk, Then::Close, filler});
    Exchange x;
    x.request.setURL("http://" + server.host() + "/");
    EXPECT_EQ(x.request.Execute(30), 200);
    EXPECT_EQ(x.request.ReadResponse(false).size(), filler);
}

TEST(HttpExecute, HowTheAnswerEndedDecidesWhetherItCounts)
{
    const std::string lengthSix = "HTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\n";
    struct Case {
        const char *what;
        std::string answer;
        Then then;
        int status;
        std::string body; // of a whole answer
    };
    const Case cases[] = {
        {"whole, then a reset", lengthSix + "K-4711", Then::Reset, 200, "K-4711"},
        {"whole by a lower-case length, then a reset", "HTTP/1.0 200 OK\ncontent-length:  6 \n\nK-4711", Then::Reset,
         200, "K-4711"},
        {"an empty body of length 0, then a reset", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", Then::Reset, 200,
         ""},
        {"shorter than its length, then a reset", lengthSix + "K-47", Then::Reset, -10054, ""},
        {"shorter than its length, then a close", lengthSix + "K-47", Then::Close, -1, ""},
        {"cut inside the head, then a close", "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n", Then::Close, -1, ""},
        {"cut inside the blank line, then a close", "HTTP/1.1 200 OK\r\n\r", Then::Close, -1, ""},
        {"cut inside the head, then a reset", "HTTP/1.1 200 OK\r\n", Then::Reset, -10054, ""},
    };
    for (const Case &c : cases) {
        std::string body;
        EXPECT_EQ(statusFor(c.answer, &body, nullptr, c.then), c.status) << c.what;
        if (c.status == 200) {
            EXPECT_EQ(body, c.body) << c.what;
        }
    }
}

TEST(HttpExecute, ALookUpCutShortByTheTimeOutOrACancelTouchesNothingLater)
{
    for (const bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancel" : "time-out");
        testing::HeldNameServer names;
        {
            testing::SteppingPump pump(1000);
            THttpUrlRequest request(pump);
            request.setURL("http://share.zibbles.test/");
            request.resolveName = names.resolver(0, 0x7F000001);
            if (cancel)
                QTimer::singleShot(0, [&] { request.Cancel(); });
            EXPECT_EQ(request.Execute(3), -1);
            EXPECT_FALSE(names.answered());
            EXPECT_EQ(request.SocketState, TSocketState::Idle);
            if (cancel) {
                EXPECT_LE(pump.waits, 1);
            } else {
                EXPECT_GE(pump.nowMs(), 3000);
            }
        }
        // The request is gone when the name server answers at last.
        names.release();
        names.waitUntilAnswered();
        QtMessagePump pump;
        waitUntil(pump, [] { return false; }, pump.nowMs() + 50);
    }
}

TEST(HttpExecute, AResetMidAnswerIsAFailure)
{
    ScriptedServer server(ScriptedReply{kOk + "half of", Then::Reset});
    Exchange x;
    x.request.setURL("http://" + server.host() + "/");
    EXPECT_EQ(x.request.Execute(30), -10054);
    EXPECT_EQ(x.request.SocketState, TSocketState::Idle);
}

} // namespace
} // namespace zibbles
