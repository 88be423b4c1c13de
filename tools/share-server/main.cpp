// zibbles-share-server [--port N] [--db FILE] [--bind ADDRESS] [--max-bytes N]
// The live-share server that a club can host: uploads and downloads of
// zibbles, kept in one SQLite file. Port 0 takes any free port; the port in
// use is printed on the first line.
#include "shareserver.h"
#include "zibblestore.h"

#include <httplib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

struct Options {
    int port = 8080;
    std::string db = "zibbles-share.db";
    std::string bind = "0.0.0.0";
    int64_t maxBytes = 256LL * 1024 * 1024;
};

[[noreturn]] void usage()
{
    std::fprintf(stderr,
                 "usage: zibbles-share-server [--port N] [--db FILE] [--bind ADDRESS] [--max-bytes N]\n");
    std::exit(2);
}

Options parse(int argc, char **argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc)
            usage();
        const std::string value = argv[++i];
        char *end = nullptr;
        if (arg == "--port") {
            const long port = std::strtol(value.c_str(), &end, 10);
            if (*end || port < 0 || port > 65535)
                usage();
            options.port = int(port);
        } else if (arg == "--db") {
            options.db = value;
        } else if (arg == "--bind") {
            options.bind = value;
        } else if (arg == "--max-bytes") {
            options.maxBytes = std::strtoll(value.c_str(), &end, 10);
            if (*end || options.maxBytes <= 0)
                usage();
        } else {
            usage();
        }
    }
    return options;
}

} // namespace

int main(int argc, char **argv)
{
    const Options options = parse(argc, argv);
    // SIGINT and SIGTERM end the server cleanly; they are taken by sigwait.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    try {
        ZibbleStore store(options.db, options.maxBytes);
        httplib::Server server;
        installLiveShareRoutes(server, store);
        int port = options.port;
        if (port == 0)
            port = server.bind_to_any_port(options.bind);
        else if (!server.bind_to_port(options.bind, port))
            port = -1;
        if (port < 0) {
            std::fprintf(stderr, "zibbles-share-server: cannot listen on %s:%d\n", options.bind.c_str(),
                         options.port);
            return 1;
        }
        std::printf("zibbles-share-server: listening on %s:%d\n", options.bind.c_str(), port);
        std::fflush(stdout);
        std::thread serving([&server] { server.listen_after_bind(); });
        int signal = 0;
        sigwait(&stopSignals, &signal);
        server.stop();
        serving.join();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "zibbles-share-server: %s\n", e.what());
        return 1;
    }
    return 0;
}
