#pragma once
// Another X client on the test's server, grabbing keys as other programs do.
#include <string>
#include <vector>

namespace e2e {

class OtherClient {
public:
    explicit OtherClient(const std::string &display);
    ~OtherClient();
    OtherClient(const OtherClient &) = delete;
    OtherClient &operator=(const OtherClient &) = delete;

    // Whether the combination (keysym name, X modifier state) could be
    // grabbed now; a successful trial grab is given back at once.
    bool canGrab(const std::string &key, unsigned state);
    // Grabs and keeps the combination; false when someone else holds it.
    bool hold(const std::string &key, unsigned state);
    void release(const std::string &key, unsigned state);
    // The keycodes of the key presses that this client's grabs received.
    std::vector<int> pressesReceived();
    int keycode(const std::string &key);

private:
    bool grab(const std::string &key, unsigned state);
    void *m_display;
};

} // namespace e2e
