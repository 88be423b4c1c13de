// A round trip through the real live-share server on 127.0.0.1: upload a
// zibble, fetch it by its ID into another slot, restart the server and fetch
// it again.
#include "fakeactivezibble.h"

#include "fakes/recordingmessages.h"
#include "fakes/tempdir.h"
#include "platform/qt/qteventloop.h"
#include "share/dlzibble.h"
#include "share/liveupload.h"

#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <memory>

namespace zibbles {
namespace {

using testing::FakeActiveZibble;
using testing::RecordingMessages;
using testing::TempDir;

const std::string kHeader = "# Available Via Zibbles Live Share: ";

// The server binary as a child process on a free port of 127.0.0.1; it is
// ended and reaped when this object goes.
class ShareServer {
public:
    explicit ShareServer(const std::string &db, const QStringList &more = {})
    {
        m_process.setProgram(QStringLiteral(ZIBBLES_SHARE_SERVER));
        m_process.setArguments(QStringList{"--port", "0", "--bind", "127.0.0.1", "--db", QString::fromStdString(db)} +
                               more);
        m_process.start();
        if (!m_process.waitForStarted(10000))
            throw std::runtime_error("the share server did not start");
        while (!m_process.canReadLine() && m_process.waitForReadyRead(10000)) {
        }
        const QString first = QString::fromUtf8(m_process.readLine());
        const auto match = QRegularExpression(QStringLiteral(":(\\d+)\\s*$")).match(first);
        if (!match.hasMatch())
            throw std::runtime_error("the share server named no port: " + first.toStdString());
        m_port = match.captured(1).toInt();
    }
    ~ShareServer() { stop(); }

    std::string host() const { return "127.0.0.1:" + std::to_string(m_port); }
    int port() const { return m_port; }
    // Ends the server cleanly; what it logged, one line per request.
    QStringList stop()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(10000)) {
                m_process.kill();
                m_process.waitForFinished(10000);
            }
            m_log += QString::fromUtf8(m_process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        }
        return m_log;
    }

private:
    QProcess m_process;
    int m_port = 0;
    QStringList m_log;
};

struct LiveShareRoundTrip : ::testing::Test {
    TempDir dir;
    RecordingMessages messages;
    QtMessagePump pump;
    LiveShareServices services(const std::string &host)
    {
        LiveShareServices s;
        s.messages = &messages;
        s.pump = &pump;
        s.beep = [] {};
        s.host = host;
        return s;
    }

    std::string upload(const std::string &host, FakeActiveZibble &zibble)
    {
        TLiveUp dialog(nullptr, zibble, services(host));
        dialog.ConnectNowClick();
        return dialog.statusText().toStdString();
    }

    void download(const std::string &host, FakeActiveZibble &zibble, const std::string &id)
    {
        TDLGig dialog(nullptr, zibble, services(host));
        const size_t dash = id.find('-');
        dialog.letterField()->setText(QString::fromStdString(id.substr(0, dash)));
        dialog.numberField()->setText(QString::fromStdString(id.substr(dash + 1)));
        ASSERT_TRUE(dialog.getButton()->isEnabled()) << id;
        dialog.GetZibbleNowClick();
    }
};

std::string sampleZibble()
{
    std::string text = "'heyhey\r\n%delay=\"1000\"%\r\nHi & bye = 100% + more\r\nCaf\xE9 \x80\xFF~\r\n# comment";
    for (int i = 0; i < 300; ++i) // well over the 8 KiB that a plain form parser accepts, once encoded
        text += "\r\nline " + std::to_string(i) + " with blanks and symbols !?";
    return text;
}

