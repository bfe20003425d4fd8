#include "Workbooks.h"

#include "workbook/automation/Application.h"
#include "workbook/automation/BookHandle.h"

namespace tannbuch {

Workbooks::Workbooks(Application &app)
    : m_app(&app)
{ }

int Workbooks::count() const
{
    return m_app->workbookCount();
}

BookHandle Workbooks::add(const QString &templatePath) const
{
    return m_app->addWorkbook(templatePath);
}

BookHandle Workbooks::add() const
{
    return m_app->addWorkbook();
}

BookHandle Workbooks::item(int index) const
{
    return m_app->workbookAt(index);
}

void Workbooks::close(const BookHandle &book, bool saveChanges) const
{
    m_app->closeWorkbook(book.workbook(), saveChanges);
}

} // namespace tannbuch
