#include "x11desktop.h"

// Qt before Xlib: Xlib's macros (Bool, Status, KeyPress) break Qt's headers.
#include <QCoreApplication>
#include <QSocketNotifier>

#include "x11keymapsnapshot.h"
#include "x11keysyms.h"
#include "x11windows.h"

#include "core/cp1252.h"
#include "core/error.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>
#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <chrono>

namespace zibbles {

namespace {
// The server announces every change of the mapping to those who ask (see
// watchMapping); a mapping older than this is read again all the same.
constexpr auto kMappingMaxAge = std::chrono::seconds(1);

// A hotkey held on gets the keyboard back once the window has had time to
// read every key typed, and half a second more (see x11hotkeys.cpp for why it
// must have read them all). A program under Wine may take in only a few
// thousand keys a second, and lag behind a fast zibble by seconds: a
// millisecond is allowed for each key.
constexpr auto kReadTimePerKey = std::chrono::milliseconds(1);
constexpr auto kQuietBeforeGivingBack = std::chrono::milliseconds(500);

// Asks for the announcements of keyboard layout changes: XKB's map and
// new-keyboard notices, which a client that never asked does not get, and
// switches between the layouts of one keymap (groups); and for the notices
// of modifiers going down and up, and locking.
int watchMapping(Display *display)
{
    int opcode = 0, eventBase = 0, errorBase = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (!XkbQueryExtension(display, &opcode, &eventBase, &errorBase, &major, &minor))
        return -1;
    const unsigned mask = XkbMapNotifyMask | XkbNewKeyboardNotifyMask;
    XkbSelectEvents(display, XkbUseCoreKbd, mask, mask);
    const unsigned details = XkbGroupStateMask | XkbModifierBaseMask | XkbModifierLockMask;
    XkbSelectEventDetails(display, XkbUseCoreKbd, XkbStateNotify, details, details);
    return eventBase;
}

// The layout in use among the first two of the keymap (the ones the core
// mapping describes); the first when the server cannot tell.
int activeGroup(Display *display, int xkbEventBase)
{
    XkbStateRec state{};
    if (xkbEventBase < 0 || XkbGetState(display, XkbUseCoreKbd, &state) != Success)
        return 0;
    return state.group == 1 ? 1 : 0;
}

// Whether Caps Lock is on now: it turns the case of every letter typed.
bool capsLockOn(Display *display, int xkbEventBase)
{
    XkbStateRec state{};
    return xkbEventBase >= 0 && XkbGetState(display, XkbUseCoreKbd, &state) == Success &&
           (state.locked_mods & LockMask) != 0;
}

// A character that Caps Lock changes: a letter with an upper and a lower case.
bool hasCase(unsigned char ch)
{
    for (uint32_t keysym : keysyms::forCharacter(ch))
        if (keysyms::toLower(keysym) != keysyms::toUpper(keysym))
            return true;
    return false;
}

// A key that types a character, which BackSpace takes back: not a line end,
// a tab, a BackSpace or any other function key.
bool typesCharacter(const KeymapSnapshot &mapping, int keycode)
{
    const uint32_t keysym = mapping.keysym(keycode, 0);
    return keysym != 0 && (keysym < 0xff00 || keysym > 0xffff);
}

// A change of the keyboard mapping or of the layout in use, as opposed to a
// notice that only a modifier went down or up.
bool announcesMappingChange(const XEvent &event, int xkbEventBase)
{
    if (event.type == MappingNotify)
        return event.xmapping.request != MappingPointer;
    if (xkbEventBase < 0 || event.type != xkbEventBase)
        return false;
    const auto &xkb = reinterpret_cast<const XkbEvent &>(event);
    return xkb.any.xkb_type != XkbStateNotify || (xkb.state.changed & XkbGroupStateMask) != 0;
}

} // namespace

void X11Desktop::DisplayCloser::operator()(_XDisplay *display) const
{
    XCloseDisplay(display);
}

X11Desktop::X11Desktop(const std::string &displayName, std::shared_ptr<X11HotkeyHold> hold)
    : m_display(XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str())),
      m_hold(hold ? std::move(hold) : std::make_shared<X11HotkeyHold>())
{
    if (!m_display)
        throw AppError("Cannot open the X display");
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(m_display.get(), &event, &error, &major, &minor))
        throw AppError("The X server cannot take synthesized key events (no XTEST extension)");
    m_windows = std::make_unique<X11Windows>(m_display.get());
    m_xkbEventBase = watchMapping(m_display.get());
    XkbStateRec state{};
    if (m_xkbEventBase >= 0 && XkbGetState(m_display.get(), XkbUseCoreKbd, &state) == Success) {
        readEvents(); // older than the answer
        m_modifiers.reset(state.base_mods, state.locked_mods);
    }
    if (QCoreApplication::instance()) {
        m_notifier = std::make_unique<QSocketNotifier>(ConnectionNumber(m_display.get()), QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] { readEvents(); });
    }
    refreshKeymap();
}

X11Desktop::~X11Desktop() = default;

