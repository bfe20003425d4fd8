#include "CellShift.h"

#include "FormulaReferences.h"
#include "SheetCells.h"
#include "SheetLimits.h"
#include "Worksheet.h"

#include <algorithm>
#include <vector>

namespace {

void shiftFormulas(std::vector<Cell>::iterator first, std::vector<Cell>::iterator last, int rowOffset)
{
    for (auto it = first; it != last; ++it) {
        if (it->type == CellType::Formula)
            it->formula = FormulaReferences::shift(it->formula, rowOffset, 0);
    }
}

} // namespace

void CellShift::deleteShiftUp(Worksheet &sheet, const RangeRef &block)
{
    const int height = block.rowCount();
    const bool wholeRows = block.firstColumn == 1 && block.lastColumn == SheetLimits::MaxColumns;
    const auto movesUp = [&](int row, int firstColumn, int lastColumn) {
        return row > block.lastRow && firstColumn >= block.firstColumn && lastColumn <= block.lastColumn;
    };

    auto &rows = sheet.rowsForWrite();
    if (wholeRows) {
        // Whole rows: the row entries themselves move, with height and format.
        rows.erase(rows.lower_bound(block.firstRow), rows.upper_bound(block.lastRow));
        auto it = rows.upper_bound(block.lastRow);
        while (it != rows.end()) {
            auto node = rows.extract(it++);
            node.key() -= height;
            shiftFormulas(node.mapped().cells.begin(), node.mapped().cells.end(), -height);
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
                shiftFormulas(cells.begin() + qsizetype(lo), cells.begin() + qsizetype(hi), -height);
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

    auto &merges = sheet.mergesForWrite();
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
