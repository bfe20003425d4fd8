#pragma once

#include "workbook/automation/BookHandle.h"
#include "workbook/automation/Border.h"
#include "workbook/automation/Font.h"
#include "workbook/automation/Hyperlinks.h"
#include "workbook/automation/Pictures.h"
#include "workbook/automation/Range.h"
#include "workbook/automation/SheetHandle.h"
#include "workbook/automation/TemplateMacros.h"
#include "workbook/automation/Window.h"
#include "workbook/automation/Workbooks.h"
#include "workbook/cells/CellAddress.h"
#include "workbook/cells/XlConstants.h"
#include "workbook/editing/CellClipboard.h"

#include <QLocale>
#include <QString>
#include <QVariantList>

#include <functional>

#include <map>
#include <memory>
#include <vector>

namespace tannbuch {

class Workbook;
class Worksheet;

// The selection of one worksheet: the selected range and the active cell in it.
struct SheetSelection
{
    RangeRef range{1, 1, 1, 1};
    CellRef activeCell{1, 1};
};

// The spreadsheet application the report drives, held in memory: its open
// workbooks (made from templates, kept until closed), the active workbook,
// per-sheet selections, the clipboard of copied cells, window state, and the
// template macros. The report writes through the handles it hands out
// (BookHandle, SheetHandle, Range, Window), which read like the object model:
//     xl.range(u"A"_s + QString::number(row)).setValue(text);
//     xl.activeSheet().rows(row).setPageBreak(Xl::PageBreakManual);
// Handles stay valid while their workbook is open.
//
// Errors: operations throw WorkbookError with a German message (no workbook
// open, missing sheet or macro, bad address, unreadable template, failed
// save or print). The application stays usable after an error.
class Application
{
public:
    // How the application prints a workbook: copies, collation, progress
    // (pages done of all, answering false to cancel) and the file the
    // workbook is saved as (for the header codes &F and &Z). Answers false
    // when cancelled; throws WorkbookError when printing fails.
    using Printer = std::function<bool(const Workbook &workbook, int copies, bool collate,
        const std::function<bool(int, int)> &progress, const QString &savedPath)>;

    // A new application: invisible, normal window, screen updating and alerts
    // on, no workbook, the system's locale.
    Application();
    ~Application();
    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;

    bool isVisible() const { return m_visible; }
    void setVisible(bool visible) { m_visible = visible; }
    int windowState() const { return m_windowState; }
    // Xl::WindowNormal, Xl::WindowMinimized or Xl::WindowMaximized; throws
    // WorkbookError for other values.
    void setWindowState(int state);
    bool screenUpdating() const { return m_screenUpdating; }
    void setScreenUpdating(bool on) { m_screenUpdating = on; }
    bool displayAlerts() const { return m_displayAlerts; }
    void setDisplayAlerts(bool on) { m_displayAlerts = on; }
    // The locale for typed numbers and values read as text; new workbooks
    // take it, and setting it changes the open workbooks too.
    const QLocale &locale() const { return m_locale; }
    void setLocale(const QLocale &locale);

    // The open workbooks (Count, Add, Close).
    Workbooks workbooks();
    int workbookCount() const { return int(m_books.size()); }
    // Loads a template or workbook file and makes it the active workbook.
    // Throws WorkbookError naming the file when it cannot be read.
    BookHandle addWorkbook(const QString &templatePath);
    // A new empty workbook with one sheet "Tabelle1", made active.
    BookHandle addWorkbook();
    // Takes a workbook built elsewhere into the application, made active.
    BookHandle addWorkbook(std::unique_ptr<Workbook> workbook);
    // The open workbook at index 0.., throws WorkbookError outside.
    BookHandle workbookAt(int index);
    // Makes an open workbook the active one.
    void activateWorkbook(Workbook &workbook);
    // Closes a workbook; with saveChanges it is first saved under the name it
    // was last saved as (throws WorkbookError when it has none). The
    // workbook's handles become invalid; the next open workbook becomes
    // active.
    void closeWorkbook(Workbook &workbook, bool saveChanges = false);
    // Closes every workbook without saving and ends the application; adding
    // a workbook afterwards throws WorkbookError.
    void quit();
    bool hasQuit() const { return m_quit; }

    // Runs a template macro in the active workbook ("DieseArbeitsmappe.
    // WriteKopfFuss"); every call is recorded first. Throws WorkbookError for
    // an unknown macro, unfitting arguments or when no workbook is open.
    void run(const QString &macroName, const QVariantList &arguments = {});
    // Every macro call so far, in order.
    const std::vector<MacroCall> &macroCalls() const { return m_macroCalls; }

    // Objects of the active sheet of the active workbook; all throw
    // WorkbookError when no workbook is open or the address is bad.
    Range range(const QString &address);
    Range cells(int row, int column);
    Range rows(const QString &rows);
    Range rows(int row);
    Range columns(const QString &columns);
    Range columns(int column);
    Range selection();
    Range activeCell();
    SheetHandle activeSheet();
    Window activeWindow();
    BookHandle activeWorkbook();
    // A sheet of the active workbook by name (letter case ignored).
    SheetHandle worksheets(const QString &name);

    // Selection state of a sheet (A1 until something is selected).
    SheetSelection &selectionOf(const Worksheet &sheet);
    // True when the sheet is the active sheet of the active workbook.
    bool isActiveSheet(const Worksheet &sheet) const;
    void setClipboard(CellClipboard clipboard) { m_clipboard = std::move(clipboard); }
    const CellClipboard &clipboard() const { return m_clipboard; }

    // Saves the workbook as .xlsx (results of formulas recomputed first) and
    // remembers the name. Throws WorkbookError naming the file.
    void saveWorkbookAs(Workbook &workbook, const QString &path);
    // Saves a copy of the workbook as .xlsx, as saveWorkbookAs does, but
    // keeps the name it was last saved as. Throws WorkbookError naming the file.
    void saveWorkbookCopy(Workbook &workbook, const QString &path);
    // The file the workbook was last saved as; empty when never saved.
    QString savedPath(const Workbook &workbook) const;
    // Forgets that name: the workbook now holds another report than the
    // file, which nothing may save over without asking.
    void forgetSavedPath(const Workbook &workbook) { m_savedPaths.erase(&workbook); }
    // Prints the workbook through the printer set (by default the report
    // printer's print command), telling its progress. Throws WorkbookError.
    void printWorkbook(
        Workbook &workbook, int copies, bool collate, const std::function<bool(int, int)> &progress = {});
    // Sets how the application prints; an empty printer restores the default.
    void setPrinter(Printer printer) { m_printer = std::move(printer); }

private:
    Workbook &requireActiveWorkbook();
    void forgetWorkbook(const Workbook &workbook);

    std::vector<std::unique_ptr<Workbook>> m_books;
    int m_active = -1;
    bool m_visible = false;
    int m_windowState;
    bool m_screenUpdating = true;
    bool m_displayAlerts = true;
    bool m_quit = false;
    QLocale m_locale;
    std::map<const Worksheet *, SheetSelection> m_selections;
    std::map<const Workbook *, QString> m_savedPaths;
    CellClipboard m_clipboard;
    std::vector<MacroCall> m_macroCalls;
    Printer m_printer;
};

} // namespace tannbuch
