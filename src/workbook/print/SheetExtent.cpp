#include "SheetExtent.h"

#include "workbook/cells/Workbook.h"
#include "workbook/cells/Worksheet.h"

#include <algorithm>
#include <vector>

namespace {

// True when a style shows without a value: a fill or a border line.
class VisibleStyles
{
public:
    explicit VisibleStyles(const Workbook &workbook)
        : m_workbook(workbook)
    { }
    bool shows(quint32 id)
    {
        if (id >= m_known.size())
            m_known.resize(id + 1, -1);
        if (m_known[id] < 0) {
            const ResolvedStyle r = m_workbook.resolve(id);
            const bool lines
                = std::any_of(r.borders.begin(), r.borders.end(), [](const BorderLine &l) { return !l.isNone(); });
            m_known[id] = !r.fillColor.isEmpty() || lines ? 1 : 0;
        }
        return m_known[id] == 1;
    }

private:
    const Workbook &m_workbook;
    std::vector<signed char> m_known;
};

} // namespace

SheetExtent SheetExtent::of(const Workbook &workbook, const Worksheet &sheet)
{
    SheetExtent extent;
    VisibleStyles visible(workbook);
    for (const auto &[rowNumber, row] : sheet.rows()) {
        // The row's last cell that shows anything.
        const auto shown = std::find_if(row.cells.rbegin(), row.cells.rend(),
            [&](const Cell &cell) { return !cell.isEmpty() || visible.shows(cell.styleId); });
        if (shown != row.cells.rend())
            extent.include(rowNumber, shown->column);
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
