#pragma once
// How every socket layer resolves a host name to an IPv4 address: a dotted
// address at once, no name and the reserved invalid names refused at once,
// any other name asked of the system's resolver, whose first IPv4 answer
// counts. POSIX and Winsock declare the resolver's calls and types alike,
// each in headers of its own; the layer passes them in, so this header needs
// none of them.
#include "platform/reservedhost.h"
#include "platform/tcpsocket.h"

#include <cstdint>
#include <string>

namespace zibbles {

// The system's resolver. `Info` is its addrinfo, `Inet` its sockaddr_in and
// `Dotted` what its inet_addr answers.
template <typename Info, typename Inet, typename Dotted>
struct SystemResolver {
    Dotted (*dotted)(const char *host);                                      // inet_addr
    Dotted notDotted;                                                        // INADDR_NONE
    int (*ask)(const char *host, const char *service, const Info *, Info **); // getaddrinfo
    void (*release)(Info *);                                                 // freeaddrinfo
    int ipv4;                                                                // AF_INET
    int stream;                                                              // SOCK_STREAM
    int (*failure)(int code); // a failure code of `ask` as its Winsock error code
};

// Four bytes in network byte order as a number in host byte order.
inline uint32_t fromNetworkOrder(const void *bytes)
{
    const auto *b = static_cast<const unsigned char *>(bytes);
    return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | uint32_t(b[3]);
}

// Whether `host` is answered without asking a name server.
template <typename Info, typename Inet, typename Dotted>
bool resolvesWithoutNameServer(const std::string &host, const SystemResolver<Info, Inet, Dotted> &system)
{
    return system.dotted(host.c_str()) != system.notDotted || host.empty() || isReservedInvalidName(host);
}

// The address of `host` in host byte order; 0 or a Winsock error code.
template <typename Info, typename Inet, typename Dotted>
int resolveIPv4(const std::string &host, uint32_t &address, const SystemResolver<Info, Inet, Dotted> &system)
{
    static_assert(sizeof(Dotted) == 4, "inet_addr answers the four bytes of an address");
    const Dotted dotted = system.dotted(host.c_str());
    if (dotted != system.notDotted) {
        address = fromNetworkOrder(&dotted);
        return 0;
    }
    if (host.empty() || isReservedInvalidName(host))
        return wsa::HostNotFound;
    Info hints{};
    hints.ai_family = system.ipv4;
    hints.ai_socktype = system.stream;
    Info *found = nullptr;
    if (const int code = system.ask(host.c_str(), nullptr, &hints, &found))
        return system.failure(code);
    int result = wsa::HostNotFound;
    for (const Info *a = found; a; a = a->ai_next) {
        if (a->ai_family == system.ipv4) {
            address = fromNetworkOrder(&reinterpret_cast<const Inet *>(a->ai_addr)->sin_addr);
            result = 0;
            break;
        }
    }
    system.release(found);
    return result;
}

} // namespace zibbles
