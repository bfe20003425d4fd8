#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QScreen;
class QWidget;

namespace tannbuch {

// Top-level windows fitted into the screen's available area (without task
// bars and panels), whatever the screen size and scale factor.
namespace WindowFit {

// The frame a window is given room for before it is first shown, when the
// window manager has not told its real frame yet: a title bar and borders of
// the usual size.
QMargins assumedFrame();

// The client size of a window that wants the given size on a screen: no
// wider and no taller than the available area less the frame.
QSize fittedSize(const QSize &wanted, const QRect &available, const QMargins &frame);

// Makes a top-level window no larger than the available area of the screen
// (its own screen when none is given) and, when it was placed or is shown,
// moves its frame inside the area, the title bar first. Uses the real frame
// once the window is shown, else assumedFrame().
void fitIntoScreen(QWidget &window, QScreen *screen = nullptr);

} // namespace WindowFit

} // namespace tannbuch
