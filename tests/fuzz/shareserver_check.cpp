// The live-share server's request handling, without a socket: any bytes sent
// as a request get an answer with a status line (none when nothing is sent),
// the same answer whether they come at once or a few at a time (but for
// which fault of an unreadable head is named), no handler
// fails with an exception, and an upload that is accepted can be downloaded
// again.
#include "fuzzcheck.h"

#include "httpexchange.h"

#include <algorithm>

namespace zibbles::fuzz {

namespace {

class ShareServer {
public:
    ShareServer() : m_store(":memory:", 256 * 1024), m_answers(m_store) {}

    // The server's answer to one connection that sends `request` in pieces
    // of `piece` bytes and then ends its side.
    std::string answer(const std::string &request, size_t piece)
    {
        HttpExchange exchange(m_answers, HttpLimits{});
        bool done = false;
        for (size_t at = 0; at < request.size() && !done; at += piece)
            done = exchange.received(std::string_view(request).substr(at, piece));
        if (!done)
            exchange.ended();
        return exchange.answerBytes();
    }

private:
    ZibbleStore m_store;
    LiveShareAnswers m_answers;
};

std::string bodyOf(const std::string &answer)
{
    const size_t end = answer.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : answer.substr(end + 4);
}

std::string statusLineOf(const std::string &answer)
{
    return answer.substr(0, answer.find("\r\n"));
}

// A head that is both too long and malformed is refused either way; which
// fault the parser meets first depends on how much of it has come.
std::string refusalKindOf(const std::string &answer)
{
    const std::string status = statusLineOf(answer);
    return status.rfind("HTTP/1.1 400 ", 0) == 0 || status.rfind("HTTP/1.1 431 ", 0) == 0 ? "unreadable head" : status;
}

} // namespace

void checkShareServer(const std::string &input)
{
    static ShareServer server;
    const std::string answer = server.answer(input, std::max<size_t>(input.size(), 1));
    // A connection that sends nothing at all is closed without an answer.
    require(answer.rfind("HTTP/1.1 ", 0) == 0 || (answer.empty() && input.empty()), "an answer without a status line");
    require(answer.rfind("HTTP/1.1 500", 0) != 0, "a handler failed: " + answer.substr(0, 200));
    const std::string trickled = server.answer(input, 3);
    require(refusalKindOf(trickled) == refusalKindOf(answer),
            "the answer depends on how the bytes came: " + statusLineOf(answer) + " / " + statusLineOf(trickled));
    const bool upload = input.rfind("POST /zibbles/liveshare/upload.asp", 0) == 0;
    if (!upload || answer.rfind("HTTP/1.1 200", 0) != 0)
        return;
    const std::string id = bodyOf(answer);
    const size_t dash = id.find('-');
    require(dash == 1, "an upload answered with no ID: " + id);
    const std::string again = server.answer("GET /zibbles/liveshare/download.asp?v=1&c=" + id.substr(0, 1) +
                                                "&id=" + id.substr(2) + " HTTP/1.0\r\n\r\n",
                                            1024);
    require(again.rfind("HTTP/1.1 200", 0) == 0 && bodyOf(again) != "!Failed!", "an uploaded zibble is not found");
}

} // namespace zibbles::fuzz
