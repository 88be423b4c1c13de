#pragma once
// A sound player that records what it was asked to do. A sound plays from
// play() until close() or until the test ends it with `finish()`.
#include "core/error.h"
#include "platform/mediaplayer.h"

#include <string>
#include <vector>

namespace zibbles::testing {

class FakeMediaPlayer : public MediaPlayer {
public:
    bool isPlaying() override { return m_playing; }
    std::string fileName() const override { return m_fileName; }
    void setFileName(const std::string &path) override { m_fileName = path; }
    void close() override
    {
        calls.push_back("close");
        m_playing = false;
    }
    void open() override
    {
        calls.push_back("open " + m_fileName);
        if (failOpen)
            throw AppError("Cannot open sound " + m_fileName);
    }
    void play() override
    {
        calls.push_back("play " + m_fileName);
        m_playing = true;
    }
    void finish() { m_playing = false; }

    std::vector<std::string> calls;
    bool failOpen = false;

private:
    bool m_playing = false;
    std::string m_fileName;
};

} // namespace zibbles::testing
