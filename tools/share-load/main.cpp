// share-load MODE HOST:PORT ...: hostile clients against a live-share
// server, for scripts/bench-server. Figures are printed "name: value".
//   flood HOST:PORT BYTES
//       one connection that sends a request head of endless header lines,
//       up to BYTES or until the server stops taking them
//   crowd HOST:PORT DRIP IDLE ROUNDS [DRIP_MS]
//       DRIP connections that each send one byte of a request head every
//       DRIP_MS (default 5000) and IDLE connections that send nothing, each
//       opened again when the server closes it; meanwhile ROUNDS times, one
//       second apart, a normal upload and a normal download with the
//       program's own HTTP client, timed
#include "platform/qt/qteventloop.h"
#include "share/hurl.h"

#include <QCoreApplication>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace zibbles;

namespace {

using Clock = std::chrono::steady_clock;

struct Address {
    std::string host;
    int port = 0;
    std::string text() const { return host + ":" + std::to_string(port); }
};

[[noreturn]] void usage()
{
    std::fprintf(stderr, "usage: share-load flood HOST:PORT BYTES\n"
                         "       share-load crowd HOST:PORT DRIP IDLE ROUNDS [DRIP_MS]\n");
    std::exit(2);
}

long number(const char *text)
{
    char *end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end || value < 0)
        usage();
    return value;
}

Address parseAddress(const std::string &text)
{
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos)
        usage();
    return {text.substr(0, colon), int(number(text.c_str() + colon + 1))};
}

// A non-blocking socket whose connection to `to` is under way; -1 on failure.
int startConnect(const Address &to)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(uint16_t(to.port));
    if (inet_pton(AF_INET, to.host.c_str(), &sa.sin_addr) != 1 ||
        (connect(fd, reinterpret_cast<sockaddr *>(&sa), sizeof sa) < 0 && errno != EINPROGRESS)) {
        close(fd);
        return -1;
    }
    return fd;
}

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// ---- flood

int flood(const Address &to, long long bytes)
{
    const int fd = startConnect(to);
    if (fd < 0) {
        std::perror("share-load: connect");
        return 1;
    }
    std::string chunk = "POST /zibbles/liveshare/upload.asp HTTP/1.0\r\n";
    const std::string line = "X-Flood: " + std::string(90, 'f') + "\r\n";
    while (chunk.size() < 64 * 1024)
        chunk += line;
    long long sent = 0;
    std::string answer;
    bool closed = false;
    size_t offset = 0;
    while (sent < bytes && !closed) {
        pollfd p{fd, POLLIN | POLLOUT, 0};
        if (poll(&p, 1, 30000) <= 0) {
            std::printf("flood_stalled: yes\n");
            break;
        }
        if (p.revents & (POLLIN | POLLHUP | POLLERR)) {
            char buffer[4096];
            const ssize_t n = read(fd, buffer, sizeof buffer);
            if (n > 0)
                answer.append(buffer, size_t(n));
            else
                closed = true;
        }
        if (!closed && (p.revents & POLLOUT)) {
            const size_t size = size_t(std::min<long long>(chunk.size() - offset, bytes - sent));
            const ssize_t n = send(fd, chunk.data() + offset, size, MSG_NOSIGNAL);
            if (n < 0 && errno != EAGAIN)
                closed = true;
            if (n > 0) {
                sent += n;
                // After the first pass the head goes on with header lines only.
                offset = (offset + size_t(n)) % chunk.size();
                if (offset == 0)
                    offset = chunk.find("X-Flood");
            }
        }
    }
    close(fd);
    const std::string status = answer.substr(0, answer.find('\r'));
    std::printf("flood_sent_bytes: %lld\n", sent);
    std::printf("flood_closed_by_server: %s\n", closed ? "yes" : "no");
    std::printf("flood_answer: %s\n", status.empty() ? "none" : status.c_str());
    return 0;
}

// ---- crowd

