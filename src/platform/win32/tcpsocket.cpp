#include "platform/tcpsocket.h"

// Winsock before windows.h, which would bring the old Winsock 1 header.
#include "winsock.h"
#include "notifywindow.h"

#include "platform/reservedhost.h"

#include <ws2tcpip.h>

#include <climits>
#include <cstdlib>
#include <map>

namespace zibbles {

namespace {

SOCKET handleOf(std::intptr_t fd)
{
    return fd < 0 ? INVALID_SOCKET : SOCKET(fd);
}

int lastError()
{
    return WSAGetLastError();
}

int chunk(size_t size)
{
    return size > size_t(INT_MAX) ? INT_MAX : int(size);
}

} // namespace

// The open socket in the table of sockets whose notifications the hidden
// window hands on. A notification for a socket no longer there was posted
// before it was closed and is dropped.
struct TcpSocket::Watch {
    explicit Watch(TcpSocket &socket) : handle(handleOf(socket.m_fd)) { table()[handle] = &socket; }
    ~Watch() { table().erase(handle); }
    Watch(const Watch &) = delete;
    Watch &operator=(const Watch &) = delete;

    static std::map<SOCKET, TcpSocket *> &table()
    {
        static std::map<SOCKET, TcpSocket *> sockets;
        return sockets;
    }

    static void notified(WPARAM wParam, LPARAM lParam)
    {
        const auto found = table().find(SOCKET(wParam));
        if (found == table().end())
            return;
        TcpSocket &socket = *found->second;
        const int event = WSAGETSELECTEVENT(lParam);
        if (event == EventConnect) {
            if (!socket.m_connectPending)
                return;
            socket.m_connectPending = false;
        }
        socket.deliver(event, WSAGETSELECTERROR(lParam));
    }

    SOCKET handle;
};

TcpSocket::TcpSocket()
{
    static const bool listening = (onNotify(kSocketMessage, &Watch::notified), true);
    (void)listening;
}

TcpSocket::~TcpSocket()
{
    close();
}

bool TcpSocket::resolvesAtOnce(const std::string &host)
{
    return inet_addr(host.c_str()) != INADDR_NONE || host.empty() || isReservedInvalidName(host);
}

int TcpSocket::resolveHost(const std::string &host, uint32_t &address)
{
    const unsigned long dotted = inet_addr(host.c_str());
    if (dotted != INADDR_NONE) {
        address = ntohl(dotted);
        return 0;
    }
    if (host.empty() || isReservedInvalidName(host))
        return wsa::HostNotFound;
    if (const int error = startWinsock())
        return error;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    // Winsock's resolver answers with Winsock's own codes (11001 and on).
    if (const int rc = getaddrinfo(host.c_str(), nullptr, &hints, &found))
        return rc;
    int result = wsa::HostNotFound;
    for (addrinfo *a = found; a; a = a->ai_next) {
        if (a->ai_family == AF_INET) {
            address = ntohl(reinterpret_cast<sockaddr_in *>(a->ai_addr)->sin_addr.s_addr);
            result = 0;
            break;
        }
    }
    freeaddrinfo(found);
    return result;
}

uint16_t TcpSocket::resolvePort(const std::string &portText)
{
    if (startWinsock() == 0) {
        if (const servent *found = getservbyname(portText.c_str(), "tcp"))
            return ntohs(u_short(found->s_port));
    }
    return uint16_t(std::atoi(portText.c_str()));
}

int TcpSocket::create()
{
    close();
    if (const int error = startWinsock())
        return error;
    const SOCKET handle = ::socket(AF_INET, SOCK_STREAM, 0);
    if (handle == INVALID_SOCKET)
        return lastError();
    m_fd = std::intptr_t(handle);
    m_mask = 0;
    m_connectPending = false;
    m_closeSent = false;
    m_watch = std::make_unique<Watch>(*this);
    return 0;
}

bool TcpSocket::isOpen() const
{
    return m_fd >= 0;
}

int TcpSocket::setOobInline()
{
    const int on = -1;
    return ::setsockopt(handleOf(m_fd), SOL_SOCKET, SO_OOBINLINE, reinterpret_cast<const char *>(&on), sizeof on) == 0
               ? 0
               : lastError();
}

int TcpSocket::connect(uint32_t address, uint16_t port)
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(address);
    if (::connect(handleOf(m_fd), reinterpret_cast<const sockaddr *>(&to), sizeof to) != 0) {
        const int error = lastError();
        if (error != wsa::WouldBlock)
            return error;
    }
    // Whether it completed at once or not, completion is told as an event.
    m_connectPending = true;
    return wsa::WouldBlock;
}

int TcpSocket::select(int eventMask)
{
    if (m_fd < 0)
        return WSAENOTSOCK;
    // Also makes the socket non-blocking, for good: a mask of 0 only stops
    // the notifications.
    if (WSAAsyncSelect(handleOf(m_fd), notifyWindow(), kSocketMessage, long(eventMask)) != 0)
        return lastError();
    m_mask = eventMask;
    return 0;
}

int TcpSocket::shutdownSend()
{
    return ::shutdown(handleOf(m_fd), SD_SEND) == 0 ? 0 : lastError();
}

int TcpSocket::close()
{
    if (m_fd < 0)
        return 0;
    m_watch.reset();
    const int rc = ::closesocket(handleOf(m_fd));
    m_fd = -1;
    return rc == 0 ? 0 : lastError();
}

long TcpSocket::send(const char *data, size_t size, int &error)
{
    const int n = ::send(handleOf(m_fd), data, chunk(size), 0);
    error = n == SOCKET_ERROR ? lastError() : 0;
    return n == SOCKET_ERROR ? -1 : long(n);
}

long TcpSocket::receive(char *data, size_t size, int &error)
{
    const int n = ::recv(handleOf(m_fd), data, chunk(size), 0);
    error = n == SOCKET_ERROR ? lastError() : 0;
    return n == SOCKET_ERROR ? -1 : long(n);
}

void TcpSocket::deliver(int event, int error)
{
    if ((m_mask & event) && onEvent)
        onEvent(event, error);
}

} // namespace zibbles