TEST_F(LiveShareRoundTrip, UploadThenDownloadIntoAnotherSlotAndAgainAfterARestart)
{
    const std::string db = dir.file("share.db");
    const std::string text = sampleZibble();
    FakeActiveZibble source(dir.file("F1"), text);
    FakeActiveZibble target(dir.file("F2"), "to be replaced");
    FakeActiveZibble later(dir.file("F3"), "");
    std::string id;
    QStringList log;
    {
        ShareServer server(db);
        id = upload(server.host(), source);
        ASSERT_TRUE(QRegularExpression(QStringLiteral("^[A-Z]-[1-9][0-9]{2,}$"))
                        .match(QString::fromStdString(id))
                        .hasMatch())
            << id;
        EXPECT_EQ(source.fileBytes(), kHeader + id + "\r\n" + text);

        download(server.host(), target, id);
        EXPECT_EQ(target.fileBytes(), kHeader + id + "\r\n" + text);
        log = server.stop();
    }
    ASSERT_EQ(log.size(), 2);
    EXPECT_TRUE(log[0].contains(" POST /zibbles/liveshare/upload.asp 200 ")) << log[0].toStdString();
    EXPECT_TRUE(log[1].contains(" GET /zibbles/liveshare/download.asp 200 ")) << log[1].toStdString();

    ShareServer restarted(db);
    download(restarted.host(), later, id);
    EXPECT_EQ(later.fileBytes(), kHeader + id + "\r\n" + text);
    // The letter may be typed in either case.
    FakeActiveZibble lower(dir.file("F4"), "");
    download(restarted.host(), lower, std::string(1, char(id[0] | 0x20)) + id.substr(1));
    EXPECT_EQ(lower.fileBytes().substr(kHeader.size() + id.size() + 2), text);
}

TEST_F(LiveShareRoundTrip, UnknownIdsAndBadIdsAnswerFailed)
{
    ShareServer server(dir.file("share.db"));
    FakeActiveZibble zibble(dir.file("F1"), "mine");
    for (const char *id : {"Z-999999999", "A-101"}) {
        TDLGig dialog(nullptr, zibble, services(server.host()));
        dialog.show();
        dialog.letterField()->setText(QString::fromLatin1(id, 1));
        dialog.numberField()->setText(QString::fromLatin1(id + 2));
        dialog.GetZibbleNowClick();
        EXPECT_TRUE(dialog.isVisible());
    }
    EXPECT_EQ(messages.messages,
              std::vector<std::string>(2, "That Zibble could not be found. Did you enter the ID correctly?"));
    EXPECT_EQ(zibble.fileBytes(), "mine");
}

// The limit counts the zibble's own bytes, however many the form needs for them.
TEST_F(LiveShareRoundTrip, TheServerTakesZibblesOfUpTo64KiBOfTheirOwnBytes)
{
    ShareServer server(dir.file("share.db"));
    std::string lineBreaks;
    for (int i = 0; i < 11 * 1024; ++i)
        lineBreaks += "\r\n";
    const struct {
        std::string zibble;
        int status;
    } cases[] = {
        {std::string(64 * 1024, 'a'), 200},
        {std::string(64 * 1024 + 1, 'a'), 413},
        {lineBreaks, 200},
        {std::string(64 * 1024, '\xff'), 200},
        {std::string(64 * 1024 + 1, '\n'), 413},
    };
    THttpUrlRequest request(pump);
    for (const auto &c : cases) {
        request.setURL("http://" + server.host() + "/zibbles/liveshare/upload.asp");
        request.RequestMethod = methPost;
        request.PostData = "v=1&zibblef=" + UrlEncode(c.zibble);
        const size_t body = request.PostData.size();
        ASSERT_EQ(request.Execute(30), c.status) << body << " bytes of form";
        if (c.status != 200)
            continue;
        const std::string id = request.ReadResponse(false);
        request.setURL("http://" + server.host() + "/zibbles/liveshare/download.asp?v=1&c=" + id.substr(0, 1) +
                       "&id=" + id.substr(2));
        request.RequestMethod = methGet;
        ASSERT_EQ(request.Execute(30), 200) << id;
        EXPECT_EQ(request.ReadResponse(false), c.zibble) << body << " bytes of form";
    }
}

