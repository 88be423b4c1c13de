#include "x11hotkeys.h"

// Qt before Xlib: Xlib's macros (Bool, Status, KeyPress) break Qt's headers.
#include <QMetaObject>
#include <QSocketNotifier>
#include <QTimer>

#include "x11errortrap.h"
#include "x11hotkeyhold.h"
#include "x11keymapsnapshot.h"
#include "x11modifiers.h"

#include <X11/Xlib.h>
#include <X11/Xlib-xcb.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <vector>

namespace zibbles {

namespace {

// Why no key typed while a hotkey is pressed can be lost. A press of a
// grabbed combination turns its passive grab into a grab of the whole
// keyboard by this connection, until that key is let go: every key event
// the server takes in meanwhile, the ones the keystroke sender fakes
// included, is reported here and to no window. So the sender does not type
// while a grab is on (it learns of one between any two keys it types, as
// the event loop runs), and it looks at what it typed before every key that
// is not a character and at the end of every text: it waits until the
// server has taken in all it sent, then until this connection has read
// every event reported before that (X11HotkeyHold::catchUp), and if a grab
// is on, for its end. The keys a grab took meanwhile are noted here in
// order; at the look, the keys typed since the last look that reached the
// window are taken back with BackSpace, and all are typed again, each with
// the modifiers it had (from the first one taken would do, but for a grab
// that began inside a character, between its Shift and its key: see below
// what Wine does then to the keys before it). Nothing typed is lost, and
// the window gets it in order. The keys the user presses while holding a
// hotkey go to the hotkey, as with any grab.
//
// The keyboard is never frozen. A grab given back while its key is down
// makes the server tell the window, through a change of focus, that a key
// is down that it never saw (and a grab that took a part of a character, a
// Shift that it never saw go up); a program under Wine then sets its key
// state to what the server says at once, before it has read the keys still
// in its queue, and those come out in the wrong case. So the window's focus
// changes at the press and at the release of the hotkey, or, for a key
// held on (a zibble that its own key starts types while the key is still
// down), once the window has had time to read every key typed before: the
// desktop gives the keyboard back then (X11HotkeyHold::giveBack). A Shift
// whose release a grab took, the desktop presses and lets go of again, as
// Wine may read its press after the change of focus.
constexpr int kKeyboardMode = GrabModeAsync;

struct Grab {
    uint16_t id = 0;
    unsigned modifiers = 0; // hotkey flags
    unsigned vk = 0;
    int keycode = 0;
    unsigned state = 0;     // X modifiers without the locks
    std::vector<unsigned> lockCombinations;
};

} // namespace

struct X11GlobalHotkeys::Impl {
    explicit Impl(X11GlobalHotkeys &owner) : owner(owner) {}

    X11GlobalHotkeys &owner;
    std::shared_ptr<X11HotkeyHold> hold;
    Display *display = nullptr;
    Window root = 0;
    std::unique_ptr<QSocketNotifier> notifier;
    std::vector<Grab> grabs;
    X11ModifierMasks masks; // as the live mapping was at the last registration
    // The key and modifier mapping, read once for the registrations of one
    // turn of the event loop (setting up all hotkeys registers two dozen)
    // and read anew at the next turn, where a mapping change shows.
    std::optional<X11Keymap> keymap;
    // Combinations grabbed (true) or refused (false) ahead of their
    // registration in this turn, by (keycode, state).
    std::map<std::pair<int, unsigned>, bool> expected;

    const X11Keymap &currentMapping()
    {
        if (!keymap) {
            const KeymapSnapshot snapshot = readKeymapSnapshot(display);
            masks = modifierMasks(snapshot, readModifierMapping(display));
            keymap.emplace(snapshot);
            QTimer::singleShot(0, notifier.get(), [this] { keymap.reset(); });
        }
        return *keymap;
    }

    Grab describe(uint16_t id, unsigned modifiers, unsigned vk)
    {
        const X11Keymap &keymap = currentMapping();
        Grab grab;
        grab.id = id;
        grab.modifiers = modifiers;
        grab.vk = vk;
        grab.keycode = int(keymap.keycodeForVk(uint8_t(vk)));
        grab.state = masks.stateFor(modifiers);
        grab.lockCombinations = masks.lockCombinations();
        return grab;
    }

