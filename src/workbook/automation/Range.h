#pragma once

#include "workbook/cells/CellAddress.h"
#include "workbook/cells/CellStyle.h"
#include "workbook/cells/XlConstants.h"

#include <QString>
#include <QStringView>
#include <QVariant>

namespace tannbuch {

class Application;
class Border;
class Font;
class Workbook;
class Worksheet;

// A block of cells of one worksheet (one cell, A12:J40, whole columns K:K or
// whole rows 3:8) with the operations the report writes through. A Range is a
// small handle: copying it is cheap, and it stays valid while its workbook is
// open. Operations that concern the application (select, activate, copy) need
// the application the range was taken from; a range made from a bare workbook
// throws WorkbookError for them.
//
// Errors: every operation throws WorkbookError with a German message on a bad
// argument (address off the sheet, NaN, unknown constant, width or size out
// of range); nothing is changed then.
class Range
{
public:
    // A range of a sheet of the workbook; `app` may be null.
    Range(Workbook &book, Worksheet &sheet, const RangeRef &ref, Application *app = nullptr);
    // Parses the address (A12, A12:J40, K:K, 3:8). Throws WorkbookError.
    Range(Workbook &book, Worksheet &sheet, QStringView address, Application *app = nullptr);

    const RangeRef &ref() const { return m_ref; }
    // The address without "$" (A12:J40, or A12 for one cell).
    QString address() const;
    int row() const { return m_ref.firstRow; }
    int column() const { return m_ref.firstColumn; }
    int rowCount() const { return m_ref.rowCount(); }
    int columnCount() const { return m_ref.columnCount(); }
    bool isWholeColumns() const;
    bool isWholeRows() const;
    Workbook &workbook() const { return *m_book; }
    Worksheet &worksheet() const { return *m_sheet; }
    Application *application() const { return m_app; }

    // The same cells seen as rows or as columns (Selection.Columns.AutoFit).
    Range rows() const { return *this; }
    Range columns() const { return *this; }
    // The whole rows or whole columns the range touches.
    Range entireRow() const;
    Range entireColumn() const;
    // The cell at row and column counted from the range's top left (1, 1).
    // Throws WorkbookError off the sheet.
    Range cells(int row, int column) const;

    // Makes the range the selection of its sheet, its top left the active
    // cell. Throws WorkbookError when the sheet is not the active sheet.
    void select() const;
    // Moves the active cell to the range's top left; inside the selection the
    // selection stays, otherwise the range becomes the selection.
    void activate() const;

    // Writes the value into every cell of the range, by the rules of
    // CellValueConversion; a null value or empty text clears the values and
    // keeps the formats. Texts longer than a cell holds are cut (the
    // workbook gets a warning). Throws WorkbookError for NaN and infinity.
    void setValue(const QVariant &value) const;
    // Writes a formula ("=H14/ H20") and its computed result; on several
    // cells the relative references move cell by cell. A text without "="
    // is written as a value. Throws WorkbookError for unbalanced brackets or
    // quotes.
    void setFormula(const QString &formula) const;
    // The top left cell's value as text, trimmed: numbers in their plain
    // form in the workbook's locale (12 as "12", 1.5 as "1,5" in German),
    // booleans WAHR/FALSCH, a formula its result ("#DIV/0!" for an error),
    // "" for an empty cell.
    QString value() const;
    // The top left cell's value: double, bool, QString or invalid for empty.
    QVariant rawValue() const;
    // The top left cell's value as displayed under its number format.
    QString text() const;
    // The top left cell's formula ("=..."), or its value as text.
    QString formula() const;

    // Sets the number format of every cell ("0.000", "@", ...; an empty
    // text means General). Throws WorkbookError for codes over 255 characters.
    void setNumberFormat(const QString &format) const;
    // The number format of the top left cell.
    QString numberFormat() const;
    // Font of the range (Bold, Size).
    Font font() const;
    // Sets the horizontal alignment of every cell.
    void setHorizontalAlignment(HAlign alignment) const;
    HAlign horizontalAlignment() const;
    // One border edge of the range (index 5 to 12).
    Border borders(BorderEdge edge) const;

    // Merges the range into one cell; merged areas it touches are taken in.
    // The top left value stays, the other cells lose their values.
    void merge() const;
    // Removes the merged areas that the range touches.
    void unMerge() const;
    // True when the top left cell lies in a merged area.
    bool mergeCells() const;

    // Sets the width in characters (0 to 255; 0 hides) of the range's
    // columns. Throws WorkbookError outside that.
    void setColumnWidth(double width) const;
    // Width of the first column in characters; below 0 when it has the
    // default width.
    double columnWidth() const;
    // Fits the width of the range's columns to their texts (ColumnAutoFit).
    void autoFit() const;

    // Copies the range to the application's clipboard (Copy).
    void copy() const;
    // Deletes the range; cells below move up (Delete with Shift up). Only
    // Xl::Up is supported; another shift throws WorkbookError.
    void deleteCells(int shift = Xl::Up) const;

    // Xl::PageBreakManual puts a manual page break above the range's first
    // row, Xl::PageBreakNone removes it; another value throws WorkbookError.
    // A break above row 1 is meaningless and not kept. Every break is kept
    // here; saving writes the first ones the file admits and warns.
    void setPageBreak(int pageBreak) const;
    int pageBreak() const;

private:
    friend class Font;
    friend class Border;
    Application &requireApplication(const QString &operation) const;

    Workbook *m_book;
    Worksheet *m_sheet;
    RangeRef m_ref;
    Application *m_app;
};

} // namespace tannbuch
