#pragma once
// A name server that answers only when the test lets it: a stand-in for a
// slow resolver. What it shares with the look-up's worker thread outlives
// both the test's objects and the client under test.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace zibbles::testing {

class HeldNameServer {
public:
    // A resolver for TTCPClient::resolveName that blocks until release(), or
    // for 10 s at most, and then gives `error` and `address`.
    auto resolver(int error, uint32_t address)
    {
        return [state = m_state, error, address](const std::string &, uint32_t &out) {
            std::unique_lock<std::mutex> lock(state->lock);
            state->changed.wait_for(lock, std::chrono::seconds(10), [&] { return state->released; });
            state->answered = true;
            state->changed.notify_all();
            out = address;
            return error;
        };
    }
    void release()
    {
        std::lock_guard<std::mutex> guard(m_state->lock);
        m_state->released = true;
        m_state->changed.notify_all();
    }
    bool answered() const
    {
        std::lock_guard<std::mutex> guard(m_state->lock);
        return m_state->answered;
    }
    void waitUntilAnswered()
    {
        std::unique_lock<std::mutex> lock(m_state->lock);
        m_state->changed.wait_for(lock, std::chrono::seconds(10), [&] { return m_state->answered; });
    }

private:
    struct State {
        mutable std::mutex lock;
        std::condition_variable changed;
        bool released = false;
        bool answered = false;
    };
    std::shared_ptr<State> m_state = std::make_shared<State>();
};

} // namespace zibbles::testing
