#pragma once

#include <QColor>

namespace tannbuch {

struct BorderLine;

// A cell's border line as a pen draws it: how wide, dashed how, single or
// double, in which colour. Paper and screen draw from the same pen; the
// screen rounds the width to whole pixels.
struct BorderPen
{
    double width = 0; // points across the line; 0 = no line
    Qt::PenStyle style = Qt::SolidLine;
    bool isDouble = false; // two strokes of this width with a gap between
    bool isHairline = false; // the finest weight, thinner than a screen pixel
    QColor color = Qt::black;

    bool isNone() const { return width <= 0; }

    // The pen of a border line as a cell's style gives it: its weight in
    // points, its dash pattern and its palette colour (black when automatic).
    static BorderPen of(const BorderLine &line);
};

} // namespace tannbuch
