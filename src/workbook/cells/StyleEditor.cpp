#include "StyleEditor.h"

#include "workbook/cells/SheetCells.h"
#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/Worksheet.h"

namespace tannbuch {

StyleEditor::StyleEditor(Workbook &book, Worksheet &sheet)
    : m_book(book)
    , m_sheet(sheet)
{ }

quint32 StyleEditor::mapped(quint32 oldId, unsigned position)
{
    const quint64 key = quint64(oldId) * 16 + position;
    for (const auto &[known, id] : m_shortCache) {
        if (known == key)
            return id;
    }
    if (!m_longCache.empty()) {
        const auto it = m_longCache.find(key);
        if (it != m_longCache.end())
            return it->second;
    }
    CellStyle style = m_book.styles().style(oldId);
    (*m_change)(style, position);
    const quint32 id = m_book.styles().intern(style);
    if (m_shortCache.size() < ShortCacheSize)
        m_shortCache.emplace_back(key, id);
    else
        m_longCache.emplace(key, id);
    return id;
}

void StyleEditor::clearCache()
{
    m_shortCache.clear();
    m_longCache.clear();
}

void StyleEditor::apply(const RangeRef &r, const Change &change, bool positionDependent)
{
    m_change = &change;
    clearCache();
    const auto position = [&](bool top, bool bottom, bool left, bool right) -> unsigned {
        if (!positionDependent)
            return 0;
        return (top ? AtTop : 0u) | (bottom ? AtBottom : 0u) | (left ? AtLeft : 0u) | (right ? AtRight : 0u);
    };
    const auto cellPosition = [&](int row, int column) {
        return position(row == r.firstRow, row == r.lastRow, column == r.firstColumn, column == r.lastColumn);
    };
    const bool wholeColumns = r.firstRow == 1 && r.lastRow == SheetLimits::MaxRows;
    const bool wholeRows = r.firstColumn == 1 && r.lastColumn == SheetLimits::MaxColumns;
    // From the row above: borders reach the neighbouring cells.
    auto &rows = m_sheet.rowsForWrite(r.firstRow - 1);

    if (wholeColumns && wholeRows) {
        // The whole sheet: every format and cell the sheet has.
        for (auto &[column, data] : m_sheet.columnsForWrite()) {
            if (data.styleId != 0)
                data.styleId = mapped(data.styleId, position(false, false, column == 1, column == r.lastColumn));
        }
        for (auto &[rowNumber, data] : rows) {
            if (data.styleId != 0)
                data.styleId = mapped(data.styleId, position(rowNumber == 1, rowNumber == r.lastRow, false, false));
            for (Cell &c : data.cells)
                c.styleId = mapped(c.styleId, cellPosition(rowNumber, c.column));
        }
        return;
    }

    if (wholeColumns) {
        auto &columns = m_sheet.columnsForWrite();
        for (int column = r.firstColumn; column <= r.lastColumn; ++column) {
            ColumnData &data = columns[column];
            data.styleId
                = mapped(data.styleId, position(false, false, column == r.firstColumn, column == r.lastColumn));
        }
        for (auto &[rowNumber, data] : rows) {
            // A row with its own format overrides the column's for its empty
            // cells, so those cells get entries of their own.
            const auto [lo, hi] = data.styleId != 0 ? SheetCells::fillRow(m_sheet, data, r.firstColumn, r.lastColumn)
                                                    : SheetCells::span(data, r.firstColumn, r.lastColumn);
            for (size_t i = lo; i < hi; ++i)
                data.cells[i].styleId = mapped(data.cells[i].styleId, cellPosition(rowNumber, data.cells[i].column));
        }
        return;
    }

    if (wholeRows) {
        std::vector<int> formattedColumns;
        for (const auto &[column, data] : m_sheet.columns()) {
            if (data.styleId != 0)
                formattedColumns.push_back(column);
        }
        for (int rowNumber = r.firstRow; rowNumber <= r.lastRow; ++rowNumber) {
            RowData &data = SheetCells::rowForWrite(m_sheet, rowNumber);
            // Empty cells of formatted columns showed the column's format;
            // they keep it, changed, in entries of their own.
            if (data.styleId == 0) {
                for (int column : formattedColumns)
                    SheetCells::cellInRow(m_sheet, data, column);
            }
            data.styleId
                = mapped(data.styleId, position(rowNumber == r.firstRow, rowNumber == r.lastRow, false, false));
            for (Cell &c : data.cells)
                c.styleId = mapped(c.styleId, cellPosition(rowNumber, c.column));
        }
        return;
    }

    for (int rowNumber = r.firstRow; rowNumber <= r.lastRow; ++rowNumber) {
        RowData &data = SheetCells::rowForWrite(m_sheet, rowNumber);
        const auto [lo, hi] = SheetCells::fillRow(m_sheet, data, r.firstColumn, r.lastColumn);
        for (size_t i = lo; i < hi; ++i)
            data.cells[i].styleId = mapped(data.cells[i].styleId, cellPosition(rowNumber, data.cells[i].column));
    }
}

void StyleEditor::applyWhere(const RangeRef &r, const std::function<bool(quint32)> &wanted, const Change &change)
{
    m_change = &change;
    clearCache();
    const bool wholeColumns = r.firstRow == 1 && r.lastRow == SheetLimits::MaxRows;
    const bool wholeRows = r.firstColumn == 1 && r.lastColumn == SheetLimits::MaxColumns;

    if (wholeColumns || wholeRows) {
        // Neighbours of whole rows or columns: their formats and the cells
        // that exist.
        if (wholeColumns) {
            auto &columns = m_sheet.columnsForWrite();
            for (int column = r.firstColumn; column <= r.lastColumn; ++column) {
                const auto it = columns.find(column);
                if (it != columns.end() && wanted(it->second.styleId))
                    it->second.styleId = mapped(it->second.styleId, 0);
            }
        }
        auto &rows = m_sheet.rowsForWrite(r.firstRow - 1);
        for (auto it = rows.lower_bound(r.firstRow); it != rows.end() && it->first <= r.lastRow; ++it) {
            RowData &data = it->second;
            if (wholeRows && data.styleId != 0 && wanted(data.styleId))
                data.styleId = mapped(data.styleId, 0);
            const auto [lo, hi] = SheetCells::span(data, r.firstColumn, r.lastColumn);
            for (size_t i = lo; i < hi; ++i) {
                if (wanted(data.cells[i].styleId))
                    data.cells[i].styleId = mapped(data.cells[i].styleId, 0);
            }
        }
        return;
    }

    for (int rowNumber = r.firstRow; rowNumber <= r.lastRow; ++rowNumber) {
        const RowData *existing = m_sheet.row(rowNumber);
        for (int column = r.firstColumn; column <= r.lastColumn; ++column) {
            const Cell *c = existing ? m_sheet.cell(rowNumber, column) : nullptr;
            const quint32 id = c ? c->styleId : SheetCells::inheritedStyle(m_sheet, existing, column);
            if (!wanted(id))
                continue;
            RowData &data = SheetCells::rowForWrite(m_sheet, rowNumber);
            Cell &cell = SheetCells::cellInRow(m_sheet, data, column);
            cell.styleId = mapped(cell.styleId, 0);
            existing = &data;
        }
    }
}

} // namespace tannbuch
