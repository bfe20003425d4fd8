#include "Font.h"

#include "workbook/cells/SheetCells.h"
#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/StyleEditor.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"

#include <cmath>

namespace tannbuch {

Font::Font(const Range &range)
    : m_range(range)
{ }

void Font::setBold(bool bold) const
{
    StyleEditor(m_range.workbook(), m_range.worksheet()).apply(m_range.ref(), [bold](CellStyle &s, unsigned) {
        s.bold = bold;
    });
}

bool Font::bold() const
{
    return m_range.workbook()
        .resolve(SheetCells::effectiveStyle(m_range.worksheet(), m_range.row(), m_range.column()))
        .bold;
}

void Font::setSize(double points) const
{
    if (!std::isfinite(points) || points < 1.0 || points > SheetLimits::MaxFontSize)
        throw WorkbookError(QStringLiteral("Die Schriftgröße %1 liegt nicht zwischen 1 und %2.")
                                .arg(points)
                                .arg(SheetLimits::MaxFontSize));
    StyleEditor(m_range.workbook(), m_range.worksheet()).apply(m_range.ref(), [points](CellStyle &s, unsigned) {
        s.fontSize = points;
    });
}

double Font::size() const
{
    return m_range.workbook()
        .resolve(SheetCells::effectiveStyle(m_range.worksheet(), m_range.row(), m_range.column()))
        .fontSize;
}

} // namespace tannbuch
