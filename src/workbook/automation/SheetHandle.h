#pragma once

#include "workbook/automation/Range.h"
#include "workbook/cells/CellAddress.h"

#include <QString>

#include <functional>

namespace tannbuch {

class Application;
class Hyperlinks;
class Pictures;
class Workbook;
class Worksheet;

// A worksheet of a workbook open in the application (the object model's
// Worksheet; the in-memory model class is Worksheet). A small handle, valid
// while the workbook is open. Addresses are checked: a bad one throws
// WorkbookError.
class SheetHandle
{
public:
    SheetHandle(Application &app, Workbook &workbook, Worksheet &sheet);

    Worksheet &worksheet() const { return *m_sheet; }
    Workbook &workbook() const { return *m_book; }
    Application &application() const { return *m_app; }
    QString name() const;

    // Makes it the active sheet of its workbook.
    void activate() const;

    // Cells of the sheet by address (A12, A12:J40, K:K, 3:8).
    Range range(const QString &address) const;
    Range range(const RangeRef &ref) const;
    // One cell by row and column (1-based); the cheap way in loops.
    Range cells(int row, int column) const;
    // Whole rows ("3:8", "3" or a row number) and whole columns ("K:K",
    // "K:M", "K" or a column number); an address of cells gives their rows
    // or columns.
    Range rows(const QString &rows) const;
    Range rows(int row) const;
    Range columns(const QString &columns) const;
    Range columns(int column) const;
    // The sheet's selection and active cell.
    Range selection() const;
    Range activeCell() const;

    // Pastes the application's clipboard with its top left at the selection's
    // top left; the pasted range becomes the selection. Throws WorkbookError
    // when nothing was copied or it does not fit there.
    void paste() const;
    // Removes every manual page break of the sheet.
    void resetAllPageBreaks() const;
    // The sheet's pictures and hyperlinks.
    Pictures pictures() const;
    Hyperlinks hyperlinks() const;
    // Prints the workbook with this sheet as the selected one, telling the
    // pages done of all. Throws WorkbookError when printing fails.
    void printOut(int copies = 1, bool collate = true, const std::function<bool(int, int)> &progress = {}) const;

private:
    Application *m_app;
    Workbook *m_book;
    Worksheet *m_sheet;
};

} // namespace tannbuch
