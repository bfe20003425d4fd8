#include "BorderPen.h"

#include "workbook/cells/CellStyle.h"
#include "workbook/cells/XlConstants.h"

namespace {

// The workbook's default colour palette, indexed 1..56 as border colours are.
constexpr QRgb Palette[56] = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, //
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080, //
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF, //
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF, //
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99, //
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696, //
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333, //
};

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
    if (line.colorIndex >= 1 && line.colorIndex <= 56)
        pen.color = QColor::fromRgb(Palette[line.colorIndex - 1]);
    return pen;
}
