#include "WindowFit.h"

#include "app/WindowPositionStore.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace tannbuch {

namespace WindowFit {

QMargins assumedFrame()
{
    return {8, 32, 8, 8};
}

QSize fittedSize(const QSize &wanted, const QRect &available, const QMargins &frame)
{
    const QSize room = available.size().shrunkBy(frame).expandedTo(QSize(1, 1));
    return wanted.boundedTo(room);
}

void fitIntoScreen(QWidget &window, QScreen *screen)
{
    if (!screen)
        screen = window.screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    // Until the window is shown its frame is not known (frame and client
    // geometry are the same then).
    const bool frameKnown = window.isVisible() && window.frameGeometry() != window.geometry();
    const QMargins frame = frameKnown ? QMargins(window.geometry().left() - window.frameGeometry().left(),
                               window.geometry().top() - window.frameGeometry().top(),
                               window.frameGeometry().right() - window.geometry().right(),
                               window.frameGeometry().bottom() - window.geometry().bottom())
                                      : assumedFrame();
    const QSize size = fittedSize(window.size(), available, frame);
    if (size != window.size())
        window.resize(size);
    // A window nobody placed is left to the window manager.
    if (!window.isVisible() && !window.testAttribute(Qt::WA_Moved))
        return;
    const QSize frameSize = size.grownBy(frame);
    const QPoint frameTopLeft = window.isVisible() ? window.frameGeometry().topLeft() : window.pos();
    const QPoint inside = WindowPositionStore::clampedTopLeft(frameTopLeft, frameSize, available);
    if (inside != frameTopLeft)
        window.move(inside);
}

} // namespace WindowFit

} // namespace tannbuch
