#pragma once

#include "workbook/cells/CellStyle.h"
#include "workbook/cells/Worksheet.h"

#include <QString>

#include <utility>

namespace tannbuch {

class Workbook;

// Cell access shared by the range operations: where a cell sits in its row,
// which format a new cell takes, and the format in effect for a style.
class SheetCells
{
public:
    // The format a cell without an entry shows: the row's own format when the
    // row has one, else its column's format, else the default (0). This is
    // also the format a new cell starts with, as in the spreadsheet program.
    static quint32 inheritedStyle(const Worksheet &sheet, const RowData *row, int column);
    // The style id of a cell, or the one it inherits when it has no entry.
    static quint32 effectiveStyle(const Worksheet &sheet, int row, int column);

    // The row's entry, created when missing; marks the sheet changed. Reports
    // write downwards, so the last row and a new row below it are found
    // without a search.
    static RowData &rowForWrite(Worksheet &sheet, int row);
    // The cell of the row at the column, created with the inherited format
    // when missing. Appending on the right is the fast path.
    static Cell &cellInRow(const Worksheet &sheet, RowData &rowData, int column);
    // Makes sure the row has cells in every column from first to last (new
    // ones with the inherited format); returns their index span in the row.
    static std::pair<size_t, size_t> fillRow(const Worksheet &sheet, RowData &rowData, int firstColumn, int lastColumn);
    // Index span [begin, end) of the row's cells from first to last column.
    static std::pair<size_t, size_t> span(const RowData &rowData, int firstColumn, int lastColumn);

    // The number format in effect for a style (program override, else the
    // template's format). The reference stays valid until the styles change.
    static const QString &numberFormat(const Workbook &book, quint32 styleId);
    // True when that number format is text ("@").
    static bool isTextFormat(const Workbook &book, quint32 styleId);
    // The border line in effect on one edge of a style.
    static BorderLine border(const Workbook &book, quint32 styleId, CellEdge edge);

    // True when a row entry carries nothing (no cells, no own format or
    // height) and can be dropped.
    static bool isBlankRow(const RowData &rowData);
};

} // namespace tannbuch
