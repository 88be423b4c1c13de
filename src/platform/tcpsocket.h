#pragma once
// A non-blocking IPv4 stream socket whose events (connected, readable,
// closed) arrive through the GUI thread's event loop. Every failure is given
// as the Winsock error code of the same meaning, so the socket client above
// it reports exactly what it would report on Windows.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace zibbles {

namespace wsa {
constexpr int WouldBlock = 10035;
constexpr int NetDown = 10050;
constexpr int NotConnected = 10057;
constexpr int ConnRefused = 10061;
constexpr int HostNotFound = 11001;
} // namespace wsa

// Socket events, with the values of the Winsock notification mask.
enum SocketEvent : int {
    EventRead = 0x01,
    EventConnect = 0x10,
    EventClose = 0x20,
};

// Maps a POSIX errno value onto its Winsock error code.
int winsockErrorFromErrno(int err);

class TcpSocket {
public:
    TcpSocket();
    ~TcpSocket(); // closes a socket that is still open
    TcpSocket(const TcpSocket &) = delete;
    TcpSocket &operator=(const TcpSocket &) = delete;

    // Name look-ups; 0 or a Winsock error code. The address and port are in
    // host byte order. A name server may take long to answer, so the GUI
    // thread resolves a host through HostLookup unless resolveHost answers it
    // without asking one (resolvesAtOnce).
    static int resolveHost(const std::string &host, uint32_t &address);
    static bool resolvesAtOnce(const std::string &host);
    // A known service name of the TCP protocol gives its port, any other text
    // is read as a decimal number (0 when it is none).
    static uint16_t resolvePort(const std::string &portText);

    // Each returns 0 or a Winsock error code.
    int create();
    int setOobInline();
    // 0 when connected at once, WouldBlock while the connection is under way.
    int connect(uint32_t address, uint16_t port);
    // Which events to deliver from now on (a mask of SocketEvent); 0 stops all.
    int select(int eventMask);
    int shutdownSend();
    int close();
    bool isOpen() const;

    // Bytes moved, or -1 with `error` set.
    long send(const char *data, size_t size, int &error);
    long receive(char *data, size_t size, int &error);

    // Called from the event loop with the event and its Winsock error code.
    std::function<void(int event, int error)> onEvent;

private:
    struct Watch;
    // A descriptor, or a Windows SOCKET (wider than int); -1 when closed.
    std::intptr_t m_fd = -1;
    int m_mask = 0;
    bool m_connectPending = false;
    bool m_closeSent = false;
    std::unique_ptr<Watch> m_watch;

    void updateWatch();
    void writable();
    void readable();
    void deliver(int event, int error);
};

} // namespace zibbles
