#pragma once
// Finding another program's top-level window by its title and bringing it
// up with the keyboard focus: through the window manager where one speaks
// EWMH, directly (map, raise, focus) where none runs.
#include <X11/Xlib.h>

#include <optional>
#include <string>
#include <vector>

namespace zibbles {

class X11Windows {
public:
    explicit X11Windows(Display *display);

    // The top-level window titled exactly `utf8Title` (topmost first), or None.
    Window find(const std::string &utf8Title);
    bool isIconic(Window window);
    void restore(Window window);
    void raise(Window window);

private:
    std::optional<Window> windowManagerCheck();
    bool wmSupports(Atom property);
    std::vector<Window> topLevelWindows();
    std::vector<Window> clientsByTreeWalk();
    Window clientWindowOf(Window frame, int depth);
    bool isWithdrawn(Window window);
    void activateThroughWindowManager(Window window);
    void focusDirectly(Window window);
    void offerFocus(Window window);
    void waitUntilActive(Window window);
    void dropPropertyNotices();

    Display *m_display;
    Window m_root;
};

} // namespace zibbles
