#include "Window.h"

#include "workbook/automation/Application.h"
#include "workbook/automation/BookHandle.h"
#include "workbook/automation/SheetHandle.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/cells/Worksheet.h"
#include "workbook/cells/XlConstants.h"

namespace tannbuch {

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

SheetHandle Window::selectedSheets() const
{
    return activeSheet();
}

SheetHandle Window::activeSheet() const
{
    return BookHandle(*m_app, *m_book).activeSheet();
}

Range Window::activeCell() const
{
    return activeSheet().activeCell();
}

} // namespace tannbuch
