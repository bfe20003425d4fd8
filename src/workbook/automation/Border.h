#pragma once

#include "workbook/automation/Range.h"
#include "workbook/cells/CellStyle.h"

#include <functional>

namespace tannbuch {

// One border edge of a range (Borders(index) of the object model). On a range
// of several cells Left, Top, Right and Bottom are its outer edges and
// InsideVertical/InsideHorizontal the edges between its cells (a range of one
// row or column has no inside horizontal or vertical edges; setting them does
// nothing); the diagonals cross every cell.
//
// Two neighbouring cells share an edge that the spreadsheet shows as one
// line. Inside edges are therefore set on both cells. An outer edge is set on
// the range's cells; the neighbour outside the range changes its matching
// edge only when it already shows a line there: it takes the new line, and
// xlNone clears it, so a cleared edge really disappears and a changed one
// never shows two different lines.
class Border
{
public:
    // Throws WorkbookError for an index outside 5 to 12.
    Border(const Range &range, BorderEdge edge);

    // Sets the line style (Xl::Continuous, Xl::None, dashes, dots, double).
    // Throws WorkbookError for an unknown style.
    void setLineStyle(int lineStyle) const;
    // Sets the weight (Xl::Hairline, Xl::Thin, Xl::Medium, Xl::Thick); an edge
    // without a line gets a continuous one. Throws WorkbookError otherwise.
    void setWeight(int weight) const;
    // Sets the colour (Xl::ColorIndexAutomatic or palette index 1 to 56); an
    // edge without a line gets a continuous one. Throws WorkbookError
    // otherwise.
    void setColorIndex(int colorIndex) const;

    // The line shown on the edge at the range's top left.
    BorderLine line() const;
    int lineStyle() const { return line().lineStyle; }
    int weight() const { return line().weight; }
    int colorIndex() const { return line().colorIndex; }

private:
    void change(const std::function<BorderLine(BorderLine)> &newLine) const;

    Range m_range;
    BorderEdge m_edge;
};

} // namespace tannbuch
