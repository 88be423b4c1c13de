#pragma once
// The socket client under the HTTP request: a socket base that sends,
// receives, closes gracefully and records the last Winsock error, and a
// non-blocking TCP client whose events arrive through the event loop.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace zibbles {

class HostLookup;
class TcpSocket;

enum class TSocketState { NotStarted, Idle, Connecting, Connected };

class TCustomCGISocket {
public:
    TCustomCGISocket();
    virtual ~TCustomCGISocket();
    TCustomCGISocket(const TCustomCGISocket &) = delete;
    TCustomCGISocket &operator=(const TCustomCGISocket &) = delete;

    // Sends the whole text; gives up after a hard failure or 1501 soft ones,
    // or when keepSending says so.
    void SendText(const std::string &text);
    // Bytes received into `buffer`, 0 on failure.
    int Receive(char *buffer, int maximum);
    void CloseConnection();
    void ReportError(int code);
    static std::string ErrorText(int code);

    TSocketState SocketState = TSocketState::NotStarted;
    int LastError = 0;
    std::function<void(TCustomCGISocket &sender, int code, const std::string &text)> OnSocketError;
    // The pause after a failed send; tests replace it.
    std::function<void(int ms)> sleepMs;
    // Asked after each pause of a send that waits for room in the socket:
    // false ends the send quietly. Unset, the send goes on.
    std::function<bool()> keepSending;
    // Resolves a host name that needs a name server; 0 or a Winsock error
    // code. It runs on a thread of its own; tests replace it.
    std::function<int(const std::string &host, uint32_t &address)> resolveName;

protected:
    // A TCP stream socket: the only kind the program uses.
    std::unique_ptr<TcpSocket> m_socket;
    // The look-up of the server's name while a connection is started; closing
    // the connection abandons it.
    std::unique_ptr<HostLookup> m_lookup;
};

class TTCPClient : public TCustomCGISocket {
public:
    TTCPClient();

    // Starts a connection to Host:Port when idle; otherwise does nothing. A
    // host name that needs a name server is looked up without blocking: the
    // state is connecting meanwhile, and a failed look-up is reported when it
    // ends and leaves the state idle.
    void Connect();

    std::string Host;
    std::string Port; // a service name or a decimal number

    std::function<void(TTCPClient &sender)> OnRead;
    std::function<void(TTCPClient &sender)> OnConnect;
    std::function<void(TTCPClient &sender)> OnClose;

private:
    void lookedUp(int error, uint32_t address);
    void connectTo(uint32_t address);
    void socketEvent(int event, int error);
    void closeHandleAfter(int error);
};

} // namespace zibbles
