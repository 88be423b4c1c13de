#include "httpexchange.h"

#include "formdecoder.h"

#include <boost/beast/http.hpp>

#include <exception>

namespace http = boost::beast::http;
using boost::beast::error_code;

namespace {

const char *const kUploadPath = "/zibbles/liveshare/upload.asp";
const char *const kDownloadPath = "/zibbles/liveshare/download.asp";
// An ID's letter and number are short; anything longer is no ID.
constexpr size_t kMaxIdFieldBytes = 16;
constexpr size_t kHeadSlack = 1024;

// A request body decoded as a form while it arrives; only the zibble is kept.
struct FormBody {
    using value_type = FormDecoder;

    class reader {
    public:
        template <bool isRequest, class Fields>
        reader(http::header<isRequest, Fields> &, value_type &form) : m_form(form)
        {
        }
        void init(const boost::optional<std::uint64_t> &, error_code &ec) { ec = {}; }
        template <class ConstBufferSequence>
        std::size_t put(const ConstBufferSequence &buffers, error_code &ec)
        {
            std::size_t size = 0;
            for (const auto buffer : boost::beast::buffers_range_ref(buffers)) {
                m_form.feed({static_cast<const char *>(buffer.data()), buffer.size()});
                size += buffer.size();
            }
            ec = m_form.overLimit() ? error_code(http::error::body_limit) : error_code();
            return size;
        }
        void finish(error_code &ec)
        {
            m_form.finish();
            ec = m_form.overLimit() ? error_code(http::error::body_limit) : error_code();
        }

    private:
        value_type &m_form;
    };
};

int statusOf(const error_code &ec)
{
    if (ec == http::error::header_limit)
        return 431;
    if (ec == http::error::body_limit)
        return 413;
    return 400;
}

} // namespace

struct HttpExchange::Parser {
    http::request_parser<FormBody> parser;
};

HttpExchange::HttpExchange(LiveShareAnswers &answers, const HttpLimits &limits)
    : m_answers(answers), m_parser(std::make_unique<Parser>()), m_headLimit(limits.headBytes)
{
    // The parser's own count of the head leaves out a few bytes, so the cap
    // is counted here; the parser's limit only stops it from looking further.
    m_parser->parser.header_limit(std::uint32_t(limits.headBytes + kHeadSlack));
    m_parser->parser.body_limit(std::uint64_t(limits.bodyBytes));
    // It stops at the end of the head, so that the head's size is known.
    m_parser->parser.eager(false);
    m_parser->parser.get().body().want("zibblef", kMaxZibbleBytes);
}

HttpExchange::~HttpExchange() = default;

bool HttpExchange::received(std::string_view bytes)
{
    if (answered())
        return true;
    m_anyBytes = m_anyBytes || !bytes.empty();
    m_pending.append(bytes);
    auto &parser = m_parser->parser;
    while (!m_pending.empty() && !parser.is_done()) {
        const bool inHead = !parser.is_header_done();
        error_code ec;
        const std::size_t used = parser.put(boost::asio::buffer(m_pending), ec);
        m_pending.erase(0, used);
        if (inHead)
            m_headBytes += used;
        if (ec == http::error::need_more)
            break;
        if (ec) {
            refuse(statusOf(ec));
            return true;
        }
        if (inHead && parser.is_header_done())
            parser.eager(true);
        if (used == 0)
            break;
    }
    // A head over the cap, whole or still coming, whichever way its bytes came.
    if (parser.is_header_done() ? m_headBytes > m_headLimit : m_headBytes + m_pending.size() > m_headLimit)
        refuse(431);
    else if (parser.is_done())
        route();
    return answered();
}

bool HttpExchange::ended()
{
    if (answered() || !m_anyBytes)
        return answered();
    error_code ec;
    m_parser->parser.put_eof(ec);
    if (ec)
        refuse(statusOf(ec));
    else
        route();
    return true;
}

bool HttpExchange::expired()
{
    if (!answered() && m_anyBytes)
        refuse(408);
    return answered();
}

void HttpExchange::noteRequestLine()
{
    const auto &parser = m_parser->parser;
    if (!parser.is_header_done())
        return;
    m_method = std::string(parser.get().method_string());
    const std::string_view target(parser.get().target().data(), parser.get().target().size());
    m_path = std::string(target.substr(0, target.find('?')));
}

void HttpExchange::refuse(int status)
{
    noteRequestLine();
    answer(status == 413 ? LiveShareAnswers::zibbleTooLarge() : Answer{status, ""});
}

void HttpExchange::route()
{
    noteRequestLine();
    const auto &request = m_parser->parser.get();
    const std::string_view target(request.target().data(), request.target().size());
    const size_t question = target.find('?');
    try {
        if (request.method() == http::verb::post && m_path == kUploadPath) {
            answer(m_answers.upload(request.body().value("zibblef")));
        } else if (request.method() == http::verb::get && m_path == kDownloadPath) {
            FormDecoder query;
            query.want("c", kMaxIdFieldBytes);
            query.want("id", kMaxIdFieldBytes);
            if (question != std::string_view::npos)
                query.feed(target.substr(question + 1));
            query.finish();
            answer(m_answers.download(query.value("c"), query.value("id")));
        } else {
            answer({404, ""});
        }
    } catch (const std::exception &) {
        answer({500, "server error"});
    }
}

void HttpExchange::answer(const Answer &answer)
{
    m_status = answer.status;
    m_bodyBytes = answer.body.size();
    const auto reason = http::obsolete_reason(http::status(answer.status));
    m_answer = "HTTP/1.1 " + std::to_string(answer.status) + " " + std::string(reason) +
               "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(answer.body.size()) +
               "\r\nConnection: close\r\n\r\n" + answer.body;
}

std::string HttpExchange::summary() const
{
    const auto field = [](const std::string &s) { return s.empty() ? std::string("-") : s; };
    return field(m_method) + " " + field(m_path) + " " + std::to_string(m_status) + " " + std::to_string(m_bodyBytes);
}
