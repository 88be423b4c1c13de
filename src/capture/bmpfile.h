#pragma once
// The bytes of a Windows bitmap file (BMP, uncompressed) of an image, at the
// image's own colour depth: 16-bit images give 16-bit files (5-6-5 with its
// bit masks, or 5-5-5), 8-bit images 8-bit files with their palette, all
// others 24-bit files.
#include <string>

class QImage;

namespace zibbles {

// Empty when the image is null or cannot be encoded.
std::string bmpFileBytes(const QImage &image);

} // namespace zibbles
