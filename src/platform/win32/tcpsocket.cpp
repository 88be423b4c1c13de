#include "platform/tcpsocket.h"

// Winsock before windows.h, which would bring the old Winsock 1 header.
#include "winsock.h"
#include "notifywindow.h"

#include "platform/hostresolver.h"

#include <ws2tcpip.h>

#include <climits>
#include <cstdlib>

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

// The open socket, to which the hidden window hands the notifications of its
// handle.
struct TcpSocket::Watch {
    using Target = NotifyTarget<SOCKET, TcpSocket>;

    explicit Watch(TcpSocket &socket) : target(handleOf(socket.m_fd), socket) {}

    static void notified(WPARAM wParam, LPARAM lParam)
    {
        TcpSocket *const socket = Target::find(SOCKET(wParam));
        if (!socket)
            return;
        const int event = WSAGETSELECTEVENT(lParam);
        if (event == EventConnect) {
            if (!socket->m_connectPending)
                return;
            socket->m_connectPending = false;
        }
        socket->deliver(event, WSAGETSELECTERROR(lParam));
    }

    Target target;
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

namespace {

// Winsock's resolver, started before its first question; it answers with
// Winsock's own codes (11001 and on).
int askResolver(const char *host, const char *service, const addrinfo *hints, addrinfo **found)
{
    if (const int error = startWinsock())
        return error;
    return getaddrinfo(host, service, hints, found);
}

int sameCode(int code)
{
    return code;
}

const SystemResolver<addrinfo, sockaddr_in, unsigned long> kResolver{
    inet_addr, INADDR_NONE, askResolver, freeaddrinfo, AF_INET, SOCK_STREAM, sameCode};

} // namespace

bool TcpSocket::resolvesAtOnce(const std::string &host)
{
    return resolvesWithoutNameServer(host, kResolver);
}

int TcpSocket::resolveHost(const std::string &host, uint32_t &address)
{
    return resolveIPv4(host, address, kResolver);
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
