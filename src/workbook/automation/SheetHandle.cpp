#include "SheetHandle.h"

#include "workbook/automation/Application.h"
#include "workbook/automation/Hyperlinks.h"
#include "workbook/automation/Pictures.h"
#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"

namespace tannbuch {

SheetHandle::SheetHandle(Application &app, Workbook &workbook, Worksheet &sheet)
    : m_app(&app)
    , m_book(&workbook)
    , m_sheet(&sheet)
{ }

QString SheetHandle::name() const
{
    return m_sheet->name();
}

void SheetHandle::activate() const
{
    for (int i = 0; i < m_book->sheetCount(); ++i) {
        if (&m_book->sheet(i) == m_sheet) {
            m_book->setActiveSheetIndex(i);
            return;
        }
    }
}

Range SheetHandle::range(const QString &address) const
{
    return Range(*m_book, *m_sheet, CellAddress::parse(address), m_app);
}

Range SheetHandle::range(const RangeRef &ref) const
{
    return Range(*m_book, *m_sheet, ref, m_app);
}

Range SheetHandle::cells(int row, int column) const
{
    if (row < 1 || column < 1 || row > SheetLimits::MaxRows || column > SheetLimits::MaxColumns)
        throw WorkbookError(
            QStringLiteral("Die Zelle Zeile %1, Spalte %2 liegt außerhalb des Tabellenblatts.").arg(row).arg(column));
    return Range(*m_book, *m_sheet, RangeRef{row, column, row, column}, m_app);
}

namespace {

// "3" means "3:3", "K" means "K:K".
RangeRef parseLines(const QString &text)
{
    return CellAddress::parse(text.contains(QLatin1Char(':')) ? text : text + QLatin1Char(':') + text);
}

} // namespace

Range SheetHandle::rows(const QString &rows) const
{
    const RangeRef r = parseLines(rows);
    return Range(*m_book, *m_sheet, RangeRef{r.firstRow, 1, r.lastRow, SheetLimits::MaxColumns}, m_app);
}

Range SheetHandle::rows(int row) const
{
    if (row < 1 || row > SheetLimits::MaxRows)
        throw WorkbookError(QStringLiteral("Die Zeile %1 liegt außerhalb des Tabellenblatts.").arg(row));
    return Range(*m_book, *m_sheet, RangeRef{row, 1, row, SheetLimits::MaxColumns}, m_app);
}

Range SheetHandle::columns(const QString &columns) const
{
    const RangeRef r = parseLines(columns);
    return Range(*m_book, *m_sheet, RangeRef{1, r.firstColumn, SheetLimits::MaxRows, r.lastColumn}, m_app);
}

Range SheetHandle::columns(int column) const
{
    if (column < 1 || column > SheetLimits::MaxColumns)
        throw WorkbookError(QStringLiteral("Die Spalte %1 liegt außerhalb des Tabellenblatts.").arg(column));
    return Range(*m_book, *m_sheet, RangeRef{1, column, SheetLimits::MaxRows, column}, m_app);
}

Range SheetHandle::selection() const
{
    return Range(*m_book, *m_sheet, m_app->selectionOf(*m_sheet).range, m_app);
}

Range SheetHandle::activeCell() const
{
    const CellRef c = m_app->selectionOf(*m_sheet).activeCell;
    return Range(*m_book, *m_sheet, RangeRef{c.row, c.column, c.row, c.column}, m_app);
}

void SheetHandle::paste() const
{
    SheetSelection &selection = m_app->selectionOf(*m_sheet);
    const RangeRef pasted
        = m_app->clipboard().paste(*m_book, *m_sheet, CellRef{selection.range.firstRow, selection.range.firstColumn});
    selection.range = pasted;
    selection.activeCell = {pasted.firstRow, pasted.firstColumn};
}

void SheetHandle::resetAllPageBreaks() const
{
    if (!m_sheet->rowBreaks().empty())
        m_sheet->rowBreaksForWrite().clear();
}

Pictures SheetHandle::pictures() const
{
    return Pictures(*this);
}

Hyperlinks SheetHandle::hyperlinks() const
{
    return Hyperlinks(*this);
}

void SheetHandle::printOut(int copies, bool collate, const std::function<bool(int, int)> &progress) const
{
    activate();
    m_app->printWorkbook(*m_book, copies, collate, progress);
}

} // namespace tannbuch
