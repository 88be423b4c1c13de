// A Windows icon file (.ico) of square PNG pictures, one entry per size: the
// form Windows Vista and later, and Wine, read at every size.
#pragma once

#include <QByteArray>
#include <QList>

struct IconPicture {
    int size;        // width and height in pixels, 1..256
    QByteArray png;  // the picture as a PNG file
};

QByteArray iconFile(const QList<IconPicture> &pictures);