WindowHandle X11Desktop::findWindow(const std::string &title)
{
    return m_windows->find(cp1252ToUtf8(title));
}

bool X11Desktop::isIconic(WindowHandle window)
{
    return window != 0 && m_windows->isIconic(Window(window));
}

void X11Desktop::restoreWindow(WindowHandle window)
{
    if (window != 0)
        m_windows->restore(Window(window));
}

void X11Desktop::bringWindowToTop(WindowHandle window)
{
    if (window != 0)
        m_windows->raise(Window(window));
}

// Reads what has arrived, never blocking: notes a mapping change for
// refreshKeymap and every change of the modifiers; drops the rest, so
// nothing piles up.
void X11Desktop::readEvents()
{
    Display *display = m_display.get();
    XEventsQueued(display, QueuedAfterReading);
    while (XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
        m_mappingChanged = m_mappingChanged || announcesMappingChange(event, m_xkbEventBase);
        const auto &xkb = reinterpret_cast<const XkbEvent &>(event);
        if (m_xkbEventBase >= 0 && event.type == m_xkbEventBase && xkb.any.xkb_type == XkbStateNotify)
            m_modifiers.noteChange(uint32_t(xkb.state.serial), xkb.state.base_mods, xkb.state.locked_mods);
    }
}

void X11Desktop::refreshKeymap()
{
    // Caps Lock can change at any moment; one round trip per text is cheap.
    m_capsLock = capsLockOn(m_display.get(), m_xkbEventBase);
    // Asking the server is a round trip, and texts come in bursts (a chat line
    // for every line of a zibble): ask only when the mapping may have changed
    // (always, when the server cannot announce it), and rebuild the tables
    // only when it has.
    readEvents();
    const auto now = std::chrono::steady_clock::now();
    if (!m_mappingChanged && m_xkbEventBase >= 0 && m_mappingReadAt && now - *m_mappingReadAt < kMappingMaxAge)
        return;
    m_mappingChanged = false;
    m_mappingReadAt = now;
    m_modifiers.setModifierMapping(readModifierMapping(m_display.get()));
    KeymapSnapshot mapping = readKeymapSnapshot(m_display.get());
    mapping.group = activeGroup(m_display.get(), m_xkbEventBase);
    if (mapping == m_mapping)
        return;
    m_keymap = X11Keymap(mapping);
    m_mapping = std::move(mapping);
}

int16_t X11Desktop::vkKeyScan(unsigned char ch)
{
    // With Caps Lock on, a letter comes out in the other case unless Shift
    // turns it back: type what the text says, not what the lock makes of it.
    const int16_t scan = m_keymap.vkKeyScan(ch);
    return scan >= 0 && m_capsLock && hasCase(ch) ? int16_t(scan ^ 0x100) : scan;
}

unsigned X11Desktop::mapVirtualKey(unsigned vk)
{
    return vk < 256 ? m_keymap.scanCodeForVk(uint8_t(vk)) : 0;
}

bool X11Desktop::userHoldsKeys()
{
    if (m_hold->active() && m_hold->catchUp) {
        m_hold->catchUp(); // its end may be in
        if (m_hold->active() && std::chrono::steady_clock::now() >= m_windowHasReadAllBy + kQuietBeforeGivingBack)
            m_hold->giveBack();
    }
    if (m_hold->active())
        return true;
    if (m_modifiers.userModifiers() == 0)
        return false;
    readEvents(); // the notice of its release may be in
    return m_modifiers.userModifiers() != 0;
}

std::optional<size_t> X11Desktop::keysToTypeAgain()
{
    // No key pressed since the last look: nothing a grab could have taken.
    if (!m_modifiers.pressesPending() && m_sentPresses.presses().empty())
        return 0;
    // Every notice of a change made before a press precedes the answer to a
    // request sent after it; and once the server has taken in every key sent
    // here, the hotkeys' round trip brings every grab that took one.
    XSync(m_display.get(), False);
    readEvents();
    if (m_hold->catchUp)
        m_hold->catchUp();
    if (m_hold->active())
        return std::nullopt;
    if (putRightWhatGrabsTook()) {
        XSync(m_display.get(), False);
        readEvents();
    }
    return m_modifiers.pressesPending() ? m_modifiers.takePressesShiftChangedByUser() : 0;
}

// The presses a grab took never reached a window, and the others since the
// last look did: those are taken back with BackSpace, and all are made
// again, in order, each with the modifier keys of ours that were down as it
// was made; then ours are as they were (see x11hotkeys.cpp for why all).
bool X11Desktop::putRightWhatGrabsTook()
{
    X11HotkeyHold::Taken taken = m_hold->takeTaken();
    std::vector<int> &presses = taken.presses;
    presses.erase(std::remove_if(presses.begin(), presses.end(), [&](int key) { return m_modifiers.isModifierKey(key); }),
                  presses.end());
    const std::vector<X11SentPresses::Press> sent = m_sentPresses.presses();
    const std::optional<X11SentPresses::Place> place = m_sentPresses.placeOfTaken(presses);
    const int backSpace = XKeysymToKeycode(m_display.get(), XK_BackSpace);
    const std::optional<size_t> from = backSpace != 0 ? m_sentPresses.firstToTypeAgain(place) : std::nullopt;
    m_sentPresses.clear(); // what is sent from here on is looked at next time
    const bool pressedAgain = pressAgainShiftsLetGoUnderAGrab(taken.released);
    const bool typeAgain = taken.any && (from || place);
    if (typeAgain)
        typeAgainFrom(sent, from ? *from : place->first, from ? backSpace : 0, place ? place->count : 0);
    if (typeAgain || pressedAgain)
        flush();
    return typeAgain || pressedAgain;
}

