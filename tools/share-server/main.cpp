// zibbles-share-server [--port N] [--db FILE] [--bind ADDRESS] [--max-bytes N]
//                      [--deadline-ms N] [--max-connections N]
// The live-share server that a club can host: uploads and downloads of
// zibbles, kept in one SQLite file. Port 0 takes any free port; the port in
// use is printed on the first line. Each request, from its connection to its
// answer, is given --deadline-ms (default 10000); at --max-connections
// (default 512) open at once, a new one ends the oldest.
#include "shareanswers.h"
#include "shareserver.h"
#include "zibblestore.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>

namespace {

struct Options {
    int port = 8080;
    std::string db = "zibbles-share.db";
    std::string bind = "0.0.0.0";
    int64_t maxBytes = 256LL * 1024 * 1024;
    ServerOptions server;
};

[[noreturn]] void usage()
{
    std::fprintf(stderr, "usage: zibbles-share-server [--port N] [--db FILE] [--bind ADDRESS] [--max-bytes N]\n"
                         "                            [--deadline-ms N] [--max-connections N]\n");
    std::exit(2);
}

// A whole decimal number from `low` to `high`.
long long number(const std::string &text, long long low, long long high)
{
    char *end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end || value < low || value > high)
        usage();
    return value;
}

Options parse(int argc, char **argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc)
            usage();
        const std::string value = argv[++i];
        if (arg == "--port")
            options.port = int(number(value, 0, 65535));
        else if (arg == "--db")
            options.db = value;
        else if (arg == "--bind")
            options.bind = value;
        else if (arg == "--max-bytes")
            options.maxBytes = number(value, 1, INT64_MAX);
        else if (arg == "--deadline-ms")
            options.server.deadline = std::chrono::milliseconds(number(value, 1, 3600 * 1000));
        else if (arg == "--max-connections")
            options.server.maxConnections = size_t(number(value, 1, 1000000));
        else
            usage();
    }
    return options;
}

// Room for every connection besides the store and the listening socket;
// fewer connections when the system allows no more descriptors.
void fitDescriptors(ServerOptions &server)
{
    constexpr rlim_t kOwnDescriptors = 32;
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return;
    const rlim_t wanted = rlim_t(server.maxConnections) + kOwnDescriptors;
    if (limit.rlim_cur < wanted) {
        limit.rlim_cur = limit.rlim_max == RLIM_INFINITY ? wanted : std::min(wanted, limit.rlim_max);
        setrlimit(RLIMIT_NOFILE, &limit);
        getrlimit(RLIMIT_NOFILE, &limit);
    }
    if (limit.rlim_cur < wanted && limit.rlim_cur > kOwnDescriptors) {
        server.maxConnections = size_t(limit.rlim_cur - kOwnDescriptors);
        std::fprintf(stderr, "zibbles-share-server: at most %zu connections (descriptor limit)\n",
                     server.maxConnections);
    }
}

} // namespace

int main(int argc, char **argv)
{
    Options options = parse(argc, argv);
    std::signal(SIGPIPE, SIG_IGN);
    fitDescriptors(options.server);
    try {
        ZibbleStore store(options.db, options.maxBytes);
        LiveShareAnswers answers(store);
        ShareServer server(answers, options.server);
        const int port = server.listen(options.bind, options.port);
        std::printf("zibbles-share-server: listening on %s:%d\n", options.bind.c_str(), port);
        std::fflush(stdout);
        server.run();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "zibbles-share-server: %s\n", e.what());
        return 1;
    }
    return 0;
}
