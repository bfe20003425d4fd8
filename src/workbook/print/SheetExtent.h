#pragma once

namespace tannbuch {

class Workbook;
class Worksheet;

// How far a sheet's cells reach: the last row and the last column that hold
// a value or show a format without one (a fill or a border line), merged
// areas included. Unformatted empty cells at a row's end do not count. Both
// 0 for a sheet with nothing in it. Pages and the window add what else they
// show (pictures, links, breaks) with include().
struct SheetExtent
{
    int lastRow = 0;
    int lastColumn = 0;

    // Scans the sheet's rows once; styles are resolved once each. Never throws.
    static SheetExtent of(const Workbook &workbook, const Worksheet &sheet);
    // Grows the extent to take in that cell.
    void include(int row, int column);
};

} // namespace tannbuch