TEST_F(LiveShareRoundTrip, AFullStoreRefusesUploadsAndTheZibbleStaysAsItWas)
{
    const std::string db = dir.file("share.db");
    ShareServer server(db, {"--max-bytes", "10"});
    FakeActiveZibble small(dir.file("F1"), "0123456789");
    FakeActiveZibble large(dir.file("F2"), "0123456789+");
    const std::string id = upload(server.host(), small);
    EXPECT_EQ(small.fileBytes(), kHeader + id + "\r\n0123456789");
    upload(server.host(), large);
    EXPECT_EQ(large.fileBytes(), "0123456789+");
    EXPECT_EQ(messages.messages.back(), "Zibbles experienced an error in the process of sharing this file.");
    // A full store takes no empty zibble either.
    FakeActiveZibble empty(dir.file("F3"), "");
    upload(server.host(), empty);
    EXPECT_EQ(empty.fileBytes(), "");
    const QStringList log = server.stop();
    ASSERT_EQ(log.size(), 3);
    EXPECT_TRUE(log[1].contains(" POST /zibbles/liveshare/upload.asp 507 ")) << log[1].toStdString();
    EXPECT_TRUE(log[2].contains(" POST /zibbles/liveshare/upload.asp 507 ")) << log[2].toStdString();
    // It is still full after a restart.
    ShareServer restarted(db, {"--max-bytes", "10"});
    upload(restarted.host(), empty);
    EXPECT_EQ(empty.fileBytes(), "");
    const QStringList again = restarted.stop();
    ASSERT_EQ(again.size(), 1);
    EXPECT_TRUE(again[0].contains(" POST /zibbles/liveshare/upload.asp 507 ")) << again[0].toStdString();
}

// Sends raw bytes and gives back the head of the server's answer.
QByteArray rawExchange(int port, const QByteArray &bytes)
{
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), quint16(port));
    if (!socket.waitForConnected(10000))
        return "<no connection>";
    socket.write(bytes);
    socket.waitForBytesWritten(10000);
    QByteArray answer;
    while (!answer.contains("\r\n\r\n") && socket.waitForReadyRead(10000))
        answer += socket.readAll();
    return answer;
}

TEST_F(LiveShareRoundTrip, HostileRequestsLeaveTheServerServing)
{
    ShareServer server(dir.file("share.db"));
    const QByteArray post = "POST /zibbles/liveshare/upload.asp HTTP/1.0\r\nConnection: close\r\n";
    rawExchange(server.port(), QByteArray("\x00\xff garbage \x00\r\n\r\n", 16));
    rawExchange(server.port(), "GET /zibbles/liveshare/download.asp?c=A&id=101 HTTP/1.0\r\nX-Big: " +
                                   QByteArray(20000, 'h') + "\r\n\r\n");
    EXPECT_TRUE(rawExchange(server.port(), post + "Content-Length: 99999999999\r\n\r\nv=1")
                    .startsWith("HTTP/1.1 413"));
    EXPECT_TRUE(rawExchange(server.port(), post + "Content-Type: application/x-www-form-urlencoded\r\n"
                                                     "Content-Length: 200000\r\n\r\n" +
                                                     QByteArray(200000, 'a'))
                    .startsWith("HTTP/1.1 413"));
    EXPECT_TRUE(rawExchange(server.port(), post + "Content-Length: 5\r\n\r\nx=1\r\n")
                    .startsWith("HTTP/1.1 400"));

    FakeActiveZibble a(dir.file("F1"), std::string("nul \0 inside", 12));
    FakeActiveZibble b(dir.file("F2"), "");
    const std::string id = upload(server.host(), a);
    download(server.host(), b, id);
    EXPECT_EQ(b.fileBytes(), kHeader + id + "\r\n" + std::string("nul \0 inside", 12));
}

// `count` connections to the server on 127.0.0.1, each of which has sent
// `bytes`; fewer when one cannot connect.
std::vector<std::unique_ptr<QTcpSocket>> openConnections(int port, int count, const QByteArray &bytes)
{
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    for (int i = 0; i < count; ++i) {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QStringLiteral("127.0.0.1"), quint16(port));
        if (!socket->waitForConnected(10000))
            break;
        socket->write(bytes);
        socket->waitForBytesWritten(10000);
        sockets.push_back(std::move(socket));
    }
    return sockets;
}

