#include "Border.h"

#include "workbook/cells/SheetCells.h"
#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/StyleEditor.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/cells/XlConstants.h"

#include <vector>

namespace tannbuch {

namespace {

BorderLine baseLine(const Workbook &book, const CellStyle &style, CellEdge edge)
{
    const auto &bases = book.baseStyles();
    if (style.baseXf >= 0 && size_t(style.baseXf) < bases.size())
        return bases[size_t(style.baseXf)].borders[size_t(edge)];
    if (!bases.empty())
        return bases.front().borders[size_t(edge)];
    return BorderLine();
}

BorderLine currentLine(const Workbook &book, const CellStyle &style, CellEdge edge)
{
    if (const auto &line = style.borders[size_t(edge)])
        return *line;
    return baseLine(book, style, edge);
}

// Sets an edge; a line equal to the template's is left to the template, so
// equal-looking cells share one style.
void assignLine(const Workbook &book, CellStyle &style, CellEdge edge, const BorderLine &line)
{
    if (line == baseLine(book, style, edge))
        style.borders[size_t(edge)].reset();
    else
        style.borders[size_t(edge)] = line;
}

// The cell edges an edge of the range means for a cell at that position.
std::vector<CellEdge> cellEdges(BorderEdge edge, unsigned position)
{
    std::vector<CellEdge> edges;
    switch (edge) {
    case BorderEdge::DiagonalDown:
        edges.push_back(EdgeDiagonalDown);
        break;
    case BorderEdge::DiagonalUp:
        edges.push_back(EdgeDiagonalUp);
        break;
    case BorderEdge::Left:
        if (position & StyleEditor::AtLeft)
            edges.push_back(EdgeLeft);
        break;
    case BorderEdge::Right:
        if (position & StyleEditor::AtRight)
            edges.push_back(EdgeRight);
        break;
    case BorderEdge::Top:
        if (position & StyleEditor::AtTop)
            edges.push_back(EdgeTop);
        break;
    case BorderEdge::Bottom:
        if (position & StyleEditor::AtBottom)
            edges.push_back(EdgeBottom);
        break;
    case BorderEdge::InsideVertical:
        if (!(position & StyleEditor::AtLeft))
            edges.push_back(EdgeLeft);
        if (!(position & StyleEditor::AtRight))
            edges.push_back(EdgeRight);
        break;
    case BorderEdge::InsideHorizontal:
        if (!(position & StyleEditor::AtTop))
            edges.push_back(EdgeTop);
        if (!(position & StyleEditor::AtBottom))
            edges.push_back(EdgeBottom);
        break;
    }
    return edges;
}

BorderLine lineAt(const Range &range, int row, int column, CellEdge edge)
{
    if (row < 1 || column < 1 || row > SheetLimits::MaxRows || column > SheetLimits::MaxColumns)
        return BorderLine();
    return SheetCells::border(range.workbook(), SheetCells::effectiveStyle(range.worksheet(), row, column), edge);
}

} // namespace

Border::Border(const Range &range, BorderEdge edge)
    : m_range(range)
    , m_edge(edge)
{
    const int index = int(edge);
    if (index < int(BorderEdge::DiagonalDown) || index > int(BorderEdge::InsideHorizontal))
        throw WorkbookError(QStringLiteral("Unbekannter Rahmen %1.").arg(index));
}

void Border::change(const std::function<BorderLine(BorderLine)> &newLine) const
{
    Workbook &book = m_range.workbook();
    Worksheet &sheet = m_range.worksheet();
    const RangeRef &r = m_range.ref();
    StyleEditor editor(book, sheet);
    editor.apply(
        r,
        [&](CellStyle &style, unsigned position) {
            for (CellEdge e : cellEdges(m_edge, position))
                assignLine(book, style, e, newLine(currentLine(book, style, e)));
        },
        true);

    // The neighbour across an outer edge.
    RangeRef neighbour;
    CellEdge facing = EdgeLeft;
    switch (m_edge) {
    case BorderEdge::Top:
        if (r.firstRow == 1)
            return;
        neighbour = {r.firstRow - 1, r.firstColumn, r.firstRow - 1, r.lastColumn};
        facing = EdgeBottom;
        break;
    case BorderEdge::Bottom:
        if (r.lastRow == SheetLimits::MaxRows)
            return;
        neighbour = {r.lastRow + 1, r.firstColumn, r.lastRow + 1, r.lastColumn};
        facing = EdgeTop;
        break;
    case BorderEdge::Left:
        if (r.firstColumn == 1)
            return;
        neighbour = {r.firstRow, r.firstColumn - 1, r.lastRow, r.firstColumn - 1};
        facing = EdgeRight;
        break;
    case BorderEdge::Right:
        if (r.lastColumn == SheetLimits::MaxColumns)
            return;
        neighbour = {r.firstRow, r.lastColumn + 1, r.lastRow, r.lastColumn + 1};
        facing = EdgeLeft;
        break;
    default:
        return;
    }
    editor.applyWhere(
        neighbour, [&](quint32 id) { return !SheetCells::border(book, id, facing).isNone(); },
        [&](CellStyle &style, unsigned) {
            assignLine(book, style, facing, newLine(currentLine(book, style, facing)));
        });
}

void Border::setLineStyle(int lineStyle) const
{
    switch (lineStyle) {
    case Xl::None:
    case Xl::Continuous:
    case Xl::Dash:
    case Xl::DashDot:
    case Xl::DashDotDot:
    case Xl::Dot:
    case Xl::Double:
    case Xl::SlantDashDot:
        break;
    default:
        throw WorkbookError(QStringLiteral("Unbekannte Linienart %1.").arg(lineStyle));
    }
    change([lineStyle](BorderLine line) {
        if (lineStyle == Xl::None)
            return BorderLine();
        if (line.isNone())
            line = BorderLine();
        line.lineStyle = lineStyle;
        return line;
    });
}

void Border::setWeight(int weight) const
{
    if (weight != Xl::Hairline && weight != Xl::Thin && weight != Xl::Medium && weight != Xl::Thick)
        throw WorkbookError(QStringLiteral("Unbekannte Linienstärke %1.").arg(weight));
    change([weight](BorderLine line) {
        if (line.isNone()) {
            line = BorderLine();
            line.lineStyle = Xl::Continuous;
        }
        line.weight = weight;
        return line;
    });
}

void Border::setColorIndex(int colorIndex) const
{
    if (colorIndex != Xl::ColorIndexAutomatic && (colorIndex < 1 || colorIndex > 56))
        throw WorkbookError(QStringLiteral("Unbekannter Farbindex %1.").arg(colorIndex));
    change([colorIndex](BorderLine line) {
        if (line.isNone()) {
            line = BorderLine();
            line.lineStyle = Xl::Continuous;
        }
        line.colorIndex = colorIndex;
        return line;
    });
}

BorderLine Border::line() const
{
    const RangeRef &r = m_range.ref();
    const auto shared = [&](int row, int column, CellEdge edge, int otherRow, int otherColumn, CellEdge otherEdge) {
        const BorderLine own = lineAt(m_range, row, column, edge);
        return own.isNone() ? lineAt(m_range, otherRow, otherColumn, otherEdge) : own;
    };
    switch (m_edge) {
    case BorderEdge::DiagonalDown:
        return lineAt(m_range, r.firstRow, r.firstColumn, EdgeDiagonalDown);
    case BorderEdge::DiagonalUp:
        return lineAt(m_range, r.firstRow, r.firstColumn, EdgeDiagonalUp);
    case BorderEdge::Left:
        return shared(r.firstRow, r.firstColumn, EdgeLeft, r.firstRow, r.firstColumn - 1, EdgeRight);
    case BorderEdge::Right:
        return shared(r.firstRow, r.lastColumn, EdgeRight, r.firstRow, r.lastColumn + 1, EdgeLeft);
    case BorderEdge::Top:
        return shared(r.firstRow, r.firstColumn, EdgeTop, r.firstRow - 1, r.firstColumn, EdgeBottom);
    case BorderEdge::Bottom:
        return shared(r.lastRow, r.firstColumn, EdgeBottom, r.lastRow + 1, r.firstColumn, EdgeTop);
    case BorderEdge::InsideVertical:
        if (r.columnCount() < 2)
            return BorderLine();
        return shared(r.firstRow, r.firstColumn, EdgeRight, r.firstRow, r.firstColumn + 1, EdgeLeft);
    case BorderEdge::InsideHorizontal:
        if (r.rowCount() < 2)
            return BorderLine();
        return shared(r.firstRow, r.firstColumn, EdgeBottom, r.firstRow + 1, r.firstColumn, EdgeTop);
    }
    return BorderLine();
}

} // namespace tannbuch
