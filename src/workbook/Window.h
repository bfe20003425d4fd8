#pragma once

class Application;
class Range;
class Sheet;
class Workbook;

// The application window showing a workbook: its view and its selected
// sheets. A small handle, valid while the workbook is open.
class Window
{
public:
    Window(Application &app, Workbook &workbook);

    // Xl::ViewNormal or Xl::ViewPageBreakPreview.
    int view() const;
    // Throws WorkbookError for other values.
    void setView(int view) const;
    // The selected sheets: the active sheet (PrintOut prints through it).
    Sheet selectedSheets() const;
    Sheet activeSheet() const;
    Range activeCell() const;

private:
    Application *m_app;
    Workbook *m_book;
};
