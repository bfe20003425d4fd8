#include "Worksheet.h"

#include <algorithm>
#include <utility>

namespace tannbuch {

namespace {

auto findColumn(std::vector<Cell> &cells, int column)
{
    return std::lower_bound(cells.begin(), cells.end(), column, [](const Cell &c, int col) { return c.column < col; });
}

} // namespace

Worksheet::Worksheet(const QString &name)
    : m_name(name)
{ }

const Cell *Worksheet::cell(int row, int column) const
{
    const auto r = m_rows.find(row);
    if (r == m_rows.end())
        return nullptr;
    const auto &cells = r->second.cells;
    const auto it
        = std::lower_bound(cells.begin(), cells.end(), column, [](const Cell &c, int col) { return c.column < col; });
    if (it == cells.end() || it->column != column)
        return nullptr;
    return &*it;
}

void Worksheet::noteChanged(int fromRow)
{
    m_changed = true;
    m_lowestChangedRow = std::min(m_lowestChangedRow, std::max(1, fromRow));
}

int Worksheet::takeLowestChangedRow()
{
    return std::exchange(m_lowestChangedRow, std::numeric_limits<int>::max());
}

Cell &Worksheet::cellForWrite(int row, int column)
{
    noteChanged(row);
    auto &cells = m_rows[row].cells;
    // Reports write left to right, so the common case appends.
    if (cells.empty() || cells.back().column < column) {
        cells.emplace_back();
        cells.back().column = column;
        return cells.back();
    }
    auto it = findColumn(cells, column);
    if (it != cells.end() && it->column == column)
        return *it;
    it = cells.emplace(it);
    it->column = column;
    return *it;
}

void Worksheet::removeCell(int row, int column)
{
    const auto r = m_rows.find(row);
    if (r == m_rows.end())
        return;
    auto &cells = r->second.cells;
    const auto it = findColumn(cells, column);
    if (it != cells.end() && it->column == column) {
        cells.erase(it);
        noteChanged(row);
    }
}

std::map<int, RowData> &Worksheet::rowsForWrite(int fromRow)
{
    noteChanged(fromRow);
    return m_rows;
}

const RowData *Worksheet::row(int row) const
{
    const auto r = m_rows.find(row);
    return r == m_rows.end() ? nullptr : &r->second;
}

RowData &Worksheet::rowForWrite(int row)
{
    noteChanged(row);
    return m_rows[row];
}

std::map<int, ColumnData> &Worksheet::columnsForWrite()
{
    m_changed = true;
    return m_columns;
}

std::vector<RangeRef> &Worksheet::mergesForWrite(int fromRow)
{
    noteChanged(fromRow);
    return m_merges;
}

std::vector<Hyperlink> &Worksheet::hyperlinksForWrite()
{
    m_changed = true;
    return m_hyperlinks;
}

std::set<int> &Worksheet::rowBreaksForWrite()
{
    m_changed = true;
    return m_rowBreaks;
}

std::vector<Picture> &Worksheet::picturesForWrite()
{
    m_changed = true;
    return m_pictures;
}

PageSetup &Worksheet::pageSetupForWrite()
{
    m_changed = true;
    return m_pageSetup;
}

RangeRef Worksheet::usedRange() const
{
    RangeRef used;
    for (const auto &[rowNumber, row] : m_rows) {
        for (const Cell &c : row.cells) {
            if (c.isEmpty())
                continue;
            if (used.firstRow == 0) {
                used = {rowNumber, c.column, rowNumber, c.column};
                continue;
            }
            used.firstRow = std::min(used.firstRow, rowNumber);
            used.lastRow = std::max(used.lastRow, rowNumber);
            used.firstColumn = std::min(used.firstColumn, c.column);
            used.lastColumn = std::max(used.lastColumn, c.column);
        }
    }
    return used;
}

} // namespace tannbuch
