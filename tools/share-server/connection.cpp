#include "connection.h"

#include <boost/asio/write.hpp>

namespace asio = boost::asio;
using boost::system::error_code;

Connection::Connection(asio::ip::tcp::socket socket, LiveShareAnswers &answers, const HttpLimits &limits,
                       Hooks hooks)
    : m_socket(std::move(socket))
    , m_timer(m_socket.get_executor())
    , m_exchange(answers, limits)
    , m_hooks(std::move(hooks))
{
    error_code ec;
    const auto remote = m_socket.remote_endpoint(ec);
    m_remote = ec ? "-" : remote.address().to_string();
}

void Connection::start(std::chrono::milliseconds deadline)
{
    m_timer.expires_after(deadline);
    wait();
    read();
}

void Connection::wait()
{
    m_timer.async_wait([self = shared_from_this()](const error_code &ec) { self->onTimer(ec); });
}

void Connection::read()
{
    m_socket.async_read_some(asio::buffer(m_buffer),
                             [self = shared_from_this()](const error_code &ec, std::size_t size) {
                                 self->onRead(ec, size);
                             });
}

void Connection::onRead(const error_code &ec, std::size_t size)
{
    if (m_state != State::Reading)
        return;
    if (ec == asio::error::eof) {
        if (m_exchange.ended())
            answer();
        else
            close();
    } else if (ec) {
        close();
    } else if (m_exchange.received({m_buffer.data(), size})) {
        answer();
    } else {
        read();
    }
}

void Connection::answer()
{
    m_state = State::Answering;
    if (m_hooks.log)
        m_hooks.log(m_remote + " " + m_exchange.summary());
    asio::async_write(m_socket, asio::buffer(m_exchange.answerBytes()),
                      [self = shared_from_this()](const error_code &ec, std::size_t) {
                          if (self->m_state != State::Answering)
                              return;
                          if (ec)
                              self->close();
                          else
                              self->linger();
                      });
}

void Connection::linger()
{
    m_state = State::Lingering;
    error_code ignored;
    m_socket.shutdown(asio::ip::tcp::socket::shutdown_send, ignored);
    if (m_timer.expiry() > std::chrono::steady_clock::now() + kLinger) {
        m_timer.expires_after(kLinger);
        wait();
    }
    drain();
}

void Connection::drain()
{
    m_socket.async_read_some(asio::buffer(m_buffer), [self = shared_from_this()](const error_code &ec, std::size_t) {
        if (self->m_state != State::Lingering)
            return;
        if (ec)
            self->close();
        else
            self->drain();
    });
}

void Connection::onTimer(const error_code &ec)
{
    // A wait that was replaced by a later one, or a connection already closed.
    if (ec == asio::error::operation_aborted || m_state == State::Closed ||
        m_timer.expiry() > std::chrono::steady_clock::now())
        return;
    if (m_state != State::Reading) {
        close();
        return;
    }
    // Time is up for the request: it is answered 408, and the answer itself
    // gets only the linger time.
    if (!m_exchange.expired()) {
        close();
        return;
    }
    error_code ignored;
    m_socket.cancel(ignored);
    m_timer.expires_after(kLinger);
    wait();
    answer();
}

void Connection::close()
{
    if (m_state == State::Closed)
        return;
    const auto keep = shared_from_this(); // the server lets go of it below
    m_state = State::Closed;
    error_code ignored;
    m_socket.close(ignored);
    m_timer.cancel();
    if (m_hooks.closed)
        m_hooks.closed(*this);
}
