#pragma once
// Where the window stands on the screen. The stored position is the user's
// (or the program's default); it is kept whenever the window fits there, so
// the window never jumps for no reason. A position that would put part of the
// window, and perhaps its close button, outside the screen's available area
// (a large scale factor, a smaller screen than it was made on) is moved just
// enough to bring it in; a window larger than the area is centred on it, so
// both edges are cut alike rather than one side lost.

#include <QPoint>
#include <QRect>

class QWidget;

namespace lugatim::app {

// The top-left corner for a window of frame within available.
QPoint KeptOnScreen(const QRect& frame, const QRect& available);

// Moves the top-level window onto the available area of the screen it
// stands on (the primary screen when it stands on none).
void KeepOnScreen(QWidget& window);

}  // namespace lugatim::app
