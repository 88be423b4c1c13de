#pragma once
// The picture of the whole primary screen, from its top-left corner.
#include <QImage>

namespace zibbles {

// A null image when there is no screen to capture. The image has the
// display's colour depth (see atColourDepth).
QImage CaptureDesktop();

// The image in the pixel format of a display of `depth` bits: 8 bits or
// fewer a palette of 256 colours, 15 and 16 bits 5-5-5 and 5-6-5, more
// 24-bit colour.
QImage atColourDepth(const QImage &image, int depth);

} // namespace zibbles
