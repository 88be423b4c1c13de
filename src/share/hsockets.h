#pragma once
// The socket client under the HTTP request: a socket base that sends,
// receives, closes gracefully and records the last Winsock error, and a
// non-blocking TCP client whose events arrive through the event loop.
#include <functional>
#include <memory>
#include <string>

namespace zibbles {

class TcpSocket;

enum class TSocketState { NotStarted, Idle, Connecting, Connected };

class TCustomCGISocket {
public:
    TCustomCGISocket();
    virtual ~TCustomCGISocket();
    TCustomCGISocket(const TCustomCGISocket &) = delete;
    TCustomCGISocket &operator=(const TCustomCGISocket &) = delete;

    // Sends the whole text; gives up after a hard failure or 1501 soft ones.
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

protected:
    // A TCP stream socket: the only kind the program uses.
    std::unique_ptr<TcpSocket> m_socket;
};

class TTCPClient : public TCustomCGISocket {
public:
    TTCPClient();

    // Starts a connection to Host:Port when idle; otherwise does nothing.
    void Connect();

    std::string Host;
    std::string Port; // a service name or a decimal number

    std::function<void(TTCPClient &sender)> OnRead;
    std::function<void(TTCPClient &sender)> OnConnect;
    std::function<void(TTCPClient &sender)> OnClose;

private:
    void socketEvent(int event, int error);
    void closeHandleAfter(int error);
};

} // namespace zibbles
