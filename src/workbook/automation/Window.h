#pragma once

namespace tannbuch {

class Application;
class Range;
class SheetHandle;
class Workbook;

// The application window showing a workbook: its view and its selected
// sheets. The window shows each sheet in the view it last had there, so the
// view belongs to the active sheet and is saved with it. A small handle,
// valid while the workbook is open.
class Window
{
public:
    Window(Application &app, Workbook &workbook);

    // The active sheet's view: Xl::ViewNormal, Xl::ViewPageBreakPreview, or
    // Xl::ViewPageLayout when the template shows the sheet so.
    int view() const;
    // Shows the active sheet in Xl::ViewNormal or Xl::ViewPageBreakPreview;
    // throws WorkbookError for other values.
    void setView(int view) const;
    // The selected sheets: the active sheet (PrintOut prints through it).
    SheetHandle selectedSheets() const;
    SheetHandle activeSheet() const;
    Range activeCell() const;

private:
    Application *m_app;
    Workbook *m_book;
};

} // namespace tannbuch
