#include "hurl.h"

#include "core/error.h"
#include "platform/eventloop.h"

#include <algorithm>
#include <cstdlib>

namespace zibbles {

namespace {

constexpr size_t kMaxPath = 1032;
constexpr size_t kMaxHostPart = 254;
constexpr int kReadChunk = 4096;
constexpr int kDrainChunk = 1032;
constexpr size_t kHeaderArea = 4096;

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) {
        return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : char(c);
    });
    return s;
}

// A whole decimal integer, optionally signed; false for anything else.
bool parseInteger(const std::string &s, long &value)
{
    size_t i = (!s.empty() && (s[0] == '-' || s[0] == '+')) ? 1 : 0;
    if (i >= s.size() || s.size() - i > 9)
        return false;
    for (size_t k = i; k < s.size(); ++k)
        if (s[k] < '0' || s[k] > '9')
            return false;
    value = std::strtol(s.c_str(), nullptr, 10);
    return true;
}

const char *methodWord(TRequestMethod method)
{
    switch (method) {
    case methPost: return "POST";
    case methHead: return "HEAD";
    case methPut: return "POST";
    case methGet: break;
    }
    return "GET";
}

} // namespace

THttpUrlRequest::THttpUrlRequest(MessagePump &pump) : m_pump(pump)
{
    Port = "80";
    OnRead = [this](TTCPClient &) { readHandler(); };
    OnClose = [this](TTCPClient &) { drainHandler(); };
    // A server that does not take the request fills the socket: the send then
    // pauses in the event loop, so Cancel, the hotkeys and the window stay
    // live, and it gives up at the deadline or on Cancel.
    sleepMs = [this](int ms) {
        waitUntil(m_pump, [this] { return m_cancelled; }, std::min(m_pump.nowMs() + ms, m_deadline));
    };
    keepSending = [this] { return !m_cancelled && m_pump.nowMs() < m_deadline; };
    clearPerRequest();
}

void THttpUrlRequest::setURL(const std::string &url)
{
    m_url = trimControlBytes(url);
    if (lower(m_url.substr(0, 7)) != "http://")
        m_url = "HTTP://" + m_url;
    const std::string rest = m_url.substr(7);
    const size_t slash = rest.find('/');
    std::string hostPart = slash == std::string::npos ? rest : rest.substr(0, slash);
    m_path = slash == std::string::npos ? std::string("/") : rest.substr(slash, kMaxPath);
    hostPart = hostPart.substr(0, kMaxHostPart);
    m_hostValue = hostPart;

    std::string target = m_proxy.empty() ? hostPart : m_proxy;
    Port = "80";
    const size_t colon = target.find(':');
    if (colon != std::string::npos) {
        long port = 0;
        if (parseInteger(target.substr(colon + 1, kMaxPath), port))
            Port = std::to_string(port);
        target.resize(colon);
    }
    Host = target;
}

void THttpUrlRequest::setProxy(const std::string &proxy)
{
    std::string value;
    std::copy_if(proxy.begin(), proxy.end(), std::back_inserter(value), [](char c) { return c != ' '; });
    if (!value.empty() && value.find(':') == std::string::npos)
        throw AppError("Proxy port required");
    m_proxy = value;
}

void THttpUrlRequest::AddRequestHeader(const std::string &name, const std::string &value)
{
    m_extraHeaders += name + ": " + value + "\r\n";
}

std::string THttpUrlRequest::composeRequest() const
{
    const bool direct = m_proxy.empty();
    std::string tail = m_extraHeaders;
    if (RequestMethod == methPost) {
        tail += "Content-Type: application/x-www-form-urlencoded\r\n";
        tail += "Content-Length: " + std::to_string(PostData.size()) + "\r\n";
    }
    tail += "\r\n";
    if (RequestMethod == methPost)
        tail += PostData + "\r\n";

    std::string request = std::string(methodWord(RequestMethod)) + " " + (direct ? m_path : m_url) + " HTTP/1.0\r\n";
    request += direct ? "Connection: close\r\n" : "Proxy-Connection: Keep-Alive\r\n";
    // An Accept header of the caller's replaces the default one.
    if (lower("\r\n" + tail).find("\r\naccept:") == std::string::npos)
        request += "Accept: */*\r\n";
    request += tail;
    request += "Host: " + m_hostValue + "\r\n";
    return request;
}

void THttpUrlRequest::clearPerRequest()
{
    m_extraHeaders.clear();
    m_variables.clear();
}

bool THttpUrlRequest::waitWhile(const std::function<bool()> &busy)
{
    m_pump.processPending();
    while (busy()) {
        const int64_t left = m_deadline - m_pump.nowMs();
        if (left <= 0)
            return false;
        m_pump.waitForEvents(left);
    }
    return true;
}

int THttpUrlRequest::Execute(int TimeoutSeconds)
{
    // One deadline for the whole exchange, from the name look-up to the last
    // byte: a server that trickles its answer cannot keep it going.
    m_deadline = m_pump.nowMs() + int64_t(TimeoutSeconds) * 1000;
    m_cancelled = false;
    m_running = true;
    try {
        const int result = exchange();
        m_running = false;
        return result;
    } catch (...) {
        m_running = false;
        clearPerRequest();
        throw;
    }
}

void THttpUrlRequest::Cancel()
{
    // Every wait of the exchange looks at this after each event.
    if (m_running)
        m_cancelled = true;
}