    bool heldByUs(int keycode, unsigned state) const
    {
        return std::any_of(grabs.begin(), grabs.end(),
                           [&](const Grab &g) { return g.keycode == keycode && g.state == state; });
    }

    // Sends every lock combination of every grab as a checked request, then
    // waits once: checking the last request brings the answers to all.
    void grabAhead(const std::vector<Grab> &wanted)
    {
        XFlush(display); // Xlib's queued requests go first
        xcb_connection_t *connection = XGetXCBConnection(display);
        std::vector<xcb_void_cookie_t> cookies;
        for (const Grab &grab : wanted)
            for (unsigned locks : grab.lockCombinations)
                cookies.push_back(xcb_grab_key_checked(connection, 0, xcb_window_t(root), uint16_t(grab.state | locks),
                                                       xcb_keycode_t(grab.keycode), XCB_GRAB_MODE_ASYNC,
                                                       uint8_t(kKeyboardMode)));
        std::vector<bool> refused(cookies.size());
        for (size_t i = cookies.size(); i-- > 0;)
            if (xcb_generic_error_t *error = xcb_request_check(connection, cookies[i])) {
                std::free(error);
                refused[i] = true;
            }
        size_t next = 0;
        for (const Grab &grab : wanted) {
            const size_t end = next + grab.lockCombinations.size();
            const bool granted = std::find(refused.begin() + long(next), refused.begin() + long(end), true) ==
                                 refused.begin() + long(end);
            if (!granted)
                ungrabAll(grab); // a refusal leaves nothing behind
            expected[{grab.keycode, grab.state}] = granted;
            next = end;
        }
        // The wait may have read events off the socket, where the notifier
        // no longer sees them: look at them at the next turn as well.
        QTimer::singleShot(0, notifier.get(), [this] {
            releaseUnclaimed();
            drain();
        });
    }

    void releaseUnclaimed()
    {
        for (const auto &[key, granted] : expected)
            if (granted && !heldByUs(key.first, key.second)) {
                Grab grab;
                grab.keycode = key.first;
                grab.state = key.second;
                grab.lockCombinations = masks.lockCombinations();
                ungrabAll(grab);
            }
        expected.clear();
        XFlush(display);
    }

    bool taken(uint16_t id, int keycode, unsigned state) const
    {
        return heldByUs(keycode, state) ||
               std::any_of(grabs.begin(), grabs.end(), [id](const Grab &g) { return g.id == id; });
    }

    // Grabs every lock combination; when the server refuses any of them (a
    // client holds it), the ones taken are given back and false returned.
    bool grabAll(const Grab &grab)
    {
        X11ErrorTrap trap(display);
        for (unsigned locks : grab.lockCombinations)
            XGrabKey(display, grab.keycode, grab.state | locks, root, False, GrabModeAsync, kKeyboardMode);
        if (!trap.failed())
            return true;
        ungrabAll(grab);
        return false;
    }

    void ungrabAll(const Grab &grab)
    {
        X11ErrorTrap trap(display);
        for (unsigned locks : grab.lockCombinations)
            XUngrabKey(display, grab.keycode, grab.state | locks, root);
    }

    // A round trip may have read events into Xlib's queue, where the socket
    // notifier cannot see them.
    void drainLater()
    {
        if (notifier && XQLength(display) > 0)
            QTimer::singleShot(0, notifier.get(), [this] { drain(); });
    }

