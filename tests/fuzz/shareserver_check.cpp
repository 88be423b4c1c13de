// The live-share server's request handling, without a socket: any bytes sent
// as a request get an answer with a status line (none when nothing is sent), no handler fails with an
// exception, and an upload that is accepted can be downloaded again.
#include "fuzzcheck.h"

#include "../../tools/share-server/shareserver.h"

#include <httplib.h>

#include <algorithm>
#include <cstring>

namespace zibbles::fuzz {

namespace {

// A connection whose client sends the given bytes and then nothing.
class BufferStream : public httplib::Stream {
public:
    explicit BufferStream(const std::string &in) : m_in(in) {}
    bool is_readable() const override { return true; }
    bool is_writable() const override { return true; }
    ssize_t read(char *ptr, size_t size) override
    {
        size = std::min(size, m_in.size() - m_pos);
        std::memcpy(ptr, m_in.data() + m_pos, size);
        m_pos += size;
        return ssize_t(size);
    }
    ssize_t write(const char *ptr, size_t size) override
    {
        out.append(ptr, size);
        return ssize_t(size);
    }
    void get_remote_ip_and_port(std::string &ip, int &port) const override
    {
        ip = "127.0.0.1";
        port = 40000;
    }
    void get_local_ip_and_port(std::string &ip, int &port) const override
    {
        ip = "127.0.0.1";
        port = 8080;
    }
    socket_t socket() const override { return INVALID_SOCKET; }

    std::string out;

private:
    const std::string &m_in;
    size_t m_pos = 0;
};

class ShareServer : public httplib::Server {
public:
    ShareServer() : m_store(":memory:", 256 * 1024) { installLiveShareRoutes(*this, m_store); }

    // The server's answer to one connection that sends `request`.
    std::string answer(const std::string &request)
    {
        BufferStream stream(request);
        bool closed = false;
        process_request(stream, true, closed, nullptr);
        return stream.out;
    }

private:
    ZibbleStore m_store;
};

std::string bodyOf(const std::string &answer)
{
    const size_t end = answer.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : answer.substr(end + 4);
}

} // namespace

void checkShareServer(const std::string &input)
{
    static ShareServer server;
    const std::string answer = server.answer(input);
    // A connection that sends nothing at all is closed without an answer.
    require(answer.rfind("HTTP/1.1 ", 0) == 0 || (answer.empty() && input.empty()), "an answer without a status line");
    require(answer.rfind("HTTP/1.1 500", 0) != 0, "a handler failed: " + answer.substr(0, 200));
    const bool upload = input.rfind("POST /zibbles/liveshare/upload.asp", 0) == 0;
    if (!upload || answer.rfind("HTTP/1.1 200", 0) != 0)
        return;
    const std::string id = bodyOf(answer);
    const size_t dash = id.find('-');
    require(dash == 1, "an upload answered with no ID: " + id);
    const std::string again = server.answer("GET /zibbles/liveshare/download.asp?v=1&c=" + id.substr(0, 1) +
                                            "&id=" + id.substr(2) + " HTTP/1.0\r\n\r\n");
    require(again.rfind("HTTP/1.1 200", 0) == 0 && bodyOf(again) != "!Failed!", "an uploaded zibble is not found");
}

} // namespace zibbles::fuzz