int THttpUrlRequest::exchange()
{
    m_response.clear();
    m_readPos = 0;
    m_overflow = false;
    LastError = 0;

    Connect();
    waitWhile([this] { return SocketState != TSocketState::Connected && LastError == 0 && !m_cancelled; });
    if (SocketState != TSocketState::Connected || m_cancelled) {
        clearPerRequest();
        const int result = LastError != 0 && !m_cancelled ? -std::abs(LastError) : -1;
        CloseConnection();
        return result;
    }

    SendText(composeRequest());
    waitWhile([this] {
        return SocketState == TSocketState::Connected && LastError == 0 && !m_overflow && !m_cancelled;
    });
    int result = resultOfAnswer(LastError);
    if (m_cancelled || m_overflow || m_pump.nowMs() >= m_deadline)
        result = -1;
    CloseConnection();
    clearPerRequest();
    return result;
}

int THttpUrlRequest::resultOfAnswer(int exchangeError)
{
    const bool orderlyClose = exchangeError == 0 && SocketState != TSocketState::Connected;
    const HttpAnswerHead head = parseStatus();
    if (isWholeAnswer(head, m_response.size(), orderlyClose))
        return head.status;
    // A failure while the answer came in, or an answer cut short, makes it
    // unusable.
    return exchangeError != 0 ? -std::abs(exchangeError) : -1;
}

bool THttpUrlRequest::append(const char *data, int size)
{
    if (m_overflow || m_response.size() + size_t(size) > kMaxResponseBytes) {
        m_overflow = true;
        return false;
    }
    m_response.append(data, size_t(size));
    if (OnDataRead)
        OnDataRead(*this, std::string(data, size_t(size)));
    return true;
}

void THttpUrlRequest::readHandler()
{
    char chunk[kReadChunk];
    int n = 0;
    do {
        n = Receive(chunk, kReadChunk);
        if (n > 0 && !append(chunk, n))
            return;
    } while (n == kReadChunk);
}

void THttpUrlRequest::drainHandler()
{
    char chunk[kDrainChunk];
    int n = 0;
    while ((n = Receive(chunk, kDrainChunk)) > 0) {
        if (!append(chunk, n))
            break;
    }
    SocketState = TSocketState::Idle;
}

HttpAnswerHead THttpUrlRequest::parseStatus()
{
    LastError = 0;
    HttpAnswerHead head = readAnswerHead(m_response);
    m_responseHeader = head.header;
    m_readPos = head.bodyStart;
    return head;
}

std::string THttpUrlRequest::ReadResponse(bool FromStart)
{
    if (FromStart)
        m_readPos = 0;
    std::string rest = m_response.substr(std::min(m_readPos, m_response.size()));
    m_readPos = m_response.size();
    return rest;
}

namespace {

// How many bytes the head takes, read byte by byte up to `limit` bytes: it
// ends with LF after at least 4 bytes when the byte before or two before is
// LF too. 0 when no such end comes within the limit.
size_t headLength(const std::string &response, size_t limit)
{
    const size_t end = std::min(response.size(), limit);
    for (size_t pos = 4; pos <= end; ++pos)
        if (response[pos - 1] == '\n' && (response[pos - 2] == '\n' || response[pos - 3] == '\n'))
            return pos;
    return 0;
}

// The value of the first Content-Length line of a head; -1 when none is a
// decimal number.
long contentLength(const std::string &head)
{
    const std::string name = "\ncontent-length:";
    const size_t at = lower(head).find(name);
    if (at == std::string::npos)
        return -1;
    const size_t start = at + name.size();
    const size_t end = head.find('\n', start);
    long value = -1;
    const std::string text = trimControlBytes(head.substr(start, end == std::string::npos ? end : end - start));
    return parseInteger(text, value) && value >= 0 ? value : -1;
}

} // namespace

HttpAnswerHead readAnswerHead(const std::string &response)
{
    HttpAnswerHead head;
    const size_t ended = headLength(response, kHeaderArea - 1);
    head.bodyStart = ended ? ended : std::min(response.size(), kHeaderArea - 1);
    const std::string area = response.substr(0, head.bodyStart);
    head.header = area.substr(0, area.find('\0'));
    long code = 0;
    if (head.header.size() >= 10 && parseInteger(trimControlBytes(head.header.substr(9, 4)), code))
        head.status = int(code);
    head.headEnd = ended ? ended : headLength(response, response.size());
    head.contentLength = contentLength(response.substr(0, head.headEnd));
    return head;
}

bool isWholeAnswer(const HttpAnswerHead &head, size_t responseSize, bool orderlyClose)
{
    if (head.headEnd == 0)
        return false;
    if (head.contentLength < 0)
        return orderlyClose;
    return responseSize - head.headEnd >= size_t(head.contentLength);
}

std::string trimControlBytes(const std::string &s)
{
    size_t begin = 0;
    size_t end = s.size();
    while (begin < end && static_cast<unsigned char>(s[begin]) <= 0x20)
        ++begin;
    while (end > begin && static_cast<unsigned char>(s[end - 1]) <= 0x20)
        --end;
    return s.substr(begin, end - begin);
}

std::string UrlEncode(const std::string &text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3);
    for (const unsigned char c : text) {
        const bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                          c == '.' || c == '_';
        if (keep) {
            out.push_back(char(c));
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0x0F]);
        }
    }
    return out;
}

} // namespace zibbles