// Types again the presses from `first` on, after taking back with
// `backSpace` (unless 0) those of them that reached the window (all but the
// `taken` ones).
void X11Desktop::typeAgainFrom(const std::vector<X11SentPresses::Press> &sent, size_t first, int backSpace,
                               size_t taken)
{
    const std::bitset<256> ours = m_modifiers.ownModifierKeys();
    holdOwnModifierKeys({});
    if (backSpace != 0) {
        m_modifiers.forgetLastPresses(sent.size() - first);
        for (size_t arrived = sent.size() - first - taken; arrived > 0; --arrived)
            tapKey(backSpace, {});
    }
    const size_t end = backSpace != 0 ? sent.size() : first + taken;
    for (size_t i = first; i < end; ++i)
        tapKey(sent[i].keycode, sent[i].modifierKeys);
    holdOwnModifierKeys(ours);
}

// A Shift or Ctrl that went down in the window and up under a grab is still
// down for a program under Wine: at the change of focus it reads the key
// state the server tells, before the press still in its queue, and then that
// press; the next characters come out shifted. Pressing and letting go of it
// again puts the window right, and changes nothing elsewhere. (Alt is left
// alone: on its own it opens a window's menu.)
bool X11Desktop::pressAgainShiftsLetGoUnderAGrab(const std::bitset<256> &released)
{
    if (released.none())
        return false;
    char down[32] = {};
    XQueryKeymap(m_display.get(), down); // a key the user holds again stays down
    const std::bitset<256> ours = m_modifiers.ownModifierKeys();
    bool pressed = false;
    for (size_t keycode = 0; keycode < released.size(); ++keycode) {
        const uint32_t keysym = m_mapping.keysym(int(keycode), 0);
        const bool shiftOrControl = keysym == XK_Shift_L || keysym == XK_Shift_R || keysym == XK_Control_L ||
                                    keysym == XK_Control_R;
        if (released[keycode] && shiftOrControl && !ours[keycode] && (down[keycode / 8] & (1 << (keycode % 8))) == 0) {
            fakeKey(int(keycode), true);
            fakeKey(int(keycode), false);
            pressed = true;
        }
    }
    return pressed;
}

void X11Desktop::tapKey(int keycode, const std::bitset<256> &modifierKeys)
{
    holdOwnModifierKeys(modifierKeys);
    fakeKey(keycode, true);
    fakeKey(keycode, false);
}

void X11Desktop::holdOwnModifierKeys(const std::bitset<256> &keys)
{
    const std::bitset<256> now = m_modifiers.ownModifierKeys();
    for (size_t keycode = 0; keycode < keys.size(); ++keycode)
        if (keys[keycode] != now[keycode])
            fakeKey(int(keycode), keys[keycode]);
}

void X11Desktop::keyEvent(uint8_t vk, uint8_t /*scanCode*/, bool keyUp)
{
    // The virtual key picks the key; its scan code adds nothing on X.
    unsigned keycode = m_keymap.keycodeForVk(vk);
    if (keycode == 0)
        return;

    fakeKey(int(keycode), !keyUp);
}

void X11Desktop::fakeKey(int keycode, bool down)
{
    // Grabs that came and went before the first key since the last look
    // took nothing of it, and the window had read everything before.
    if (down && m_sentPresses.presses().empty() && !m_hold->active())
        m_hold->takeTaken();
    if (down && !m_modifiers.isModifierKey(keycode))
        m_sentPresses.note({keycode, m_modifiers.ownModifierKeys(), typesCharacter(m_mapping, keycode)});
    if (down)
        m_windowHasReadAllBy = std::max(m_windowHasReadAllBy, std::chrono::steady_clock::now()) + kReadTimePerKey;
    // Queued in order on our one connection (Xlib hands over its own queued
    // requests before xcb sends); the server takes in fake input between any
    // two requests, so events never pile up there and none is dropped,
    // however long the line. No round trip is needed.
    const xcb_void_cookie_t request =
        xcb_test_fake_input(XGetXCBConnection(m_display.get()), down ? XCB_KEY_PRESS : XCB_KEY_RELEASE,
                            uint8_t(keycode), XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    m_modifiers.noteKeyEvent(keycode, down, request.sequence);
}

void X11Desktop::flush()
{
    // Key events are the only requests left unsent here: every window request
    // above ends in a round trip. xcb's flush only writes; Xlib's would also
    // poll for incoming events, three system calls more per character typed.
    xcb_flush(XGetXCBConnection(m_display.get()));
}

} // namespace zibbles
