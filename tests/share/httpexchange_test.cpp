// The share server's HTTP exchange without a socket: the cap on the head is
// exact, whether the head comes at once or byte by byte.
#include "httpexchange.h"

#include <gtest/gtest.h>

namespace {

struct HttpExchangeTest : ::testing::Test {
    ZibbleStore store{":memory:", 1024};
    LiveShareAnswers answers{store};

    std::string answer(const std::string &request, size_t piece)
    {
        HttpExchange exchange(answers, HttpLimits{});
        bool done = false;
        for (size_t at = 0; at < request.size() && !done; at += piece)
            done = exchange.received(std::string_view(request).substr(at, piece));
        if (!done)
            exchange.ended();
        return exchange.answerBytes().substr(0, exchange.answerBytes().find("\r\n"));
    }
};

// A download request whose head is exactly `size` bytes long.
std::string headOfSize(size_t size)
{
    const std::string start = "GET /zibbles/liveshare/download.asp?c=A&id=101 HTTP/1.0\r\nX-Fill: ";
    return start + std::string(size - start.size() - 4, 'f') + "\r\n\r\n";
}

TEST_F(HttpExchangeTest, TheHeadCapIsExact)
{
    const size_t cap = HttpLimits{}.headBytes;
    for (const size_t piece : {size_t(1), size_t(7), size_t(1) << 20}) {
        EXPECT_EQ(answer(headOfSize(cap), piece), "HTTP/1.1 200 OK") << piece;
        EXPECT_EQ(answer(headOfSize(cap + 1), piece), "HTTP/1.1 431 Request Header Fields Too Large") << piece;
    }
}

TEST_F(HttpExchangeTest, ATimedOutRequestIsAnswered408UnlessNothingCame)
{
    HttpExchange silent(answers, HttpLimits{});
    EXPECT_FALSE(silent.expired());
    EXPECT_EQ(silent.answerBytes(), "");

    HttpExchange dripping(answers, HttpLimits{});
    EXPECT_FALSE(dripping.received("POST /zibbles/liveshare/upload.asp HTTP/1.0\r\nX-"));
    EXPECT_TRUE(dripping.expired());
    EXPECT_EQ(dripping.answerBytes().rfind("HTTP/1.1 408 ", 0), 0u) << dripping.answerBytes();
}

} // namespace
