#pragma once
// Watching a descriptor from the event loop, for the socket and for the host
// look-up. A notifier may be dropped from inside its own signal, so it is
// switched off at once and deleted once the event loop has left it.
#include <QSocketNotifier>

#include <functional>
#include <memory>

namespace zibbles {

struct NotifierRelease {
    void operator()(QSocketNotifier *notifier) const
    {
        notifier->setEnabled(false);
        notifier->deleteLater();
    }
};
using WatchedDescriptor = std::unique_ptr<QSocketNotifier, NotifierRelease>;

inline WatchedDescriptor watchDescriptor(int fd, QSocketNotifier::Type type, std::function<void()> activated)
{
    WatchedDescriptor notifier(new QSocketNotifier(fd, type));
    QObject::connect(notifier.get(), &QSocketNotifier::activated, [activated = std::move(activated)] { activated(); });
    return notifier;
}

} // namespace zibbles
