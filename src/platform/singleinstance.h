#pragma once
// One running copy of the program per user and display. The first copy to
// start holds a lock that the system gives back when the process ends (so a
// crash leaves nothing stale) and listens on a local socket; a later copy
// finds the lock taken and asks the first, through that socket, to show its
// window.
#include <functional>
#include <memory>
#include <string>

namespace zibbles {

class SingleInstance {
public:
    // For this user and this display ($DISPLAY), in $XDG_RUNTIME_DIR (or the
    // temporary folder).
    SingleInstance();
    // For tests: `base` is a path; the lock and the socket are files beside it.
    explicit SingleInstance(std::string base);
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    // True when this is the one copy: from then on onShowRequested is called,
    // from the event loop, each time a later copy starts. False when another
    // copy runs; it has been asked to show its window (waiting for it at most
    // `patienceMs`, while that copy may still be starting).
    bool claim(int patienceMs = 5000);

    std::function<void()> onShowRequested;

    // The base path for this user and display.
    static std::string defaultBase();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace zibbles
