#pragma once
// The log a stand-in chat window (tools/there-chat, tools/wine-chat) keeps
// of the lines it receives, each ended by a line feed.
#include <chrono>
#include <string>
#include <vector>

namespace e2e {

// The whole content of a file; empty when it cannot be read.
std::string readFile(const std::string &path);

class ChatLog {
public:
    explicit ChatLog(std::string path) : m_path(std::move(path)) {}

    const std::string &path() const { return m_path; }
    // The lines logged so far, without their line feeds; a line still being
    // written is left out.
    std::vector<std::string> lines() const;
    // Waits until at least `count` lines are logged; the lines then.
    std::vector<std::string> waitForLines(size_t count, std::chrono::milliseconds timeout) const;

private:
    std::string m_path;
};

} // namespace e2e
