#include "hurl.h"

#include "platform/error.h"
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
    try {
        m_timeoutSeconds = TimeoutSeconds;
        m_response.clear();
        m_readPos = 0;
        m_overflow = false;
        m_deadline = m_pump.nowMs() + int64_t(TimeoutSeconds) * 1000;
        LastError = 0;

        Connect();
        waitWhile([this] { return SocketState != TSocketState::Connected && LastError == 0; });
        if (SocketState != TSocketState::Connected) {
            clearPerRequest();
            const int result = LastError != 0 ? -std::abs(LastError) : -1;
            CloseConnection();
            return result;
        }

        m_deadline = m_pump.nowMs() + int64_t(TimeoutSeconds) * 1000;
        SendText(composeRequest());
        waitWhile([this] { return SocketState == TSocketState::Connected && LastError == 0 && !m_overflow; });
        // A failure while the answer came in makes the answer unusable.
        const int exchangeError = LastError;
        int result = parseStatus();
        if (exchangeError != 0)
            result = -std::abs(exchangeError);
        else if (m_overflow || m_pump.nowMs() >= m_deadline)
            result = -1;
        CloseConnection();
        clearPerRequest();
        return result;
    } catch (...) {
        clearPerRequest();
        throw;
    }
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
    if (n > 0)
        m_deadline = m_pump.nowMs() + int64_t(m_timeoutSeconds) * 1000;
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

int THttpUrlRequest::parseStatus()
{
    LastError = 0;
    const HttpAnswerHead head = readAnswerHead(m_response);
    m_responseHeader = head.header;
    m_readPos = head.bodyStart;
    return head.status;
}

std::string THttpUrlRequest::ReadResponse(bool FromStart)
{
    if (FromStart)
        m_readPos = 0;
    std::string rest = m_response.substr(std::min(m_readPos, m_response.size()));
    m_readPos = m_response.size();
    return rest;
}

HttpAnswerHead readAnswerHead(const std::string &response)
{
    HttpAnswerHead head;
    size_t &pos = head.bodyStart;
    while (pos < response.size() && pos < kHeaderArea - 1) {
        ++pos;
        if (pos >= 4 && response[pos - 1] == '\n' && (response[pos - 2] == '\n' || response[pos - 3] == '\n'))
            break;
    }
    const std::string area = response.substr(0, pos);
    head.header = area.substr(0, area.find('\0'));
    long code = 0;
    if (head.header.size() >= 10 && parseInteger(trimControlBytes(head.header.substr(9, 4)), code))
        head.status = int(code);
    return head;
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
