#include "Book.h"

#include "workbook/automation/Application.h"
#include "workbook/automation/Sheet.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"

#include <QFileInfo>

Book::Book(Application &app, Workbook &workbook)
    : m_app(&app)
    , m_book(&workbook)
{ }

QString Book::name() const
{
    const QString saved = m_app->savedPath(*m_book);
    return QFileInfo(saved.isEmpty() ? m_book->sourcePath() : saved).fileName();
}

int Book::worksheetCount() const
{
    return m_book->sheetCount();
}

Sheet Book::worksheets(const QString &name) const
{
    Worksheet *sheet = m_book->sheet(name);
    if (!sheet)
        throw WorkbookError(QStringLiteral("Die Arbeitsmappe hat kein Tabellenblatt \"%1\".").arg(name));
    return Sheet(*m_app, *m_book, *sheet);
}

Sheet Book::activeSheet() const
{
    if (m_book->sheetCount() == 0)
        throw WorkbookError(QStringLiteral("Die Arbeitsmappe hat kein Tabellenblatt."));
    return Sheet(*m_app, *m_book, m_book->activeSheet());
}

void Book::activate() const
{
    m_app->activateWorkbook(*m_book);
}

void Book::close(bool saveChanges) const
{
    m_app->closeWorkbook(*m_book, saveChanges);
}

void Book::saveAs(const QString &path, int fileFormat) const
{
    if (fileFormat != Xl::FileFormatOpenXmlWorkbook)
        throw WorkbookError(QStringLiteral("Das Dateiformat %1 wird nicht unterstützt; gespeichert wird als "
                                           "Arbeitsmappe (.xlsx).")
                                .arg(fileFormat));
    m_app->saveWorkbookAs(*m_book, path);
}
