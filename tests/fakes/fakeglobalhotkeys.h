#pragma once
// A desktop hotkey service that records what was registered, can refuse
// chosen combinations as if another program held them, and presses keys.
#include "platform/globalhotkeys.h"

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

namespace zibbles::testing {

class FakeGlobalHotkeys : public GlobalHotkeys {
public:
    struct Registration {
        uint16_t id;
        unsigned modifiers;
        unsigned vk;
    };

    bool registerHotKey(uint16_t id, unsigned modifiers, unsigned vk) override
    {
        ++registerCalls;
        if (heldElsewhere.count({modifiers, vk}) || find(id) != registered.end())
            return false;
        registered.push_back({id, modifiers, vk});
        return true;
    }

    void expectHotKeys(const std::vector<std::pair<unsigned, unsigned>> &combinations) override
    {
        expected = combinations;
    }

    bool unregisterHotKey(uint16_t id) override
    {
        unregistered.push_back(id);
        const auto it = find(id);
        if (it == registered.end())
            return false;
        registered.erase(it);
        return true;
    }

    // A key press as the desktop reports it; true when some combination
    // registered here matched and was reported.
    bool press(unsigned modifiers, unsigned vk)
    {
        for (const Registration &r : registered)
            if (r.modifiers == modifiers && r.vk == vk) {
                if (onHotKey)
                    onHotKey(r.id, r.modifiers, r.vk);
                return true;
            }
        return false;
    }

    // The (modifiers, vk) pairs registered, in registration order.
    std::vector<std::pair<unsigned, unsigned>> combinations() const
    {
        std::vector<std::pair<unsigned, unsigned>> out;
        for (const Registration &r : registered)
            out.emplace_back(r.modifiers, r.vk);
        return out;
    }

    std::set<std::pair<unsigned, unsigned>> heldElsewhere; // (modifiers, vk)
    std::vector<Registration> registered;
    std::vector<uint16_t> unregistered; // ids, in call order
    std::vector<std::pair<unsigned, unsigned>> expected; // the last announcement
    int registerCalls = 0;

private:
    std::vector<Registration>::iterator find(uint16_t id)
    {
        return std::find_if(registered.begin(), registered.end(), [id](const Registration &r) { return r.id == id; });
    }
};

} // namespace zibbles::testing
