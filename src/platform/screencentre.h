#pragma once
// Windows that open in the middle of the screen.
class QWidget;

namespace zibbles {

// Moves the window so that its client area is centred on the primary screen,
// whether a window manager has framed it yet (or at all) or not. Call it when
// the window is about to be shown.
void centreOnScreen(QWidget &window);

} // namespace zibbles
