#include "CellShift.h"

#include "workbook/cells/SheetCells.h"
#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/Worksheet.h"
#include "workbook/formula/FormulaReferences.h"

#include <algorithm>
#include <vector>

namespace tannbuch {

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

// Whole rows deleted: the row entries below move up with height and format,
// and so do the page breaks.
void deleteWholeRows(Worksheet &sheet, const RangeRef &block)
{
    const int height = block.rowCount();
    auto &rows = sheet.rowsForWrite(block.firstRow);
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
}

// A stretch of columns deleted: cells move between rows; the rows stay.
// Rows are walked upwards from the block, so each target row's stretch has
// already been emptied when cells arrive in it.
void deleteColumnStretch(Worksheet &sheet, const RangeRef &block)
{
    const int height = block.rowCount();
    auto &rows = sheet.rowsForWrite(block.firstRow);
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

// Whether something spanning those columns below the block moves up with it.
bool movesUp(const RangeRef &block, int row, int firstColumn, int lastColumn)
{
    return row > block.lastRow && firstColumn >= block.firstColumn && lastColumn <= block.lastColumn;
}

// Merges over the block go, even those starting above it; those below it
// move up where their cells do.
void shiftMerges(Worksheet &sheet, const RangeRef &block, bool wholeRows)
{
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
        if (wholeRows ? m.firstRow > block.lastRow : movesUp(block, m.firstRow, m.firstColumn, m.lastColumn)) {
            m.firstRow -= block.rowCount();
            m.lastRow -= block.rowCount();
        }
        keptMerges.push_back(m);
    }
    merges = std::move(keptMerges);
}

// Hyperlinks or pictures: those anchored in the block go, those below it
// move up with their cell.
template <typename Anchored> void shiftAnchored(std::vector<Anchored> &items, const RangeRef &block)
{
    std::vector<Anchored> kept;
    for (Anchored item : items) {
        if (block.contains(item.anchor.row, item.anchor.column))
            continue;
        if (movesUp(block, item.anchor.row, item.anchor.column, item.anchor.column))
            item.anchor.row -= block.rowCount();
        kept.push_back(std::move(item));
    }
    items = std::move(kept);
}

} // namespace

void CellShift::deleteShiftUp(Workbook &book, Worksheet &sheet, const RangeRef &block)
{
    // References follow the cells they name, wherever the formulas stand;
    // the texts are adjusted before the cells move, as they name positions
    // of the sheet as it is before the deletion.
    for (int i = 0; i < book.sheetCount(); ++i)
        adjustFormulas(book.sheet(i), sheet, block);

    const bool wholeRows = block.firstColumn == 1 && block.lastColumn == SheetLimits::MaxColumns;
    if (wholeRows)
        deleteWholeRows(sheet, block);
    else
        deleteColumnStretch(sheet, block);
    shiftMerges(sheet, block, wholeRows);
    if (!sheet.hyperlinks().empty())
        shiftAnchored(sheet.hyperlinksForWrite(), block);
    if (!sheet.pictures().empty())
        shiftAnchored(sheet.picturesForWrite(), block);
}

} // namespace tannbuch
