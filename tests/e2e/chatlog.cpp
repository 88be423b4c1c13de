#include "chatlog.h"

#include "x11harness.h"

#include <fstream>
#include <sstream>

namespace e2e {

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

std::vector<std::string> ChatLog::lines() const
{
    std::vector<std::string> result;
    std::string line;
    for (const char c : readFile(m_path)) {
        if (c == '\n') {
            result.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    return result;
}

std::vector<std::string> ChatLog::waitForLines(size_t count, std::chrono::milliseconds timeout) const
{
    std::vector<std::string> result;
    waitFor([&] {
        result = lines();
        return result.size() >= count;
    }, timeout);
    return result;
}

} // namespace e2e
