#include "hotkeymanager.h"

#include "hotkeycode.h"

#include "platform/globalhotkeys.h"

#include <algorithm>
#include <iterator>

namespace zibbles {

namespace {
// Identifiers come from the range the desktop's own atoms used, so they are
// recognisable in a trace and never 0.
constexpr uint32_t kFirstId = 0xC000;
constexpr uint32_t kLastId = 0xFFFF;
} // namespace

THotKeyManager::THotKeyManager(GlobalHotkeys *desktop) : m_desktop(desktop)
{
    if (m_desktop)
        m_desktop->onHotKey = [this](uint16_t id, unsigned modifiers, unsigned vk) {
            hotKeyMessage(id, modifiers, vk);
        };
}

THotKeyManager::~THotKeyManager()
{
    UnregisterAllHotkeys();
    if (m_desktop)
        m_desktop->onHotKey = nullptr;
}

uint16_t THotKeyManager::RegisterGlobalHotkey(uint32_t code)
{
    if (!m_desktop || isRegistered(code))
        return 0;
    const uint16_t id = freeId();
    if (!id)
        return 0;
    const SplitCode split = SplitHotkey(code);
    if (!m_desktop->registerHotKey(id, split.modifiers, split.key))
        return 0;
    m_entries.push_back({code, id});
    return id;
}

void THotKeyManager::ExpectHotkeys(const std::vector<uint32_t> &codes)
{
    if (!m_desktop)
        return;
    std::vector<std::pair<unsigned, unsigned>> combinations;
    for (uint32_t code : codes) {
        const SplitCode split = SplitHotkey(code);
        combinations.emplace_back(split.modifiers, split.key);
    }
    m_desktop->expectHotKeys(combinations);
}

void THotKeyManager::UnregisterAllHotkeys()
{
    while (!m_entries.empty()) {
        if (m_desktop)
            m_desktop->unregisterHotKey(m_entries.back().id);
        m_entries.pop_back();
    }
}

std::vector<bool> THotKeyManager::heldElsewhere(const std::vector<uint32_t> &codes)
{
    std::vector<bool> held(codes.size(), false);
    const uint16_t id = freeId();
    if (!m_desktop || !id)
        return held;
    std::vector<uint32_t> tried;
    std::copy_if(codes.begin(), codes.end(), std::back_inserter(tried),
                 [this](uint32_t code) { return code && !isRegistered(code); });
    ExpectHotkeys(tried);
    for (size_t i = 0; i < codes.size(); ++i) {
        if (!codes[i] || isRegistered(codes[i]))
            continue;
        const SplitCode split = SplitHotkey(codes[i]);
        if (m_desktop->registerHotKey(id, split.modifiers, split.key))
            m_desktop->unregisterHotKey(id);
        else
            held[i] = true;
    }
    return held;
}

void THotKeyManager::hotKeyMessage(uint16_t id, unsigned modifiers, unsigned vk)
{
    if (!OnHotKeyPressed)
        return;
    const uint32_t code = ComposeHotkey(modifiers, vk);
    if (isRegistered(code))
        OnHotKeyPressed(code, id);
}

uint16_t THotKeyManager::freeId() const
{
    for (uint32_t id = kFirstId; id <= kLastId; ++id) {
        const bool taken = std::any_of(m_entries.begin(), m_entries.end(),
                                       [id](const HotkeyEntry &e) { return e.id == id; });
        if (!taken)
            return uint16_t(id);
    }
    return 0;
}

bool THotKeyManager::isRegistered(uint32_t code) const
{
    return std::any_of(m_entries.begin(), m_entries.end(), [code](const HotkeyEntry &e) { return e.code == code; });
}

} // namespace zibbles
