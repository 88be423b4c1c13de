#include "x11windows.h"

#include "x11errortrap.h"
#include "x11properties.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <poll.h>

#include <algorithm>
#include <chrono>

namespace zibbles {

namespace {
constexpr long kNormalState = 1, kIconicState = 3;
constexpr long kSourcePager = 2; // obeyed by window managers that refuse focus stealing
// How long a window manager may take to hand over the focus; keys typed
// before that would go to whichever window had it. A desktop busy with a 3D
// client can keep the window manager from answering for most of a second.
constexpr auto kActivationTimeout = std::chrono::milliseconds(2000);

std::vector<Window> children(Display *display, Window parent)
{
    Window root = None, ignored = None, *list = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &ignored, &list, &count))
        return {};
    std::vector<Window> result(list, list + count);
    if (list)
        XFree(list);
    return result;
}
} // namespace

X11Windows::X11Windows(Display *display) : m_display(display), m_root(DefaultRootWindow(display)) {}

std::optional<Window> X11Windows::windowManagerCheck()
{
    X11ErrorTrap trap(m_display);
    const Atom check = x11::atom(m_display, "_NET_SUPPORTING_WM_CHECK");
    auto onRoot = x11::readLongs(m_display, m_root, check, XA_WINDOW);
    if (onRoot.empty())
        return std::nullopt;
    // A stale property outlives its window manager; the live one points at itself.
    auto onChild = x11::readLongs(m_display, onRoot[0], check, XA_WINDOW);
    if (onChild.empty() || onChild[0] != onRoot[0])
        return std::nullopt;
    return Window(onRoot[0]);
}

bool X11Windows::wmSupports(Atom property)
{
    if (!windowManagerCheck())
        return false;
    auto supported = x11::readLongs(m_display, m_root, x11::atom(m_display, "_NET_SUPPORTED"), XA_ATOM);
    return std::find(supported.begin(), supported.end(), property) != supported.end();
}

Window X11Windows::find(const std::string &utf8Title)
{
    X11ErrorTrap trap(m_display);
    for (Window window : topLevelWindows()) {
        auto title = x11::readTitle(m_display, window);
        if (title && *title == utf8Title)
            return window;
    }
    return None;
}

std::vector<Window> X11Windows::topLevelWindows()
{
    if (windowManagerCheck()) {
        for (const char *name : {"_NET_CLIENT_LIST_STACKING", "_NET_CLIENT_LIST"}) {
            auto list = x11::readLongs(m_display, m_root, x11::atom(m_display, name), XA_WINDOW);
            if (!list.empty())
                return std::vector<Window>(list.rbegin(), list.rend()); // topmost first
        }
    }
    return clientsByTreeWalk();
}

std::vector<Window> X11Windows::clientsByTreeWalk()
{
    std::vector<Window> result;
    auto tops = children(m_display, m_root); // bottom to top
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        Window client = clientWindowOf(*it, 0);
        if (client == None)
            client = *it; // no window manager: the top level is the client
        if (!isWithdrawn(client))
            result.push_back(client);
    }
    return result;
}

// The window inside a window manager's frame that carries WM_STATE.
Window X11Windows::clientWindowOf(Window frame, int depth)
{
    const Atom wmState = x11::atom(m_display, "WM_STATE");
    if (!x11::readLongs(m_display, frame, wmState, wmState).empty())
        return frame;
    if (depth >= 3)
        return None;
    for (Window child : children(m_display, frame)) {
        Window client = clientWindowOf(child, depth + 1);
        if (client != None)
            return client;
    }
    return None;
}

// Unmapped and not iconified: closed or never shown, nothing to type into.
bool X11Windows::isWithdrawn(Window window)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(m_display, window, &attributes))
        return true;
    return attributes.map_state == IsUnmapped && !isIconic(window);
}

