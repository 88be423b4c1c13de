#include "x11properties.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <memory>

namespace zibbles::x11 {

namespace {
struct XFreeDeleter {
    void operator()(void *data) const
    {
        if (data)
            XFree(data);
    }
};
using XData = std::unique_ptr<unsigned char, XFreeDeleter>;

struct Property {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    XData data;
};

Property readProperty(Display *display, Window window, Atom property, Atom type)
{
    Property result;
    unsigned long remaining = 0;
    unsigned char *data = nullptr;
    // 64 K items is far more than any title or window list holds.
    if (XGetWindowProperty(display, window, property, 0, 65536, False, type, &result.type, &result.format,
                           &result.count, &remaining, &data) != Success)
        return {};
    result.data.reset(data);
    return result;
}

std::string latin1ToUtf8(const unsigned char *text, unsigned long length)
{
    std::string out;
    for (unsigned long i = 0; i < length; ++i) {
        unsigned char c = text[i];
        if (c < 0x80) {
            out += char(c);
        } else {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::optional<std::string> compoundTextToUtf8(Display *display, const Property &property)
{
    XTextProperty text{property.data.get(), property.type, property.format, property.count};
    char **list = nullptr;
    int count = 0;
    if (Xutf8TextPropertyToTextList(display, &text, &list, &count) < Success || count < 1 || !list)
        return std::nullopt;
    std::string result = list[0];
    XFreeStringList(list);
    return result;
}
} // namespace

Atom atom(Display *display, const char *name)
{
    return XInternAtom(display, name, False);
}

std::vector<unsigned long> readLongs(Display *display, Window window, Atom property, Atom type)
{
    Property p = readProperty(display, window, property, type);
    if (!p.data || p.format != 32)
        return {};
    auto *items = reinterpret_cast<unsigned long *>(p.data.get()); // Xlib hands out longs
    return std::vector<unsigned long>(items, items + p.count);
}

std::optional<std::string> readTitle(Display *display, Window window)
{
    const Atom utf8 = atom(display, "UTF8_STRING");
    Property net = readProperty(display, window, atom(display, "_NET_WM_NAME"), utf8);
    if (net.data && net.type == utf8 && net.format == 8)
        return std::string(reinterpret_cast<const char *>(net.data.get()), net.count);

    Property name = readProperty(display, window, XA_WM_NAME, AnyPropertyType);
    if (!name.data || name.format != 8)
        return std::nullopt;
    if (name.type == XA_STRING)
        return latin1ToUtf8(name.data.get(), name.count);
    if (name.type == utf8)
        return std::string(reinterpret_cast<const char *>(name.data.get()), name.count);
    return compoundTextToUtf8(display, name);
}

} // namespace zibbles::x11
