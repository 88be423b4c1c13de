#include "hsockets.h"

#include "platform/tcpsocket.h"
#include "platform/tcpsocketlookup.h"

#include <chrono>
#include <map>
#include <thread>

namespace zibbles {

namespace {

const std::map<int, const char *> kErrorTexts = {
    {10004, "Interrupted system call"},
    {10009, "Bad file number"},
    {10013, "Permission denied"},
    {10014, "Bad address"},
    {10022, "Invalid argument"},
    {10024, "Too many open files"},
    {10035, "Operation would block"},
    {10036, "Operation now in progress"},
    {10037, "Operation already in progress"},
    {10038, "Socket operation on nonsocket"},
    {10039, "Destination address required"},
    {10040, "Message too long"},
    {10041, "Protocol wrong type for socket"},
    {10042, "Protocol not available"},
    {10043, "Protocol not supported"},
    {10044, "Socket not supported"},
    {10045, "Operation not supported on socket"},
    {10046, "Protocol family not supported"},
    {10047, "Address family not supported"},
    {10048, "Address already in use"},
    {10049, "Can't assign requested address"},
    {10050, "Network is down"},
    {10051, "Network is unreachable"},
    {10052, "Network dropped connection on reset"},
    {10053, "Software caused connection abort"},
    {10054, "Connection reset by peer"},
    {10055, "No buffer space available"},
    {10056, "Socket is already connected"},
    {10057, "Socket is not connected"},
    {10058, "Can't send after socket shutdown"},
    {10059, "Too many references:can't splice"},
    {10060, "Connection timed out"},
    {10061, "Connection refused"},
    {10062, "Too many levels of symbolic links"},
    {10063, "File name is too long"},
    {10064, "Host is down"},
    {10065, "No route to host"},
    {10066, "Directory is not empty"},
    {10067, "Too many processes"},
    {10068, "Too many users"},
    {10069, "Disk quota exceeded"},
    {10070, "Stale NFS file handle"},
    {10071, "Too many levels of remote in path"},
    {10091, "Network subsystem is unusable"},
    {10092, "Winsock DLL cannot support this application"},
    {10093, "Winsock not initialized"},
    {11001, "Host not found"},
    {11002, "Non authoritative - host not found"},
    {11003, "Non recoverable error"},
    {11004, "Valid name, no data record of requested type"},
};

constexpr int kMaxSendFailures = 1500;
constexpr int kSendPauseMs = 20;

} // namespace

TCustomCGISocket::TCustomCGISocket()
    : sleepMs([](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); })
    , resolveName(&TcpSocket::resolveHost)
    , m_socket(std::make_unique<TcpSocket>())
{
    // The POSIX sockets need no start-up, so the component is ready at once.
    SocketState = TSocketState::Idle;
}

TCustomCGISocket::~TCustomCGISocket()
{
    CloseConnection();
}

std::string TCustomCGISocket::ErrorText(int code)
{
    const auto found = kErrorTexts.find(code);
    return found == kErrorTexts.end() ? std::string() : std::string(found->second);
}

void TCustomCGISocket::ReportError(int code)
{
    LastError = code;
    if (OnSocketError)
        OnSocketError(*this, code, ErrorText(code));
}

int TCustomCGISocket::Receive(char *buffer, int maximum)
{
    int error = 0;
    const long n = m_socket->isOpen() ? m_socket->receive(buffer, size_t(maximum), error) : -1;
    if (!m_socket->isOpen())
        error = 10038;
    if (n < 0) {
        if (error != wsa::WouldBlock)
            ReportError(error);
        return 0;
    }
    return int(n);
}

void TCustomCGISocket::SendText(const std::string &text)
{
    size_t sent = 0;
    int failures = 0;
    while (sent < text.size() && failures <= kMaxSendFailures) {
        int error = 0;
        const long n = m_socket->isOpen() ? m_socket->send(text.data() + sent, text.size() - sent, error) : -1;
        if (!m_socket->isOpen())
            error = 10038;
        if (n >= 0) {
            sent += size_t(n);
            continue;
        }
        ++failures;
        sleepMs(kSendPauseMs);
        if (error != wsa::WouldBlock) {
            ReportError(error);
            return;
        }
        if (keepSending && !keepSending())
            return;
    }
}

void TCustomCGISocket::CloseConnection()
{
    m_lookup.reset();
    if (m_socket->isOpen()) {
        m_socket->select(0);
        int error = m_socket->shutdownSend();
        if (error == 0 || error == wsa::NotConnected) {
            // Whatever is still pending is read and thrown away.
            char discard[1024];
            int rc = 0;
            while (m_socket->receive(discard, sizeof discard, rc) > 0) {
            }
            error = m_socket->close();
        }
        if (error != 0)
            ReportError(error);
    }
    if ((SocketState == TSocketState::Connecting || SocketState == TSocketState::Connected) && !m_socket->isOpen())
        SocketState = TSocketState::Idle;
}

TTCPClient::TTCPClient()
{
    m_socket->onEvent = [this](int event, int error) { socketEvent(event, error); };
}

void TTCPClient::Connect()
{
    if (SocketState != TSocketState::Idle)
        return;
    if (TcpSocket::resolvesAtOnce(Host)) {
        uint32_t address = 0;
        if (const int error = TcpSocket::resolveHost(Host, address)) {
            ReportError(error);
            return;
        }
        connectTo(address);
        return;
    }
    auto lookup = std::make_unique<HostLookup>();
    if (const int error = lookup->start(Host, resolveName, [this](int e, uint32_t a) { lookedUp(e, a); })) {
        ReportError(error);
        return;
    }
    m_lookup = std::move(lookup);
    SocketState = TSocketState::Connecting;
}

void TTCPClient::lookedUp(int error, uint32_t address)
{
    // The look-up calls this as its last act, so it may go now.
    m_lookup.reset();
    SocketState = TSocketState::Idle;
    if (error) {
        ReportError(error);
        return;
    }
    connectTo(address);
}

void TTCPClient::connectTo(uint32_t address)
{
    const uint16_t port = TcpSocket::resolvePort(Port);
    if (const int error = m_socket->create()) {
        ReportError(error);
        return;
    }
    int error = m_socket->select(EventRead | EventConnect | EventClose);
    if (!error)
        error = m_socket->setOobInline();
    if (!error) {
        error = m_socket->connect(address, port);
        if (error == 0 || error == wsa::WouldBlock) {
            SocketState = TSocketState::Connecting;
            return;
        }
    }
    closeHandleAfter(error);
}

void TTCPClient::closeHandleAfter(int error)
{
    ReportError(error);
    m_socket->close();
}

void TTCPClient::socketEvent(int event, int error)
{
    if (SocketState == TSocketState::Idle)
        return;
    switch (event) {
    case EventConnect:
        if (error) {
            ReportError(error);
            return;
        }
        if (const int rc = m_socket->select(EventRead | EventClose)) {
            ReportError(rc);
            return;
        }
        if (OnConnect)
            OnConnect(*this);
        SocketState = TSocketState::Connected;
        return;
    case EventRead:
        if (error)
            ReportError(error);
        else if (OnRead)
            OnRead(*this);
        return;
    case EventClose:
        if (error == wsa::NetDown) {
            ReportError(error);
            return;
        }
        // A reset is recorded, so that a cut-off answer is not taken whole.
        if (error)
            ReportError(error);
        if (OnClose)
            OnClose(*this);
        CloseConnection();
        return;
    default:
        if (error)
            ReportError(error);
    }
}

} // namespace zibbles
