#pragma once
// One request and its answer, without the socket: the bytes that the client
// sends go in, the bytes of the answer come out. The head and the body of a
// request are capped; a request over a cap, one that cannot be read and one
// whose time is up are answered with an error at once. Every answer closes
// the connection.
#include "shareanswers.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

struct HttpLimits {
    // The request line and every header line together.
    size_t headBytes = 8 * 1024;
    // Room for the largest zibble with every byte encoded as "%XX".
    size_t bodyBytes = 3 * kMaxZibbleBytes + 1024;
};

class HttpExchange {
public:
    HttpExchange(LiveShareAnswers &answers, const HttpLimits &limits);
    ~HttpExchange();
    HttpExchange(const HttpExchange &) = delete;
    HttpExchange &operator=(const HttpExchange &) = delete;

    // Bytes from the client; true once the answer is ready. Bytes after a
    // complete request are not looked at.
    bool received(std::string_view bytes);
    // The client sends no more; true when there is an answer to send (a
    // client that sent nothing gets none).
    bool ended();
    // The time for the request is up; true when there is an answer to send:
    // 408 unless answered already (a client that sent nothing gets none).
    bool expired();

    bool answered() const { return !m_answer.empty(); }
    const std::string &answerBytes() const { return m_answer; }
    // "METHOD PATH STATUS BODY-BYTES", with "-" for what the request did not show.
    std::string summary() const;

private:
    struct Parser;
    void answer(const Answer &answer);
    void refuse(int status);
    void noteRequestLine();
    void route();

    LiveShareAnswers &m_answers;
    std::unique_ptr<Parser> m_parser;
    size_t m_headLimit;
    // Bytes that the parser has not taken yet: at most the head.
    std::string m_pending;
    size_t m_headBytes = 0;
    bool m_anyBytes = false;
    std::string m_method;
    std::string m_path;
    int m_status = 0;
    size_t m_bodyBytes = 0;
    std::string m_answer;
};
