#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

namespace tannbuch {

// The main window's position in the per-user settings store: application
// "Tannbuch_exe", section "FormPos", keys "X" and "Y" as decimal text in
// twips (15 twips to a pixel at the usual 96 dpi). Failures of the store are
// ignored.
class WindowPositionStore
{
public:
    static constexpr int TwipsPerPixel = 15;

    // The stored left and top edge in pixels; each value that is missing or
    // not a number stays empty.
    static std::optional<int> storedX();
    static std::optional<int> storedY();

    // Stores the position (pixels) when both coordinates, in twips, are
    // non-zero and fit in 16 bits; otherwise stores nothing and keeps the
    // previous position. Returns whether it stored.
    static bool store(const QPoint &topLeft);

    // Where a window frame of the given size goes when its stored top-left
    // corner is wanted: moved just far enough to lie inside the available
    // screen area; a frame larger than the area keeps its top-left corner
    // (and so its title bar) on the screen.
    static QPoint clampedTopLeft(const QPoint &topLeft, const QSize &frameSize, const QRect &available);
};

} // namespace tannbuch
