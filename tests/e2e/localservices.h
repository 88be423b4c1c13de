#pragma once
// Servers of the test's own on this machine for the program under test: a
// PulseAudio server whose only sink is a null one, so that sounds play
// without a sound card, and the live-share server on a loopback port.
#include "x11harness.h"

#include <memory>
#include <string>

namespace e2e {

class SoundServer {
public:
    // Its socket and state live in `folder`; throws std::runtime_error when
    // it does not come up.
    explicit SoundServer(const TempFolder &folder);
    // For PULSE_SERVER.
    std::string address() const { return "unix:" + m_socket; }
    // What `pactl list sink-inputs` says: the streams playing into the sink.
    std::string streams() const;

private:
    int pactl(const std::string &command, std::string *output) const;

    const TempFolder &m_folder;
    std::string m_socket;
    std::unique_ptr<ChildProcess> m_process;
};

class ShareServer {
public:
    // Keeps its zibbles in a file of `folder`; throws std::runtime_error when
    // it names no port.
    explicit ShareServer(const TempFolder &folder);
    // "127.0.0.1:PORT", as the live-share host setting names it.
    const std::string &host() const { return m_host; }
    // What it has printed: the line of its port, then one line per request.
    std::string requests() const;

private:
    std::string m_log;
    std::string m_host;
    std::unique_ptr<ChildProcess> m_process;
};

} // namespace e2e