// Writes `piece` again and again until the server closes the connection or
// `most` pieces are written; what the server answered.
QByteArray sendUntilClosed(QTcpSocket &socket, const QByteArray &piece, int most, int waitMs)
{
    QByteArray answer;
    for (int i = 0; i < most && socket.state() == QAbstractSocket::ConnectedState; ++i) {
        socket.write(piece);
        socket.waitForBytesWritten(waitMs);
        // Waits for the server between pieces: a drip, not a flood, when waitMs is long.
        socket.waitForReadyRead(waitMs);
        answer += socket.readAll();
    }
    if (socket.state() == QAbstractSocket::ConnectedState)
        socket.waitForDisconnected(10000);
    return answer + socket.readAll();
}

TEST_F(LiveShareRoundTrip, AHeadOverItsCapIsRefusedAndTheConnectionClosed)
{
    ShareServer server(dir.file("share.db"));
    const auto sockets =
        openConnections(server.port(), 1, "GET /zibbles/liveshare/download.asp?c=A&id=101 HTTP/1.0\r\n");
    ASSERT_EQ(sockets.size(), 1u);
    QTcpSocket &socket = *sockets.front();
    // Endless header lines: 64 MiB at most, which the server must never take.
    const QByteArray answer = sendUntilClosed(socket, QByteArray(1023, 'h').prepend("X-Line: ") + "\r\n", 64 * 1024, 1);
    EXPECT_NE(socket.state(), QAbstractSocket::ConnectedState);
    EXPECT_TRUE(answer.startsWith("HTTP/1.1 431 ")) << answer.left(200).toStdString();

    FakeActiveZibble a(dir.file("F1"), "after the flood");
    FakeActiveZibble b(dir.file("F2"), "");
    download(server.host(), b, upload(server.host(), a));
    EXPECT_EQ(b.fileBytes().substr(b.fileBytes().find("\r\n") + 2), "after the flood");
}

// The deadline counts the whole request: bytes that keep coming do not put it off.
TEST_F(LiveShareRoundTrip, ADrippingRequestIsClosedAtItsDeadline)
{
    ShareServer server(dir.file("share.db"), {"--deadline-ms", "300"});
    const auto sockets = openConnections(server.port(), 1, "POST /zibbles/liveshare/upload.asp HTTP/1.0\r\nX-Drip: ");
    ASSERT_EQ(sockets.size(), 1u);
    QTcpSocket &socket = *sockets.front();
    // One byte every 50 ms, for 20 s at most.
    const QByteArray answer = sendUntilClosed(socket, "d", 400, 50);
    EXPECT_NE(socket.state(), QAbstractSocket::ConnectedState);
    EXPECT_TRUE(answer.startsWith("HTTP/1.1 408 ")) << answer.left(200).toStdString();
}

// With every place taken, a new client is served and the oldest connection gives way.
TEST_F(LiveShareRoundTrip, AtTheConnectionCapTheOldestGivesWay)
{
    ShareServer server(dir.file("share.db"), {"--max-connections", "3"});
    const auto idle = openConnections(server.port(), 3, "GET /zibbles/liveshare/");
    ASSERT_EQ(idle.size(), 3u);
    FakeActiveZibble a(dir.file("F1"), "first");
    EXPECT_FALSE(upload(server.host(), a).empty());
    EXPECT_TRUE(idle.front()->state() == QAbstractSocket::UnconnectedState || idle.front()->waitForDisconnected(10000));
    EXPECT_EQ(idle.back()->state(), QAbstractSocket::ConnectedState);
}

TEST_F(LiveShareRoundTrip, IdleConnectionsDoNotHoldUpOtherClients)
{
    ShareServer server(dir.file("share.db"));
    const auto idle = openConnections(server.port(), 4,
                                      "POST /zibbles/liveshare/upload.asp HTTP/1.0\r\nContent-Length: 100\r\n\r\nv=1");
    ASSERT_EQ(idle.size(), 4u);
    FakeActiveZibble a(dir.file("F1"), "first");
    FakeActiveZibble b(dir.file("F2"), "");
    const std::string id = upload(server.host(), a);
    download(server.host(), b, id);
    EXPECT_EQ(b.fileBytes(), kHeader + id + "\r\nfirst");
}

} // namespace
} // namespace zibbles
