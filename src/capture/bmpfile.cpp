#include "bmpfile.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <cstdint>

namespace zibbles {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitFields = 3;

void put16(std::string &out, uint32_t v)
{
    out += char(v & 0xff);
    out += char((v >> 8) & 0xff);
}

void put32(std::string &out, uint32_t v)
{
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

// Qt writes 1-, 4-, 8- and 24-bit files only; 16 bits per pixel are written
// here, the pixels as they are (no colour is rounded twice).
std::string sixteenBitBmp(const QImage &image)
{
    const bool fiveSixFive = image.format() == QImage::Format_RGB16;
    const uint32_t width = uint32_t(image.width()), height = uint32_t(image.height());
    const uint32_t rowBytes = (width * 2 + 3) / 4 * 4;
    const uint32_t masks = fiveSixFive ? 12 : 0;
    const uint32_t offset = kFileHeaderSize + kInfoHeaderSize + masks;
    std::string out;
    out.reserve(offset + rowBytes * height);
    out += "BM";
    put32(out, offset + rowBytes * height);
    put32(out, 0);
    put32(out, offset);
    put32(out, kInfoHeaderSize);
    put32(out, width);
    put32(out, height); // positive: the rows run from the bottom up
    put16(out, 1);      // planes
    put16(out, 16);     // bits per pixel
    put32(out, fiveSixFive ? kBiBitFields : kBiRgb);
    put32(out, rowBytes * height);
    put32(out, 2835); // 72 dots per inch, as pixels per metre
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    if (fiveSixFive) {
        put32(out, 0xf800);
        put32(out, 0x07e0);
        put32(out, 0x001f);
    }
    for (int y = image.height() - 1; y >= 0; --y) {
        const auto *pixels = reinterpret_cast<const uint16_t *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            put16(out, pixels[x]);
        out.append(rowBytes - width * 2, '\0');
    }
    return out;
}

} // namespace

std::string bmpFileBytes(const QImage &image)
{
    if (image.isNull())
        return {};
    if (image.format() == QImage::Format_RGB16 || image.format() == QImage::Format_RGB555)
        return sixteenBitBmp(image);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(image))
        return {};
    return bytes.toStdString();
}

} // namespace zibbles