    void drain()
    {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MappingNotify) {
                XRefreshKeyboardMapping(&event.xmapping);
            } else if (event.type == KeyPress) {
                // Key events come here only through a grab (see kKeyboardMode).
                if (!hold->active())
                    hold->begin(int(event.xkey.keycode), event.xkey.time);
                if (!keyPressed(event.xkey))
                    hold->took(int(event.xkey.keycode), true);
            } else if (event.type == KeyRelease && int(event.xkey.keycode) == hold->keycode()) {
                hold->end();
            } else if (event.type == KeyRelease && hold->active()) {
                hold->took(int(event.xkey.keycode), false);
            }
        }
    }

    // Reads every event sent before the answer to a round trip; a grab whose
    // key is up by then has ended, whether or not its release was seen.
    void catchUp()
    {
        XSync(display, False);
        drain();
        if (!hold->active())
            return;
        char keys[32] = {};
        XQueryKeymap(display, keys);
        const int keycode = hold->keycode();
        if ((keys[keycode / 8] & (1 << (keycode % 8))) == 0)
            hold->end();
    }

    // With the time of the press that started it, which ends that grab and
    // never a later one.
    void giveBack()
    {
        XUngrabKeyboard(display, hold->time());
        XFlush(display);
        hold->end();
    }

    // Whether the press is one of a hotkey; if so, the hotkey is told.
    bool keyPressed(const XKeyEvent &key)
    {
        const unsigned state = masks.stateFor(masks.modifiersOf(key.state));
        for (const Grab &g : grabs) {
            if (g.keycode == int(key.keycode) && g.state == state) {
                // Delivered as an event of its own, as a window message would be:
                // an error in the handler then cannot lose the presses after it.
                QMetaObject::invokeMethod(
                    notifier.get(),
                    [this, id = g.id, mods = g.modifiers, vk = g.vk] {
                        if (owner.onHotKey)
                            owner.onHotKey(id, mods, vk);
                    },
                    Qt::QueuedConnection);
                return true;
            }
        }
        return false;
    }
};

X11GlobalHotkeys::X11GlobalHotkeys(const std::string &displayName, std::shared_ptr<X11HotkeyHold> hold)
    : d(std::make_unique<Impl>(*this))
{
    d->hold = hold ? std::move(hold) : std::make_shared<X11HotkeyHold>();
    d->display = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (!d->display)
        return;
    d->root = DefaultRootWindow(d->display);
    d->notifier = std::make_unique<QSocketNotifier>(ConnectionNumber(d->display), QSocketNotifier::Read);
    QObject::connect(d->notifier.get(), &QSocketNotifier::activated, d->notifier.get(), [this] { d->drain(); });
    d->hold->catchUp = [impl = d.get()] { impl->catchUp(); };
    d->hold->giveBack = [impl = d.get()] { impl->giveBack(); };
}

X11GlobalHotkeys::~X11GlobalHotkeys()
{
    if (!d->display)
        return;
    d->hold->catchUp = nullptr;
    d->hold->giveBack = nullptr;
    d->notifier.reset();
    for (const Grab &g : d->grabs)
        d->ungrabAll(g);
    XCloseDisplay(d->display);
}

bool X11GlobalHotkeys::connected() const
{
    return d->display != nullptr;
}

void X11GlobalHotkeys::expectHotKeys(const std::vector<std::pair<unsigned, unsigned>> &combinations)
{
    if (!d->display)
        return;
    std::vector<Grab> wanted;
    for (const auto &[modifiers, vk] : combinations) {
        if (vk > 255)
            continue;
        const Grab grab = d->describe(0, modifiers, vk);
        const bool known = d->expected.count({grab.keycode, grab.state}) > 0 ||
                           std::any_of(wanted.begin(), wanted.end(), [&](const Grab &w) {
                               return w.keycode == grab.keycode && w.state == grab.state;
                           });
        if (grab.keycode != 0 && !known && !d->heldByUs(grab.keycode, grab.state))
            wanted.push_back(grab);
    }
    if (!wanted.empty())
        d->grabAhead(wanted);
}

bool X11GlobalHotkeys::registerHotKey(uint16_t id, unsigned modifiers, unsigned vk)
{
    if (!d->display || vk > 255)
        return false;
    const Grab grab = d->describe(id, modifiers, vk);
    if (grab.keycode == 0 || d->taken(id, grab.keycode, grab.state))
        return false;
    bool ok;
    if (const auto ahead = d->expected.find({grab.keycode, grab.state}); ahead != d->expected.end()) {
        ok = ahead->second;
        d->expected.erase(ahead);
    } else {
        ok = d->grabAll(grab);
    }
    if (ok)
        d->grabs.push_back(grab);
    d->drainLater();
    return ok;
}

bool X11GlobalHotkeys::unregisterHotKey(uint16_t id)
{
    const auto it = std::find_if(d->grabs.begin(), d->grabs.end(), [id](const Grab &g) { return g.id == id; });
    if (it == d->grabs.end())
        return false;
    d->ungrabAll(*it);
    d->grabs.erase(it);
    d->drainLater();
    return true;
}

} // namespace zibbles
