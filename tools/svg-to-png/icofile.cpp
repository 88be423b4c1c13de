#include "icofile.h"

#include <QtEndian>

namespace {

void put16(QByteArray &out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void put32(QByteArray &out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

} // namespace

QByteArray iconFile(const QList<IconPicture> &pictures)
{
    QByteArray out;
    put16(out, 0);  // reserved
    put16(out, 1);  // an icon, not a cursor
    put16(out, quint16(pictures.size()));
    // The directory (6 + 16 bytes per entry), then the pictures in its order.
    quint32 offset = quint32(6 + 16 * pictures.size());
    for (const IconPicture &p : pictures) {
        const char side = char(p.size >= 256 ? 0 : p.size); // 0 stands for 256
        out.append(side).append(side);
        out.append(char(0)).append(char(0)); // no palette, reserved
        put16(out, 1);  // colour planes
        put16(out, 32); // bits per pixel
        put32(out, quint32(p.png.size()));
        put32(out, offset);
        offset += quint32(p.png.size());
    }
    for (const IconPicture &p : pictures)
        out.append(p.png);
    return out;
}
