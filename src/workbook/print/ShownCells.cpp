#include "ShownCells.h"

#include "workbook/cells/Cell.h"
#include "workbook/cells/Workbook.h"

#include <algorithm>

namespace tannbuch {

ShownCells::ShownCells(const Workbook &workbook)
    : m_workbook(workbook)
{ }

bool ShownCells::shows(const Cell &cell)
{
    return !cell.isEmpty() || styleShows(cell.styleId);
}

bool ShownCells::styleShows(quint32 id)
{
    if (id >= m_known.size())
        m_known.resize(size_t(id) + 1, -1);
    if (m_known[id] < 0) {
        const ResolvedStyle r = m_workbook.resolve(id);
        const bool lines
            = std::any_of(r.borders.begin(), r.borders.end(), [](const BorderLine &l) { return !l.isNone(); });
        m_known[id] = !r.fillColor.isEmpty() || lines ? 1 : 0;
    }
    return m_known[id] == 1;
}

} // namespace tannbuch