bool X11Windows::isIconic(Window window)
{
    X11ErrorTrap trap(m_display);
    const Atom wmState = x11::atom(m_display, "WM_STATE");
    auto state = x11::readLongs(m_display, window, wmState, wmState);
    return !state.empty() && long(state[0]) == kIconicState;
}

void X11Windows::restore(Window window)
{
    if (wmSupports(x11::atom(m_display, "_NET_ACTIVE_WINDOW"))) {
        activateThroughWindowManager(window);
        return;
    }
    X11ErrorTrap trap(m_display);
    XMapRaised(m_display, window);
    if (!windowManagerCheck()) {
        // With no window manager we stand in for one: the window is normal now.
        const Atom wmState = x11::atom(m_display, "WM_STATE");
        long state[2] = {kNormalState, None};
        XChangeProperty(m_display, window, wmState, wmState, 32, PropModeReplace,
                        reinterpret_cast<unsigned char *>(state), 2);
    }
    focusDirectly(window);
}

void X11Windows::raise(Window window)
{
    if (wmSupports(x11::atom(m_display, "_NET_ACTIVE_WINDOW"))) {
        activateThroughWindowManager(window);
        return;
    }
    X11ErrorTrap trap(m_display);
    XRaiseWindow(m_display, window);
    focusDirectly(window);
}

void X11Windows::focusDirectly(Window window)
{
    XSync(m_display, False);
    XWindowAttributes attributes;
    // Focus on a window that is not viewable is refused with an error.
    if (XGetWindowAttributes(m_display, window, &attributes) && attributes.map_state == IsViewable) {
        XSetInputFocus(m_display, window, RevertToParent, CurrentTime);
        offerFocus(window);
    }
    XSync(m_display, False);
}

void X11Windows::offerFocus(Window window)
{
    // Windows that take the focus themselves (Wine's among them) become the
    // active window only when offered it; a window manager would do this.
    const Atom takeFocus = x11::atom(m_display, "WM_TAKE_FOCUS");
    Atom *protocols = nullptr;
    int count = 0;
    bool listed = false;
    if (XGetWMProtocols(m_display, window, &protocols, &count)) {
        listed = std::find(protocols, protocols + count, takeFocus) != protocols + count;
        XFree(protocols);
    }
    if (!listed)
        return;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = x11::atom(m_display, "WM_PROTOCOLS");
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(takeFocus);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(m_display, window, False, NoEventMask, &event);
}

void X11Windows::activateThroughWindowManager(Window window)
{
    X11ErrorTrap trap(m_display);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = x11::atom(m_display, "_NET_ACTIVE_WINDOW");
    event.xclient.format = 32;
    event.xclient.data.l[0] = kSourcePager;
    event.xclient.data.l[1] = CurrentTime;
    XSelectInput(m_display, m_root, PropertyChangeMask);
    XSendEvent(m_display, m_root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    waitUntilActive(window);
    XSelectInput(m_display, m_root, NoEventMask);
    XSync(m_display, False);
    dropPropertyNotices();
}

// Only the notices asked for here: other events on the connection (keyboard
// mapping changes) are someone else's to see.
void X11Windows::dropPropertyNotices()
{
    XEvent discarded;
    while (XCheckTypedEvent(m_display, PropertyNotify, &discarded)) {
    }
}

// Blocks on the connection (no spinning) until the window manager reports
// the window active or the time-out passes.
void X11Windows::waitUntilActive(Window window)
{
    const Atom active = x11::atom(m_display, "_NET_ACTIVE_WINDOW");
    const auto deadline = std::chrono::steady_clock::now() + kActivationTimeout;
    for (;;) {
        auto current = x11::readLongs(m_display, m_root, active, XA_WINDOW);
        if (!current.empty() && current[0] == window)
            return;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return;
        dropPropertyNotices();
        pollfd fd{ConnectionNumber(m_display), POLLIN, 0};
        poll(&fd, 1, int(left.count()));
    }
}

} // namespace zibbles
