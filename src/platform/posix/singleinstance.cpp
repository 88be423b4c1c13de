#include "platform/singleinstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include <cctype>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace zibbles {

namespace {

// ":0", ":0.0" and "unix:0" are one display; the name keeps only what a
// file name may hold.
std::string displayKey()
{
    std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    const auto colon = display.rfind(':');
    if (colon != std::string::npos) {
        const auto dot = display.find('.', colon);
        if (dot != std::string::npos)
            display.erase(dot);
        if (display.compare(0, colon, "unix") == 0 || display.compare(0, colon, "localhost") == 0)
            display.erase(0, colon);
    }
    std::string key;
    for (const char c : display)
        key += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return key.empty() ? "none" : key;
}

// Waits in the event loop, not in a spin.
void pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

struct SingleInstance::Impl {
    std::string base;
    int lockFd = -1;
    std::unique_ptr<QLocalServer> server;

    QString socketPath() const { return QString::fromStdString(base + ".socket"); }

    // True when the lock is ours now, or cannot be had at all (a folder that
    // cannot be written must not keep the program from starting).
    bool takeLock()
    {
        lockFd = ::open((base + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (lockFd < 0)
            return true;
        if (::flock(lockFd, LOCK_EX | LOCK_NB) == 0)
            return true;
        ::close(lockFd);
        lockFd = -1;
        return false;
    }

    void listen(SingleInstance &owner)
    {
        server = std::make_unique<QLocalServer>();
        server->setSocketOptions(QLocalServer::UserAccessOption);
        QLocalServer::removeServer(socketPath()); // left by a copy that ended; the lock is ours
        server->listen(socketPath());
        QObject::connect(server.get(), &QLocalServer::newConnection, server.get(), [this, &owner] {
            while (QLocalSocket *peer = server->nextPendingConnection()) {
                peer->disconnectFromServer();
                peer->deleteLater();
                if (owner.onShowRequested)
                    owner.onShowRequested();
            }
        });
    }

    // A connection is the request; the running copy may still be on its way
    // to listening, so try again for a while.
    void askRunningCopy(int patienceMs)
    {
        QElapsedTimer waited;
        waited.start();
        for (;;) {
            QLocalSocket socket;
            socket.connectToServer(socketPath());
            if (socket.waitForConnected(patienceMs)) {
                socket.disconnectFromServer();
                return;
            }
            if (waited.elapsed() >= patienceMs)
                return;
            pause(100);
        }
    }
};

SingleInstance::SingleInstance() : SingleInstance(defaultBase()) {}

SingleInstance::SingleInstance(std::string base) : d(std::make_unique<Impl>())
{
    d->base = std::move(base);
}

SingleInstance::~SingleInstance()
{
    d->server.reset();
    if (d->lockFd >= 0)
        ::close(d->lockFd);
}

bool SingleInstance::claim(int patienceMs)
{
    if (d->lockFd >= 0 || d->server)
        return true;
    if (!d->takeLock()) {
        d->askRunningCopy(patienceMs);
        return false;
    }
    d->listen(*this);
    return true;
}

std::string SingleInstance::defaultBase()
{
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string folder = runtime && *runtime && QDir(QString::fromLocal8Bit(runtime)).exists()
                                   ? std::string(runtime)
                                   : QDir::tempPath().toStdString();
    return folder + "/zibbles-" + std::to_string(::getuid()) + "-" + displayKey();
}

} // namespace zibbles
