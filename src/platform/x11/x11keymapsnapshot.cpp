#include "x11keymapsnapshot.h"

namespace zibbles {

KeymapSnapshot readKeymapSnapshot(Display *display)
{
    int minKeycode = 0, maxKeycode = 0, perKeycode = 0;
    XDisplayKeycodes(display, &minKeycode, &maxKeycode);
    KeySym *keysyms = XGetKeyboardMapping(display, KeyCode(minKeycode), maxKeycode - minKeycode + 1, &perKeycode);
    KeymapSnapshot snapshot;
    snapshot.minKeycode = minKeycode;
    if (!keysyms)
        return snapshot;
    snapshot.keysymsPerKeycode = perKeycode;
    snapshot.keysyms.assign(keysyms, keysyms + size_t(maxKeycode - minKeycode + 1) * size_t(perKeycode));
    XFree(keysyms);
    return snapshot;
}

ModifierMapping readModifierMapping(Display *display)
{
    ModifierMapping mapping;
    XModifierKeymap *map = XGetModifierMapping(display);
    if (!map)
        return mapping;
    for (int mod = 0; mod < 8; ++mod)
        for (int i = 0; i < map->max_keypermod; ++i)
            mapping[size_t(mod)].push_back(map->modifiermap[mod * map->max_keypermod + i]);
    XFreeModifiermap(map);
    return mapping;
}

} // namespace zibbles
