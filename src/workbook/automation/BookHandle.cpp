#include "BookHandle.h"

#include "workbook/automation/Application.h"
#include "workbook/automation/SheetHandle.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"

#include <QFileInfo>

namespace tannbuch {

BookHandle::BookHandle(Application &app, Workbook &workbook)
    : m_app(&app)
    , m_book(&workbook)
{ }

QString BookHandle::name() const
{
    const QString saved = m_app->savedPath(*m_book);
    return QFileInfo(saved.isEmpty() ? m_book->sourcePath() : saved).fileName();
}

int BookHandle::worksheetCount() const
{
    return m_book->sheetCount();
}

SheetHandle BookHandle::worksheets(const QString &name) const
{
    Worksheet *sheet = m_book->sheet(name);
    if (!sheet)
        throw WorkbookError(QStringLiteral("Die Arbeitsmappe hat kein Tabellenblatt \"%1\".").arg(name));
    return SheetHandle(*m_app, *m_book, *sheet);
}

SheetHandle BookHandle::activeSheet() const
{
    if (m_book->sheetCount() == 0)
        throw WorkbookError(QStringLiteral("Die Arbeitsmappe hat kein Tabellenblatt."));
    return SheetHandle(*m_app, *m_book, m_book->activeSheet());
}

void BookHandle::activate() const
{
    m_app->activateWorkbook(*m_book);
}

void BookHandle::close(bool saveChanges) const
{
    m_app->closeWorkbook(*m_book, saveChanges);
}

void BookHandle::saveAs(const QString &path, int fileFormat) const
{
    if (fileFormat != Xl::FileFormatOpenXmlWorkbook)
        throw WorkbookError(QStringLiteral("Das Dateiformat %1 wird nicht unterstützt; gespeichert wird als "
                                           "Arbeitsmappe (.xlsx).")
                                .arg(fileFormat));
    m_app->saveWorkbookAs(*m_book, path);
}

} // namespace tannbuch
