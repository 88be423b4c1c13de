#include "shareserver.h"

#include <httplib.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

const char *const kNotFound = "!Failed!";
const char *const kText = "text/plain";
constexpr size_t kWorkers = 32;

void logRequest(const httplib::Request &req, const httplib::Response &res)
{
    static std::mutex lock;
    std::lock_guard<std::mutex> guard(lock);
    // A request that could not be parsed has no address, method or path.
    const auto field = [](const std::string &s) { return s.empty() ? "-" : s.c_str(); };
    std::fprintf(stdout, "%s %s %s %d %zu\n", field(req.remote_addr), field(req.method), field(req.path), res.status,
                 res.body.size());
    std::fflush(stdout);
}

// The form body is read here rather than by the library, whose own form
// parser refuses anything over 8 KiB.
void upload(ZibbleStore &store, const httplib::Request &, httplib::Response &res,
            const httplib::ContentReader &reader)
{
    std::string body;
    bool tooLarge = false;
    const bool complete = reader([&](const char *data, size_t size) {
        if (body.size() + size > kMaxUploadBytes) {
            tooLarge = true;
            return false;
        }
        body.append(data, size);
        return true;
    });
    // The library itself stops a body over its limit before it reaches us.
    if (!complete || tooLarge) {
        res.status = 413;
        res.set_content("too large", kText);
        return;
    }
    httplib::Params form;
    httplib::detail::parse_query_text(body, form);
    const auto field = form.find("zibblef");
    if (field == form.end()) {
        res.status = 400;
        res.set_content("missing zibblef", kText);
        return;
    }
    const auto id = store.add(field->second);
    if (!id) {
        res.status = 507;
        res.set_content("store full", kText);
        return;
    }
    res.set_content(id->text(), kText);
}

// A body announced as too large is refused before any of it is read.
httplib::Server::HandlerResponse refuseLargeBodies(const httplib::Request &req, httplib::Response &res)
{
    const std::string length = req.get_header_value("Content-Length");
    const bool tooLarge = length.size() > 9 || (!length.empty() && std::strtoull(length.c_str(), nullptr, 10) > kMaxUploadBytes);
    if (!tooLarge)
        return httplib::Server::HandlerResponse::Unhandled;
    res.status = 413;
    res.set_content("too large", kText);
    return httplib::Server::HandlerResponse::Handled;
}

void download(ZibbleStore &store, const httplib::Request &req, httplib::Response &res)
{
    const auto id = parseZibbleId(req.get_param_value("c"), req.get_param_value("id"));
    const auto text = id ? store.find(*id) : std::nullopt;
    res.set_content(text ? *text : std::string(kNotFound), kText);
}

} // namespace

std::optional<ZibbleId> parseZibbleId(const std::string &letter, const std::string &number)
{
    if (letter.size() != 1 || !((letter[0] >= 'A' && letter[0] <= 'Z') || (letter[0] >= 'a' && letter[0] <= 'z')))
        return std::nullopt;
    if (number.empty() || number.size() > 10 || number.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const int64_t value = std::stoll(number);
    if (value <= 100)
        return std::nullopt;
    return ZibbleId{char(letter[0] & ~0x20), value};
}

void installLiveShareRoutes(httplib::Server &server, ZibbleStore &store)
{
    server.set_payload_max_length(kMaxUploadBytes);
    // The program sends one request per connection; nothing is kept open
    // for a second one, and a slow client is dropped.
    server.set_keep_alive_max_count(1);
    server.set_read_timeout(10, 0);
    server.new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
    server.set_pre_routing_handler(refuseLargeBodies);
    server.set_logger(logRequest);
    server.Post("/zibbles/liveshare/upload.asp",
                [&store](const httplib::Request &req, httplib::Response &res, const httplib::ContentReader &reader) {
                    upload(store, req, res, reader);
                });
    server.Get("/zibbles/liveshare/download.asp",
               [&store](const httplib::Request &req, httplib::Response &res) { download(store, req, res); });
    server.set_exception_handler([](const httplib::Request &, httplib::Response &res, std::exception_ptr) {
        res.status = 500;
        res.set_content("server error", kText);
    });
}
