#include "SheetCells.h"

#include "text/NumberFormatter.h"
#include "workbook/cells/Workbook.h"

#include <algorithm>

namespace tannbuch {

namespace {

bool columnBefore(const Cell &c, int column)
{
    return c.column < column;
}

const ResolvedStyle *baseStyle(const Workbook &book, const CellStyle &style)
{
    const auto &bases = book.baseStyles();
    if (style.baseXf >= 0 && size_t(style.baseXf) < bases.size())
        return &bases[size_t(style.baseXf)];
    if (!bases.empty())
        return &bases.front();
    return nullptr;
}

} // namespace

quint32 SheetCells::inheritedStyle(const Worksheet &sheet, const RowData *row, int column)
{
    if (row && row->styleId != 0)
        return row->styleId;
    const auto &columns = sheet.columns();
    if (columns.empty())
        return 0;
    const auto it = columns.find(column);
    return it == columns.end() ? 0 : it->second.styleId;
}

quint32 SheetCells::effectiveStyle(const Worksheet &sheet, int row, int column)
{
    if (const Cell *c = sheet.cell(row, column))
        return c->styleId;
    return inheritedStyle(sheet, sheet.row(row), column);
}

RowData &SheetCells::rowForWrite(Worksheet &sheet, int row)
{
    auto &rows = sheet.rowsForWrite(row);
    if (!rows.empty()) {
        const auto last = std::prev(rows.end());
        if (last->first == row)
            return last->second;
        if (last->first < row) {
            // The row left behind is mostly complete: its cells give back
            // the room their vector grew ahead (up to half of it).
            last->second.cells.shrink_to_fit();
            return rows.emplace_hint(rows.end(), row, RowData())->second;
        }
    }
    return rows[row];
}

Cell &SheetCells::cellInRow(const Worksheet &sheet, RowData &rowData, int column)
{
    auto &cells = rowData.cells;
    if (cells.empty() || cells.back().column < column) {
        const quint32 style = inheritedStyle(sheet, &rowData, column);
        cells.emplace_back();
        cells.back().column = column;
        cells.back().styleId = style;
        return cells.back();
    }
    auto it = std::lower_bound(cells.begin(), cells.end(), column, columnBefore);
    if (it != cells.end() && it->column == column)
        return *it;
    const quint32 style = inheritedStyle(sheet, &rowData, column);
    it = cells.emplace(it);
    it->column = column;
    it->styleId = style;
    return *it;
}

std::pair<size_t, size_t> SheetCells::span(const RowData &rowData, int firstColumn, int lastColumn)
{
    const auto &cells = rowData.cells;
    const auto lo = std::lower_bound(cells.begin(), cells.end(), firstColumn, columnBefore);
    const auto hi = std::lower_bound(lo, cells.end(), lastColumn + 1, columnBefore);
    return {size_t(lo - cells.begin()), size_t(hi - cells.begin())};
}

std::pair<size_t, size_t> SheetCells::fillRow(const Worksheet &sheet, RowData &rowData, int firstColumn, int lastColumn)
{
    auto &cells = rowData.cells;
    const auto [lo, hi] = span(rowData, firstColumn, lastColumn);
    const size_t wanted = size_t(lastColumn - firstColumn + 1);
    if (hi - lo == wanted)
        return {lo, hi};
    std::vector<Cell> filled;
    filled.reserve(wanted);
    size_t existing = lo;
    for (int column = firstColumn; column <= lastColumn; ++column) {
        if (existing < hi && cells[existing].column == column) {
            filled.push_back(std::move(cells[existing++]));
        } else {
            Cell c;
            c.column = column;
            c.styleId = inheritedStyle(sheet, &rowData, column);
            filled.push_back(std::move(c));
        }
    }
    cells.erase(cells.begin() + qsizetype(lo), cells.begin() + qsizetype(hi));
    cells.insert(
        cells.begin() + qsizetype(lo), std::make_move_iterator(filled.begin()), std::make_move_iterator(filled.end()));
    return {lo, lo + wanted};
}

const QString &SheetCells::numberFormat(const Workbook &book, quint32 styleId)
{
    static const QString general = QStringLiteral("General");
    const CellStyle &style = book.styles().style(styleId);
    if (style.numberFormat)
        return *style.numberFormat;
    if (const ResolvedStyle *base = baseStyle(book, style))
        return base->numberFormat;
    return general;
}

bool SheetCells::isTextFormat(const Workbook &book, quint32 styleId)
{
    return NumberFormatter::isTextFormat(numberFormat(book, styleId));
}

BorderLine SheetCells::border(const Workbook &book, quint32 styleId, CellEdge edge)
{
    const CellStyle &style = book.styles().style(styleId);
    if (const auto &line = style.borders[size_t(edge)])
        return *line;
    if (const ResolvedStyle *base = baseStyle(book, style))
        return base->borders[size_t(edge)];
    return BorderLine();
}

bool SheetCells::isBlankRow(const RowData &rowData)
{
    return rowData.cells.empty() && rowData.styleId == 0 && rowData.height < 0 && !rowData.customHeight
        && !rowData.hidden;
}

} // namespace tannbuch
