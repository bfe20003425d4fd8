#include "Window.h"

#include "workbook/automation/Application.h"
#include "workbook/automation/Book.h"
#include "workbook/automation/Sheet.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/cells/Worksheet.h"
#include "workbook/cells/XlConstants.h"

Window::Window(Application &app, Workbook &workbook)
    : m_app(&app)
    , m_book(&workbook)
{ }

int Window::view() const
{
    switch (activeSheet().worksheet().view()) {
    case SheetViewMode::PageBreakPreview:
        return Xl::ViewPageBreakPreview;
    case SheetViewMode::PageLayout:
        return Xl::ViewPageLayout;
    case SheetViewMode::Normal:
        break;
    }
    return Xl::ViewNormal;
}

void Window::setView(int view) const
{
    if (view != Xl::ViewNormal && view != Xl::ViewPageBreakPreview)
        throw WorkbookError(QStringLiteral("Unbekannte Ansicht %1.").arg(view));
    activeSheet().worksheet().setView(
        view == Xl::ViewPageBreakPreview ? SheetViewMode::PageBreakPreview : SheetViewMode::Normal);
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
