#pragma once
// A small HTTP/1.0 client for one request at a time: it composes the request
// from a URL, a method, extra headers and a body, sends it, keeps everything
// the server answers until it closes the connection, and reads the status.
#include "hsockets.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zibbles {

class MessagePump;

enum TRequestMethod { methGet, methPost, methHead, methPut };

struct TRequestVariable {
    std::string name;
    std::string value;
    bool isFile = false;
    std::string fileName;
    std::string contentType;
};

// The head of an answer as the status parse reads it: the header up to its
// empty line (LF LF, or LF, one byte, LF), at most 4095 bytes and cut at a
// zero byte; where the body starts; the status code from characters 10 to 13,
// -1 when they are not a number. Besides, how the answer ended: where its
// whole head ends (0 when the empty line never came), and the body length
// that its Content-Length promises (-1 when it names none).
struct HttpAnswerHead {
    std::string header;
    size_t bodyStart = 0;
    int status = -1;
    size_t headEnd = 0;
    long contentLength = -1;
};

class THttpUrlRequest : public TTCPClient {
public:
    // No answer worth keeping is larger than this; a larger one is a failure.
    static constexpr size_t kMaxResponseBytes = 4 * 1024 * 1024;

    explicit THttpUrlRequest(MessagePump &pump);

    const std::string &URL() const { return m_url; }
    void setURL(const std::string &url);
    const std::string &Proxy() const { return m_proxy; }
    // Blanks are dropped; a proxy without ":" raises "Proxy port required".
    void setProxy(const std::string &proxy);

    TRequestMethod RequestMethod = methGet;
    std::string PostData;
    std::function<void(THttpUrlRequest &sender, const std::string &data)> OnDataRead;

    void AddRequestHeader(const std::string &name, const std::string &value);
    // The status code of a whole answer; -1 when the exchange is not over
    // TimeoutSeconds after the call, for an unreadable status line, for an
    // answer cut short or a cancelled exchange; minus the Winsock error code
    // when the exchange failed at the socket.
    int Execute(int TimeoutSeconds);
    // Ends the exchange under way at once, whatever the server does: Execute
    // closes the connection and returns -1. Outside Execute it does nothing.
    void Cancel();
    std::string ReadResponse(bool FromStart);
    const std::string &ResponseHeader() const { return m_responseHeader; }

    // What the last write of URL gave, and the request as it goes out.
    const std::string &path() const { return m_path; }
    const std::string &hostValue() const { return m_hostValue; }
    std::string composeRequest() const;

private:
    void clearPerRequest();
    bool waitWhile(const std::function<bool()> &busy);
    int exchange();
    int resultOfAnswer(int exchangeError);
    void readHandler();
    void drainHandler();
    bool append(const char *data, int size);
    HttpAnswerHead parseStatus();

    MessagePump &m_pump;
    std::string m_url;
    std::string m_proxy;
    std::string m_path = "/";
    std::string m_hostValue;
    std::string m_extraHeaders;
    std::vector<TRequestVariable> m_variables;

    std::string m_response;
    size_t m_readPos = 0;
    bool m_overflow = false;
    bool m_running = false;
    bool m_cancelled = false;
    std::string m_responseHeader;
    int64_t m_deadline = 0;
};

HttpAnswerHead readAnswerHead(const std::string &response);

// Whether the answer arrived whole: its head ended, and its body is as long
// as its Content-Length promises. Without a Content-Length only an orderly
// close of the connection tells that the body is whole.
bool isWholeAnswer(const HttpAnswerHead &head, size_t responseSize, bool orderlyClose);

// The text without the bytes up to 0x20 (blanks, control characters) at
// either end.
std::string trimControlBytes(const std::string &text);

// Percent-encoding: A-Z, a-z, 0-9, "-", "." and "_" stay, every other byte
// becomes "%" and two upper-case hexadecimal digits.
std::string UrlEncode(const std::string &text);

} // namespace zibbles
