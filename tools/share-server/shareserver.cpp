#include "shareserver.h"

#include "connection.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/signal_set.hpp>

#include <csignal>
#include <cstdio>
#include <list>
#include <stdexcept>

namespace asio = boost::asio;
using boost::system::error_code;
using asio::ip::tcp;

namespace {

// After a failed accept (no descriptor left, for one), the next try waits this long.
constexpr std::chrono::milliseconds kAcceptPause{100};

void logLine(const std::string &line)
{
    std::fprintf(stdout, "%s\n", line.c_str());
    std::fflush(stdout);
}

} // namespace

struct ShareServer::Loop {
    Loop(LiveShareAnswers &answers, const ServerOptions &options) : answers(answers), options(options) {}

    void accept()
    {
        acceptor.async_accept([this](const error_code &ec, tcp::socket socket) {
            if (ec == asio::error::operation_aborted)
                return;
            if (ec) {
                pause.expires_after(kAcceptPause);
                pause.async_wait([this](const error_code &waited) {
                    if (!waited)
                        accept();
                });
                return;
            }
            serve(std::move(socket));
            accept();
        });
    }

    void serve(tcp::socket socket)
    {
        if (open.size() >= options.maxConnections)
            open.front()->close();
        Connection::Hooks hooks{logLine, [this](Connection &done) { open.erase(done.place); }};
        auto connection = std::make_shared<Connection>(std::move(socket), answers, options.limits, hooks);
        open.push_back(connection);
        connection->place = std::prev(open.end());
        connection->start(options.deadline);
    }

    void stop()
    {
        error_code ignored;
        acceptor.close(ignored);
        pause.cancel();
        while (!open.empty())
            open.front()->close();
    }

    asio::io_context io{1};
    tcp::acceptor acceptor{io};
    asio::steady_timer pause{io};
    asio::signal_set signals{io, SIGINT, SIGTERM};
    LiveShareAnswers &answers;
    ServerOptions options;
    // Oldest first.
    std::list<std::shared_ptr<Connection>> open;
};

ShareServer::ShareServer(LiveShareAnswers &answers, const ServerOptions &options)
    : m_loop(std::make_unique<Loop>(answers, options))
{
}

ShareServer::~ShareServer() = default;

int ShareServer::listen(const std::string &address, int port)
{
    error_code ec;
    const auto ip = asio::ip::make_address(address, ec);
    if (ec)
        throw std::runtime_error("not an address: " + address);
    const tcp::endpoint endpoint(ip, static_cast<unsigned short>(port));
    auto &acceptor = m_loop->acceptor;
    try {
        acceptor.open(endpoint.protocol());
        acceptor.set_option(tcp::acceptor::reuse_address(true));
        acceptor.bind(endpoint);
        acceptor.listen(asio::socket_base::max_listen_connections);
        return acceptor.local_endpoint().port();
    } catch (const boost::system::system_error &e) {
        throw std::runtime_error("cannot listen on " + address + ":" + std::to_string(port) + ": " +
                                 e.code().message());
    }
}

void ShareServer::run()
{
    m_loop->signals.async_wait([this](const error_code &, int) { m_loop->stop(); });
    m_loop->accept();
    m_loop->io.run();
}
