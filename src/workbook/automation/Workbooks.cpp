#include "Workbooks.h"

#include "workbook/automation/Application.h"
#include "workbook/automation/Book.h"

Workbooks::Workbooks(Application &app)
    : m_app(&app)
{ }

int Workbooks::count() const
{
    return m_app->workbookCount();
}

Book Workbooks::add(const QString &templatePath) const
{
    return m_app->addWorkbook(templatePath);
}

Book Workbooks::add() const
{
    return m_app->addWorkbook();
}

Book Workbooks::item(int index) const
{
    return m_app->workbookAt(index);
}

void Workbooks::close(const Book &book, bool saveChanges) const
{
    m_app->closeWorkbook(book.workbook(), saveChanges);
}
