#include "platform/tcpsocket.h"

#include "tcpsocketnotifier.h"

#include "platform/hostresolver.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace zibbles {

int winsockErrorFromErrno(int err)
{
    switch (err) {
    case 0: return 0;
    case EINTR: return 10004;
    case EBADF: return 10009;
    case EACCES: return 10013;
    case EFAULT: return 10014;
    case EINVAL: return 10022;
    case EMFILE: case ENFILE: return 10024;
    case EAGAIN: return wsa::WouldBlock;
    case EINPROGRESS: return wsa::WouldBlock; // a connection under way
    case EALREADY: return 10037;
    case ENOTSOCK: return 10038;
    case EDESTADDRREQ: return 10039;
    case EMSGSIZE: return 10040;
    case EPROTOTYPE: return 10041;
    case ENOPROTOOPT: return 10042;
    case EPROTONOSUPPORT: return 10043;
    case ESOCKTNOSUPPORT: return 10044;
    case EOPNOTSUPP: return 10045;
    case EPFNOSUPPORT: return 10046;
    case EAFNOSUPPORT: return 10047;
    case EADDRINUSE: return 10048;
    case EADDRNOTAVAIL: return 10049;
    case ENETDOWN: return wsa::NetDown;
    case ENETUNREACH: return 10051;
    case ENETRESET: return 10052;
    case ECONNABORTED: return 10053;
    case ECONNRESET: case EPIPE: return 10054;
    case ENOBUFS: case ENOMEM: return 10055;
    case EISCONN: return 10056;
    case ENOTCONN: return wsa::NotConnected;
    case ESHUTDOWN: return 10058;
    case ETOOMANYREFS: return 10059;
    case ETIMEDOUT: return 10060;
    case ECONNREFUSED: return wsa::ConnRefused;
    case ELOOP: return 10062;
    case ENAMETOOLONG: return 10063;
    case EHOSTDOWN: return 10064;
    case EHOSTUNREACH: return 10065;
    case ENOTEMPTY: return 10066;
    case EUSERS: return 10068;
    case EDQUOT: return 10069;
    case ESTALE: return 10070;
    case EREMOTE: return 10071;
    default: return 10022;
    }
}

namespace {

int resolverError(int gai)
{
    switch (gai) {
    case EAI_NONAME: return wsa::HostNotFound;
    case EAI_AGAIN: return 11002;
#ifdef EAI_NODATA
    case EAI_NODATA: return 11004;
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY: return 11004;
#endif
    case EAI_MEMORY: return 10055;
    case EAI_SYSTEM: return winsockErrorFromErrno(errno);
    default: return 11003;
    }
}

// The resolver of the C library, whose codes of its own (EAI_...) are given
// as Winsock's.
const SystemResolver<addrinfo, sockaddr_in, in_addr_t> kResolver{
    inet_addr, INADDR_NONE, getaddrinfo, freeaddrinfo, AF_INET, SOCK_STREAM, resolverError};

int lastErrno()
{
    return winsockErrorFromErrno(errno);
}

} // namespace

struct TcpSocket::Watch {
    WatchedDescriptor read;
    WatchedDescriptor write;
};

TcpSocket::TcpSocket() = default;

TcpSocket::~TcpSocket()
{
    close();
}

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
    servent entry{};
    servent *found = nullptr;
    char scratch[1024];
    if (getservbyname_r(portText.c_str(), "tcp", &entry, scratch, sizeof scratch, &found) == 0 && found)
        return ntohs(uint16_t(found->s_port));
    return uint16_t(std::atoi(portText.c_str()));
}

int TcpSocket::create()
{
    close();
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return lastErrno();
    m_fd = fd;
    m_mask = 0;
    m_connectPending = false;
    m_closeSent = false;
    m_watch = std::make_unique<Watch>();
    return 0;
}

bool TcpSocket::isOpen() const
{
    return m_fd >= 0;
}

int TcpSocket::setOobInline()
{
    const int on = -1;
    return ::setsockopt(m_fd, SOL_SOCKET, SO_OOBINLINE, &on, sizeof on) == 0 ? 0 : lastErrno();
}

int TcpSocket::connect(uint32_t address, uint16_t port)
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(address);
    if (::connect(m_fd, reinterpret_cast<sockaddr *>(&to), sizeof to) != 0 && errno != EINPROGRESS)
        return lastErrno();
    // Whether it completed at once or not, completion is told as an event.
    m_connectPending = true;
    updateWatch();
    return wsa::WouldBlock;
}

int TcpSocket::select(int eventMask)
{
    if (m_fd < 0)
        return 10038;
    m_mask = eventMask;
    updateWatch();
    return 0;
}

int TcpSocket::shutdownSend()
{
    return ::shutdown(m_fd, SHUT_WR) == 0 ? 0 : lastErrno();
}

int TcpSocket::close()
{
    if (m_fd < 0)
        return 0;
    m_watch.reset();
    const int rc = ::close(m_fd);
    m_fd = -1;
    return rc == 0 ? 0 : lastErrno();
}

long TcpSocket::send(const char *data, size_t size, int &error)
{
    const ssize_t n = ::send(m_fd, data, size, MSG_NOSIGNAL);
    error = n < 0 ? lastErrno() : 0;
    return long(n);
}

long TcpSocket::receive(char *data, size_t size, int &error)
{
    const ssize_t n = ::recv(m_fd, data, size, 0);
    error = n < 0 ? lastErrno() : 0;
    return long(n);
}

void TcpSocket::updateWatch()
{
    if (m_fd < 0 || !m_watch)
        return;
    const bool wantWrite = m_connectPending && (m_mask & EventConnect);
    const bool wantRead = !m_connectPending && !m_closeSent && (m_mask & (EventRead | EventClose));
    if (wantWrite && !m_watch->write) {
        m_watch->write = watchDescriptor(m_fd, QSocketNotifier::Write, [this] { writable(); });
    }
    if (m_watch->write)
        m_watch->write->setEnabled(wantWrite);
    if (wantRead && !m_watch->read) {
        m_watch->read = watchDescriptor(m_fd, QSocketNotifier::Read, [this] { readable(); });
    }
    if (m_watch->read)
        m_watch->read->setEnabled(wantRead);
}

void TcpSocket::writable()
{
    int err = 0;
    socklen_t len = sizeof err;
    if (::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0)
        err = errno;
    m_connectPending = false;
    updateWatch();
    deliver(EventConnect, winsockErrorFromErrno(err));
}

void TcpSocket::readable()
{
    char byte;
    const ssize_t n = ::recv(m_fd, &byte, 1, MSG_PEEK);
    if (n > 0) {
        deliver(EventRead, 0);
        return;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    // The peer closed (n == 0) or reset the connection: told once.
    const int error = n == 0 ? 0 : lastErrno();
    m_closeSent = true;
    updateWatch();
    deliver(EventClose, error);
}

void TcpSocket::deliver(int event, int error)
{
    if ((m_mask & event) && onEvent)
        onEvent(event, error);
}

} // namespace zibbles
