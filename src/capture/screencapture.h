#pragma once
// The picture of the whole primary screen, from its top-left corner.
#include <QImage>

namespace zibbles {

// A null image when there is no screen to capture.
QImage CaptureDesktop();

} // namespace zibbles
