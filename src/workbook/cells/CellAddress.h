#pragma once

#include <QString>
#include <QStringView>

namespace tannbuch {

// Addresses in the letter-and-row form: A12, A12:J40, K:K (whole columns),
// 3:8 (whole rows). Rows and columns count from 1.
struct CellRef
{
    int row = 0;
    int column = 0;

    bool operator==(const CellRef &) const = default;
};

struct RangeRef
{
    int firstRow = 0;
    int firstColumn = 0;
    int lastRow = 0;
    int lastColumn = 0;

    bool operator==(const RangeRef &) const = default;

    int rowCount() const { return lastRow - firstRow + 1; }
    int columnCount() const { return lastColumn - firstColumn + 1; }
    bool isSingleCell() const { return firstRow == lastRow && firstColumn == lastColumn; }
    bool contains(int row, int column) const
    {
        return row >= firstRow && row <= lastRow && column >= firstColumn && column <= lastColumn;
    }
    bool intersects(const RangeRef &other) const
    {
        return firstRow <= other.lastRow && other.firstRow <= lastRow && firstColumn <= other.lastColumn
            && other.firstColumn <= lastColumn;
    }
};

namespace CellAddress {

// "A" for 1, "Z" for 26, "AA" for 27 ... "XFD" for 16384; empty outside 1..16384.
QString columnLetters(int column);
// 1 for "A" (letters in any case); 0 when the text is not a valid column.
int columnIndex(QStringView letters);
// "A12" for row 12, column 1.
QString cellName(int row, int column);
// "A12:J40", or "A12" for a single cell.
QString rangeName(const RangeRef &range);

// Parses an address; whole columns and rows reach to the sheet's limits.
// Throws WorkbookError with a German message on a malformed address or one
// outside the sheet.
RangeRef parse(QStringView address);

} // namespace CellAddress

} // namespace tannbuch
