#include "Window.h"

#include "Application.h"
#include "Book.h"
#include "Sheet.h"
#include "WorkbookError.h"
#include "XlConstants.h"

Window::Window(Application &app, Workbook &workbook)
    : m_app(&app)
    , m_book(&workbook)
{ }

int Window::view() const
{
    return m_app->view(*m_book);
}

void Window::setView(int view) const
{
    if (view != Xl::ViewNormal && view != Xl::ViewPageBreakPreview)
        throw WorkbookError(QStringLiteral("Unbekannte Ansicht %1.").arg(view));
    m_app->setView(*m_book, view);
}

Sheet Window::selectedSheets() const
{
    return activeSheet();
}

Sheet Window::activeSheet() const
{
    return Book(*m_app, *m_book).activeSheet();
}

Range Window::activeCell() const
{
    return activeSheet().activeCell();
}
