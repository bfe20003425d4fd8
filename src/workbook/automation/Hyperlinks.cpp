#include "Hyperlinks.h"

#include "workbook/cells/CellValueConversion.h"
#include "workbook/cells/SheetCells.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/cells/Worksheet.h"

#include <algorithm>

namespace tannbuch {

Hyperlinks::Hyperlinks(const SheetHandle &sheet)
    : m_sheet(sheet)
{ }

int Hyperlinks::count() const
{
    return int(m_sheet.worksheet().hyperlinks().size());
}

void Hyperlinks::add(const Range &anchor, const QString &address, const QString &textToDisplay) const
{
    Worksheet &sheet = m_sheet.worksheet();
    if (&anchor.worksheet() != &sheet)
        throw WorkbookError(
            QStringLiteral("Der Hyperlink muss auf dem Blatt \"%1\" verankert sein.").arg(sheet.name()));
    const QString target = address.trimmed();
    if (target.isEmpty())
        throw WorkbookError(QStringLiteral("Die Adresse des Hyperlinks ist leer."));

    Hyperlink link;
    link.anchor = {anchor.row(), anchor.column()};
    if (target.startsWith(QLatin1Char('#')))
        link.location = target.mid(1);
    else
        link.address = target;
    link.textToDisplay = textToDisplay.isEmpty() ? target : textToDisplay;

    // The cell shows the text as it is: a link text never becomes a number.
    Cell &cell = SheetCells::cellInRow(sheet, sheet.rowForWrite(link.anchor.row), link.anchor.column);
    const CellValueConversion::Converted shown
        = CellValueConversion::convertText(QLatin1Char('\'') + link.textToDisplay, true, m_sheet.workbook().locale());
    cell.type = CellType::Text;
    cell.cachedType = CellType::Empty;
    cell.number = 0.0;
    cell.text = shown.text;
    cell.formula.clear();
    if (shown.truncated)
        m_sheet.workbook().addWarning(
            QStringLiteral("Im Blatt \"%1\" wurde der Text eines Hyperlinks gekürzt.").arg(sheet.name()));

    auto &links = sheet.hyperlinksForWrite();
    links.erase(std::remove_if(links.begin(), links.end(), [&](const Hyperlink &h) { return h.anchor == link.anchor; }),
        links.end());
    links.push_back(std::move(link));
}

} // namespace tannbuch
