#include "BorderPen.h"

#include "workbook/cells/CellStyle.h"
#include "workbook/cells/XlConstants.h"
#include "workbook/package/StyleCodes.h"

namespace tannbuch {

namespace {

double weightPoints(int weight)
{
    switch (weight) {
    case Xl::Hairline:
        return 0.25;
    case Xl::Medium:
        return 1.5;
    case Xl::Thick:
        return 2.25;
    default: // thin
        return 0.75;
    }
}

Qt::PenStyle dashes(int lineStyle)
{
    switch (lineStyle) {
    case Xl::Dash:
        return Qt::DashLine;
    case Xl::Dot:
        return Qt::DotLine;
    case Xl::DashDot:
    case Xl::SlantDashDot:
        return Qt::DashDotLine;
    case Xl::DashDotDot:
        return Qt::DashDotDotLine;
    default: // continuous and double
        return Qt::SolidLine;
    }
}

} // namespace

BorderPen BorderPen::of(const BorderLine &line)
{
    BorderPen pen;
    if (line.isNone())
        return pen;
    pen.isDouble = line.lineStyle == Xl::Double;
    // A double line is two thin strokes whatever its weight.
    pen.width = pen.isDouble ? 0.5 : weightPoints(line.weight);
    pen.isHairline = !pen.isDouble && line.weight == Xl::Hairline;
    pen.style = dashes(line.lineStyle);
    if (const QString color = StyleCodes::paletteColor(line.colorIndex); !color.isEmpty())
        pen.color = QColor(color);
    return pen;
}

} // namespace tannbuch
