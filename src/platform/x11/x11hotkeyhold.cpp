#include "x11hotkeyhold.h"

#include <algorithm>
#include <utility>

namespace zibbles {

namespace {
// A sender looks at the end of every line and before every key that is not a
// character; far more presses than a line has mean nobody looks, and the
// oldest are dropped.
constexpr size_t kMaxSentPresses = 4096;
} // namespace

void X11HotkeyHold::begin(int keycode, unsigned long time)
{
    m_keycode = keycode;
    m_time = time;
    m_taken.any = true; // the window lost the keyboard's focus to the grab
}

void X11HotkeyHold::took(int keycode, bool press)
{
    if (press)
        m_taken.presses.push_back(keycode);
    else if (keycode >= 0 && size_t(keycode) < m_taken.released.size())
        m_taken.released.set(size_t(keycode));
    m_taken.any = true;
}

void X11HotkeyHold::end()
{
    m_keycode = 0;
    m_taken.any = true; // and got it back
}

X11HotkeyHold::Taken X11HotkeyHold::takeTaken()
{
    if (active())
        return {}; // the grab may take more; its keys come out once it ends
    return std::exchange(m_taken, {});
}

void X11SentPresses::note(const Press &press)
{
    if (m_presses.size() >= kMaxSentPresses)
        m_presses.erase(m_presses.begin());
    m_presses.push_back(press);
}

std::optional<size_t> X11SentPresses::firstToTypeAgain(const std::optional<Place> &taken) const
{
    const auto charactersFrom = [this](size_t first) {
        return std::all_of(m_presses.begin() + long(first), m_presses.end(), [](const Press &p) { return p.character; });
    };
    if (m_presses.empty())
        return std::nullopt;
    if (charactersFrom(0))
        return 0;
    if (taken && charactersFrom(taken->first + taken->count))
        return taken->first;
    return std::nullopt;
}

std::optional<X11SentPresses::Place> X11SentPresses::placeOfTaken(std::vector<int> taken) const
{
    const auto pressedHere = [this](int keycode) {
        return std::any_of(m_presses.begin(), m_presses.end(), [&](const Press &p) { return p.keycode == keycode; });
    };
    taken.erase(std::remove_if(taken.begin(), taken.end(), [&](int key) { return !pressedHere(key); }), taken.end());
    if (taken.empty() || taken.size() > m_presses.size())
        return std::nullopt;
    for (size_t first = 0; first + taken.size() <= m_presses.size(); ++first)
        if (std::equal(taken.begin(), taken.end(), m_presses.begin() + long(first),
                       [](int key, const Press &p) { return key == p.keycode; }))
            return Place{first, taken.size()};
    return std::nullopt;
}

} // namespace zibbles
