#include "CellShift.h"

#include "workbook/cells/SheetCells.h"
#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/Worksheet.h"
#include "workbook/formula/FormulaReferences.h"

#include <algorithm>
#include <vector>

namespace {

// Adjusts the formulas of one sheet to a deletion on `deletedFrom`; a sheet is
// only written to (and so marked changed) where a formula changes.
void adjustFormulas(Worksheet &sheet, const Worksheet &deletedFrom, const RangeRef &block)
{
    const bool onThatSheet = &sheet == &deletedFrom;
    struct Change
    {
        int row;
        int column;
        QString formula;
    };
    std::vector<Change> changes;
    for (const auto &[rowNumber, row] : sheet.rows()) {
        for (const Cell &c : row.cells) {
            if (c.type != CellType::Formula)
                continue;
            QString adjusted
                = FormulaReferences::adjustForDeletedRows(c.formula, block, deletedFrom.name(), onThatSheet);
            if (adjusted != c.formula)
                changes.push_back({rowNumber, c.column, std::move(adjusted)});
        }
    }
    for (Change &change : changes)
        sheet.cellForWrite(change.row, change.column).formula = std::move(change.formula);
}

} // namespace

void CellShift::deleteShiftUp(Workbook &book, Worksheet &sheet, const RangeRef &block)
{
    // References follow the cells they name, wherever the formulas stand;
    // the texts are adjusted before the cells move, as they name positions
    // of the sheet as it is before the deletion.
    for (int i = 0; i < book.sheetCount(); ++i)
        adjustFormulas(book.sheet(i), sheet, block);

    const int height = block.rowCount();
    const bool wholeRows = block.firstColumn == 1 && block.lastColumn == SheetLimits::MaxColumns;
    const auto movesUp = [&](int row, int firstColumn, int lastColumn) {
        return row > block.lastRow && firstColumn >= block.firstColumn && lastColumn <= block.lastColumn;
    };

    auto &rows = sheet.rowsForWrite(block.firstRow);
    if (wholeRows) {
        // Whole rows: the row entries themselves move, with height and format.
        rows.erase(rows.lower_bound(block.firstRow), rows.upper_bound(block.lastRow));
        auto it = rows.upper_bound(block.lastRow);
        while (it != rows.end()) {
            auto node = rows.extract(it++);
            node.key() -= height;
            rows.insert(std::move(node));
        }
        auto &breaks = sheet.rowBreaksForWrite();
        std::set<int> moved;
        for (int b : breaks) {
            if (b < block.firstRow)
                moved.insert(b);
            else if (b > block.lastRow)
                moved.insert(b - height);
        }
        breaks = std::move(moved);
    } else {
        // A stretch of columns: cells move between rows; the rows stay.
        // Rows are walked upwards from the block, so each target row's
        // stretch has already been emptied when cells arrive in it.
        std::vector<int> touched;
        for (auto it = rows.lower_bound(block.firstRow); it != rows.end(); ++it) {
            RowData &source = it->second;
            auto &cells = source.cells;
            const auto [lo, hi] = SheetCells::span(source, block.firstColumn, block.lastColumn);
            if (lo == hi)
                continue;
            if (it->first > block.lastRow) {
                RowData &target = rows[it->first - height];
                const auto [at, unused] = SheetCells::span(target, block.firstColumn, block.lastColumn);
                Q_UNUSED(unused);
                target.cells.insert(target.cells.begin() + qsizetype(at),
                    std::make_move_iterator(cells.begin() + qsizetype(lo)),
                    std::make_move_iterator(cells.begin() + qsizetype(hi)));
            }
            cells.erase(cells.begin() + qsizetype(lo), cells.begin() + qsizetype(hi));
            touched.push_back(it->first);
        }
        for (int row : touched) {
            const auto it = rows.find(row);
            if (it != rows.end() && SheetCells::isBlankRow(it->second))
                rows.erase(it);
        }
    }

    // Merges over the block go, even those starting above it.
    int firstMergeRow = block.firstRow;
    for (const RangeRef &m : sheet.merges()) {
        if (m.intersects(block))
            firstMergeRow = std::min(firstMergeRow, m.firstRow);
    }
    auto &merges = sheet.mergesForWrite(firstMergeRow);
    std::vector<RangeRef> keptMerges;
    for (RangeRef m : merges) {
        if (m.intersects(block))
            continue;
        if (wholeRows ? m.firstRow > block.lastRow : movesUp(m.firstRow, m.firstColumn, m.lastColumn)) {
            m.firstRow -= height;
            m.lastRow -= height;
        }
        keptMerges.push_back(m);
    }
    merges = std::move(keptMerges);

    if (!sheet.hyperlinks().empty()) {
        auto &links = sheet.hyperlinksForWrite();
        std::vector<Hyperlink> kept;
        for (Hyperlink h : links) {
            if (block.contains(h.anchor.row, h.anchor.column))
                continue;
            if (movesUp(h.anchor.row, h.anchor.column, h.anchor.column))
                h.anchor.row -= height;
            kept.push_back(std::move(h));
        }
        links = std::move(kept);
    }

    if (!sheet.pictures().empty()) {
        auto &pictures = sheet.picturesForWrite();
        std::vector<Picture> kept;
        for (Picture p : pictures) {
            if (block.contains(p.anchor.row, p.anchor.column))
                continue;
            if (movesUp(p.anchor.row, p.anchor.column, p.anchor.column))
                p.anchor.row -= height;
            kept.push_back(std::move(p));
        }
        pictures = std::move(kept);
    }
}