// The hostile connections, kept open (and opened again) on their own thread
// until stop() is called.
class Crowd {
public:
    Crowd(const Address &to, int drip, int idle, int dripMs) : m_to(to), m_dripMs(dripMs)
    {
        for (int i = 0; i < drip + idle; ++i)
            m_conns.push_back(Conn{-1, i < drip, false, false, 0, Clock::now()});
        if (pipe2(m_wake, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe");
        m_thread = std::thread([this] { run(); });
    }
    ~Crowd()
    {
        stop();
        for (const Conn &c : m_conns)
            if (c.fd >= 0)
                close(c.fd);
        close(m_wake[0]);
        close(m_wake[1]);
    }
    void stop()
    {
        if (m_thread.joinable()) {
            (void)!write(m_wake[1], "x", 1);
            m_thread.join();
        }
    }
    // Connections that the server took at least once.
    int established() const { return m_established; }
    int reopened() const { return std::max(0, m_opened - int(m_conns.size())); }
    int open() const { return m_open; }

private:
    struct Conn {
        int fd;
        bool drip;
        bool connected;
        bool counted;
        size_t sent;
        Clock::time_point next;
    };
    static constexpr const char *kHead = "POST /zibbles/liveshare/upload.asp HTTP/1.0\r\nX-Drip: ";

    // A closed connection is opened again at once; one that could not be
    // opened is tried again 100 ms later.
    void closed(Conn &c)
    {
        close(c.fd);
        c.fd = -1;
        reopen(c);
    }
    void reopen(Conn &c)
    {
        c.fd = startConnect(m_to);
        c.connected = false;
        c.sent = 0;
        c.next = Clock::now();
        if (c.fd >= 0)
            ++m_opened;
        else
            c.next += std::chrono::milliseconds(100);
    }
    void dripOne(Conn &c)
    {
        const size_t headSize = std::strlen(kHead);
        const char byte = c.sent < headSize ? kHead[c.sent] : 'd';
        if (send(c.fd, &byte, 1, MSG_NOSIGNAL) == 1)
            ++c.sent;
        c.next = Clock::now() + std::chrono::milliseconds(m_dripMs);
    }
    void run()
    {
        for (Conn &c : m_conns)
            reopen(c);
        for (;;) {
            std::vector<pollfd> fds{{m_wake[0], POLLIN, 0}};
            Clock::time_point next = Clock::now() + std::chrono::seconds(1);
            int open = 0;
            for (const Conn &c : m_conns) {
                const bool write = !c.connected || (c.drip && c.next <= Clock::now());
                fds.push_back({c.fd, short(POLLIN | (write ? POLLOUT : 0)), 0});
                if (c.drip || c.fd < 0)
                    next = std::min(next, c.next);
                open += c.fd >= 0;
            }
            m_open = open;
            const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now()).count();
            poll(fds.data(), fds.size(), int(std::max<long long>(0, wait)) + 1);
            if (fds[0].revents)
                return;
            for (size_t i = 0; i < m_conns.size(); ++i) {
                Conn &c = m_conns[i];
                const short ev = fds[i + 1].revents;
                if (c.fd < 0) {
                    if (c.next <= Clock::now())
                        reopen(c);
                    continue;
                }
                if (ev & (POLLIN | POLLHUP | POLLERR)) {
                    char buffer[4096];
                    if (read(c.fd, buffer, sizeof buffer) <= 0) {
                        closed(c);
                        continue;
                    }
                }
                if ((ev & POLLOUT) && !c.connected) {
                    c.connected = true;
                    if (!c.counted) {
                        c.counted = true;
                        ++m_established;
                    }
                }
                if ((ev & POLLOUT) && c.drip && c.next <= Clock::now())
                    dripOne(c);
            }
        }
    }

    Address m_to;
    int m_dripMs;
    std::vector<Conn> m_conns;
    int m_wake[2] = {-1, -1};
    std::atomic<int> m_opened{0};
    std::atomic<int> m_established{0};
    std::atomic<int> m_open{0};
    std::thread m_thread;
};

// How long each exchange took, a failed one (time-out) included.
struct Timing {
    std::vector<double> ms;
    int ok = 0;
    void add(bool answered, double took)
    {
        ms.push_back(took);
        ok += answered;
    }
    void print(const char *name) const
    {
        std::vector<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        const double median = sorted.empty() ? 0 : sorted[sorted.size() / 2];
        const double max = sorted.empty() ? 0 : sorted.back();
        std::printf("%s_ok: %d of %zu\n", name, ok, ms.size());
        std::printf("%s_median_ms: %.1f\n%s_max_ms: %.1f\n", name, median, name, max);
    }
};

// One request as the program makes it; the status, the body and how long it took.
struct Exchange {
    int status;
    std::string body;
    double ms;
};

Exchange exchange(QtMessagePump &pump, const Address &to, const std::string &pathAndQuery, const std::string *post)
{
    THttpUrlRequest request(pump);
    request.setURL("http://" + to.text() + pathAndQuery);
    request.AddRequestHeader("User-Agent", "Zibbles");
    request.AddRequestHeader("Host", to.text());
    if (post) {
        request.RequestMethod = methPost;
        request.PostData = "v=1&zibblef=" + UrlEncode(*post);
    }
    const auto start = Clock::now();
    const int status = request.Execute(30);
    const double ms = msSince(start);
    return {status, status == 200 ? request.ReadResponse(false) : std::string(), ms};
}

int crowd(const Address &to, int drip, int idle, int rounds, int dripMs)
{
    QtMessagePump pump;
    const std::string zibble = "'heyhey\r\nHello from the bench\r\n%delay=\"1000\"%";
    const Exchange first = exchange(pump, to, "/zibbles/liveshare/upload.asp", &zibble);
    if (first.status != 200) {
        std::fprintf(stderr, "share-load: the server does not take uploads (%d)\n", first.status);
        return 1;
    }
    const std::string id = first.body;
    const std::string download =
        "/zibbles/liveshare/download.asp?v=1&c=" + id.substr(0, 1) + "&id=" + id.substr(std::min<size_t>(2, id.size()));

    Crowd hostile(to, drip, idle, dripMs);
    // Every hostile connection is open before the first measured exchange.
    const auto start = Clock::now();
    while (hostile.established() < drip + idle && msSince(start) < 10000)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::this_thread::sleep_for(std::chrono::seconds(1));
    Timing up;
    Timing down;
    int minOpen = drip + idle;
    for (int round = 0; round < rounds; ++round) {
        minOpen = std::min(minOpen, hostile.open());
        const Exchange u = exchange(pump, to, "/zibbles/liveshare/upload.asp", &zibble);
        up.add(u.status == 200, u.ms);
        const Exchange d = exchange(pump, to, download, nullptr);
        down.add(d.status == 200 && d.body == zibble, d.ms);
        std::fprintf(stderr, "round %d: %d hostile open; upload %d in %.1f ms, download %d in %.1f ms\n", round + 1,
                     hostile.open(), u.status, u.ms, d.status, d.ms);
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    hostile.stop();
    std::printf("crowd: %d dripping (one byte every %d ms), %d idle\n", drip, dripMs, idle);
    std::printf("crowd_min_open: %d\ncrowd_reopened: %d\n", minOpen, hostile.reopened());
    up.print("upload");
    down.print("download");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    signal(SIGPIPE, SIG_IGN);
    if (argc < 4)
        usage();
    const std::string mode = argv[1];
    const Address to = parseAddress(argv[2]);
    if (mode == "flood" && argc == 4)
        return flood(to, number(argv[3]));
    if (mode == "crowd" && (argc == 6 || argc == 7)) {
        QCoreApplication app(argc, argv);
        return crowd(to, int(number(argv[3])), int(number(argv[4])), int(number(argv[5])),
                     argc == 7 ? int(number(argv[6])) : 5000);
    }
    usage();
}
