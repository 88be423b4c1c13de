#pragma once
// One client's connection: its request goes into an HttpExchange and the
// answer goes back, all within one deadline counted from the moment it was
// accepted, however the bytes trickle in. After the answer the server stops
// sending and, for a short while, reads and drops whatever the client still
// sends, so that the answer is not lost to a reset when the socket closes.
#include "httpexchange.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>

#include <array>
#include <chrono>
#include <functional>
#include <list>
#include <memory>
#include <string>

class Connection : public std::enable_shared_from_this<Connection> {
public:
    struct Hooks {
        // One line per answered request: the client's address and the summary.
        std::function<void(const std::string &line)> log;
        std::function<void(Connection &)> closed;
    };
    // How long the client is given to read the answer and end its side.
    static constexpr std::chrono::milliseconds kLinger{500};

    Connection(boost::asio::ip::tcp::socket socket, LiveShareAnswers &answers, const HttpLimits &limits,
               Hooks hooks);
    void start(std::chrono::milliseconds deadline);
    // Ends the connection at once, answered or not.
    void close();

    // The server's own mark of where it keeps this connection.
    std::list<std::shared_ptr<Connection>>::iterator place;

private:
    enum class State { Reading, Answering, Lingering, Closed };
    void read();
    void onRead(const boost::system::error_code &ec, std::size_t size);
    void answer();
    void linger();
    void drain();
    void wait();
    void onTimer(const boost::system::error_code &ec);

    boost::asio::ip::tcp::socket m_socket;
    boost::asio::steady_timer m_timer;
    HttpExchange m_exchange;
    Hooks m_hooks;
    State m_state = State::Reading;
    std::string m_remote;
    std::array<char, 4096> m_buffer;
};
