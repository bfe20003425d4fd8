#pragma once

#include "workbook/cells/XlConstants.h"

#include <QString>

namespace tannbuch {

class Application;
class SheetHandle;
class Workbook;

// A workbook open in the application (the object model's Workbook; the
// in-memory model class is Workbook). A small handle, valid while the
// workbook is open.
class BookHandle
{
public:
    BookHandle(Application &app, Workbook &workbook);

    Workbook &workbook() const { return *m_book; }
    Application &application() const { return *m_app; }
    // The file name it was saved as, else the template's file name.
    QString name() const;

    int worksheetCount() const;
    // The sheet of that name (letter case ignored). Throws WorkbookError
    // naming the sheet when the workbook has none of that name.
    SheetHandle worksheets(const QString &name) const;
    SheetHandle activeSheet() const;
    // Makes it the active workbook.
    void activate() const;

    // Closes it (see Application::closeWorkbook); the handle is invalid then.
    void close(bool saveChanges = false) const;
    // Saves it as a standard .xlsx file; only Xl::FileFormatOpenXmlWorkbook
    // (51) is supported. An existing file of that name is replaced. Throws
    // WorkbookError for another format or when writing fails; a failed save
    // leaves an earlier file intact.
    void saveAs(const QString &path, int fileFormat = Xl::FileFormatOpenXmlWorkbook) const;

private:
    Application *m_app;
    Workbook *m_book;
};

} // namespace tannbuch
