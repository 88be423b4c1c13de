#include "localservices.h"

#include <fstream>
#include <iterator>
#include <regex>
#include <stdexcept>

using namespace std::chrono_literals;

namespace e2e {

namespace {

std::map<std::string, std::string> ownEnvironment(const TempFolder &folder)
{
    return {{"HOME", folder.path()},
            {"XDG_RUNTIME_DIR", folder.path()},
            {"XDG_CONFIG_HOME", folder.path() + "/config"},
            // No session bus: nothing may start a dbus-daemon that outlives the test.
            {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + folder.path() + "/no-bus"}};
}

} // namespace

SoundServer::SoundServer(const TempFolder &folder) : m_folder(folder), m_socket(folder.path() + "/sound.socket")
{
    // No configuration of the system's: only the socket and the null sink.
    m_process = std::make_unique<ChildProcess>(
        std::vector<std::string>{"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                                 "--disable-shm=yes", "--log-target=file:" + folder.path() + "/pulseaudio.log",
                                 "-L", "module-native-protocol-unix socket=" + m_socket + " auth-anonymous=1", "-L",
                                 "module-null-sink sink_name=zibbles_null"},
        ownEnvironment(folder));
    std::string sinks;
    if (!waitFor([&] { return pactl("list short sinks", &sinks) == 0 && sinks.find("zibbles_null") != sinks.npos; },
                 20s))
        throw std::runtime_error("PulseAudio did not come up with its null sink");
}

std::string SoundServer::streams() const
{
    std::string output;
    pactl("list sink-inputs", &output);
    return output;
}

int SoundServer::pactl(const std::string &command, std::string *output) const
{
    std::vector<std::string> argv{"pactl", "-s", address()};
    for (size_t at = 0; at < command.size();) {
        const size_t blank = command.find(' ', at);
        argv.push_back(command.substr(at, blank == command.npos ? command.npos : blank - at));
        at = blank == command.npos ? command.size() : blank + 1;
    }
    return runForOutput(argv, ownEnvironment(m_folder), 10s, output);
}

ShareServer::ShareServer(const TempFolder &folder) : m_log(folder.path() + "/share-server.log")
{
    m_process = std::make_unique<ChildProcess>(
        std::vector<std::string>{"/bin/sh", "-c", "exec \"$0\" \"$@\" >\"$ZIBBLES_SHARE_LOG\"", ZIBBLES_SHARE_SERVER,
                                 "--port", "0", "--bind", "127.0.0.1", "--db", folder.path() + "/share.db"},
        std::map<std::string, std::string>{{"ZIBBLES_SHARE_LOG", m_log}});
    // Its first line names the port it took.
    const std::regex listening(":(\\d+)\n");
    std::smatch port;
    std::string first;
    if (!waitFor([&] {
            first = requests();
            return std::regex_search(first, port, listening);
        }, 20s))
        throw std::runtime_error("the share server named no port: " + first);
    m_host = "127.0.0.1:" + port[1].str();
}

std::string ShareServer::requests() const
{
    std::ifstream in(m_log, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace e2e
