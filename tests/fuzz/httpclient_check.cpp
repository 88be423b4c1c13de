// The HTTP client: any URL gives a path, a Host value and a connection target
// within their limits and a request that starts and ends as it must; any
// answer splits into a header and a body at one place, with a status code
// read from the status line.
#include "fuzzcheck.h"

#include "fakes/fakepump.h"
#include "share/hurl.h"

namespace zibbles::fuzz {

namespace {

bool startsWith(const std::string &s, const std::string &prefix)
{
    return s.compare(0, prefix.size(), prefix) == 0;
}

bool endsWith(const std::string &s, const std::string &suffix)
{
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool isDecimal(const std::string &s)
{
    const size_t digits = startsWith(s, "-") ? 1 : 0;
    return s.size() > digits && s.find_first_not_of("0123456789", digits) == std::string::npos;
}

} // namespace

void checkHttpUrl(const std::string &input)
{
    testing::FakePump pump;
    THttpUrlRequest request(pump);
    request.setURL(input);
    const std::string &url = request.URL();
    require(url.size() >= 7 && asciiLower(url.substr(0, 7)) == "http://", "the URL lost its scheme");
    require(startsWith(request.path(), "/") && request.path().size() <= 1032, "a path out of shape");
    require(request.hostValue().size() < 255, "a Host value of 255 bytes or more");
    require(request.hostValue().find('/') == std::string::npos, "a Host value with a slash");
    require(request.Host.find(':') == std::string::npos, "a connection target with a colon");
    require(startsWith(request.hostValue(), request.Host), "a connection target not taken from the host part");
    require(isDecimal(request.Port), "a port that is not a number: " + request.Port);

    request.RequestMethod = methPost;
    request.PostData = input;
    const std::string sent = request.composeRequest();
    require(startsWith(sent, "POST " + request.path() + " HTTP/1.0\r\nConnection: close\r\n"), "a bad request line");
    require(endsWith(sent, "\r\n\r\n" + input + "\r\nHost: " + request.hostValue() + "\r\n"),
            "the body or the Host line out of place");
}

void checkHttpAnswer(const std::string &input)
{
    const HttpAnswerHead head = readAnswerHead(input);
    require(head.bodyStart <= input.size() && head.bodyStart <= 4095, "the body starts outside the answer");
    const std::string area = input.substr(0, head.bodyStart);
    require(head.header == area.substr(0, area.find('\0')), "the header is not the start of the answer");
    const bool cut = head.bodyStart == 4095 || head.bodyStart == input.size();
    const size_t n = head.bodyStart;
    require(cut || (n >= 4 && area[n - 1] == '\n' && (area[n - 2] == '\n' || area[n - 3] == '\n')),
            "the header ends before its empty line");
    for (size_t k = 4; k < n; ++k)
        require(!(area[k - 1] == '\n' && (area[k - 2] == '\n' || area[k - 3] == '\n')),
                "the header runs past its empty line");
    require(head.status >= -999 && head.status <= 9999, "a status code of more than four characters");
}

} // namespace zibbles::fuzz
