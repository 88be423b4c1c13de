#pragma once
// A hotkey held down, seen from both sides. While the key of a hotkey is
// down, its grab takes every key event of the keyboard to the hotkeys'
// connection, the ones the keystroke sender fakes included, and no window
// gets them; the grab ends by itself when that key is let go. The hotkeys
// note the grab and the keys it took; the desktop, which types, waits while
// a grab holds the keyboard and then types again what it took from it.
#include <bitset>
#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

namespace zibbles {

class X11HotkeyHold {
public:
    // Brings in every key event the server has reported to the hotkeys up to
    // now (the hotkeys set it); a grab whose key is up by then has ended.
    std::function<void()> catchUp;
    // Ends the grab at once, while its key is still down (the hotkeys set it).
    std::function<void()> giveBack;

    // The press of `keycode` at server time `time` started a grab.
    void begin(int keycode, unsigned long time);
    // A key pressed or let go of while the grab was on, in the order they came.
    void took(int keycode, bool press);
    // The release of the key that started the grab ended it.
    void end();
    bool active() const { return m_keycode != 0; }
    int keycode() const { return m_keycode; }
    unsigned long time() const { return m_time; }
    // What grabs which have ended took: the keys pressed, oldest first; the
    // keys let go (no window saw them go up); and whether a grab began, ended
    // or took any key event at all (the window lost the keyboard for a
    // moment); forgotten here.
    struct Taken {
        std::vector<int> presses;
        std::bitset<256> released;
        bool any = false;
    };
    Taken takeTaken();

private:
    int m_keycode = 0;
    unsigned long m_time = 0;
    Taken m_taken;
};

// The key presses the keystroke sender made since it last looked at the
// hotkeys' grabs (modifier keys aside), each with its own modifier keys that
// were down as it was made; and where the ones a grab took are among them.
class X11SentPresses {
public:
    struct Press {
        int keycode;
        std::bitset<256> modifierKeys;
        bool character; // BackSpace takes it back (not so a line end)
    };

    void note(const Press &press);
    const std::vector<Press> &presses() const { return m_presses; }
    void clear() { m_presses.clear(); }
    // The place of the presses that `taken` are, in their order and one after
    // the other: a grab takes every press from its start to its end, and the
    // presses after it reach the window. Keys in `taken` that were never
    // pressed here are the user's, and do not count. Where the same keys come
    // more than once, the earliest place is given: taking back everything
    // from there on and typing it again still gives the text. None when the
    // grabs took none of these presses. With the first, the number taken.
    struct Place {
        size_t first, count;
        bool operator==(const Place &o) const { return first == o.first && count == o.count; }
    };
    std::optional<Place> placeOfTaken(std::vector<int> taken) const;
    // From which press on all are to be taken back and made again once a
    // grab took some: from the first, if all are characters; else from the
    // first one taken, if all from there on are; else none (then only the
    // ones taken can be made again, after the others).
    std::optional<size_t> firstToTypeAgain(const std::optional<Place> &taken) const;

private:
    std::vector<Press> m_presses;
};

} // namespace zibbles
