#include "SheetExtent.h"

#include "workbook/cells/Workbook.h"
#include "workbook/cells/Worksheet.h"
#include "workbook/print/ShownCells.h"

#include <algorithm>

namespace tannbuch {

SheetExtent SheetExtent::of(const Workbook &workbook, const Worksheet &sheet)
{
    SheetExtent extent;
    ShownCells shown(workbook);
    for (const auto &[rowNumber, row] : sheet.rows()) {
        // The row's last cell that shows anything.
        const auto last
            = std::find_if(row.cells.rbegin(), row.cells.rend(), [&](const Cell &cell) { return shown.shows(cell); });
        if (last != row.cells.rend())
            extent.include(rowNumber, last->column);
    }
    for (const RangeRef &m : sheet.merges())
        extent.include(m.lastRow, m.lastColumn);
    return extent;
}

void SheetExtent::include(int row, int column)
{
    lastRow = std::max(lastRow, row);
    lastColumn = std::max(lastColumn, column);
}

} // namespace tannbuch
