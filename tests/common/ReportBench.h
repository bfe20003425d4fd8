#pragma once

// The report test bench: a small SQLite database (demo schema, label
// texts, the rows of one case), an empty workbook, and a report run,
// selection and sheet cursor filled by hand (list 4711, cursor on row 8).
// Cells are checked against a table of expected cells, and every other cell
// of the rows looked at must be empty.

#include "common/QtPrinters.h"
#include "db/Connection.h"
#include "report/ReportRun.h"
#include "report/ReportSettings.h"
#include "report/SheetCursor.h"
#include "selection/SelectionFilter.h"
#include "workbook/automation/Application.h"

#include <QTemporaryDir>

#include <memory>
#include <vector>

#include "workbook/cells/Workbook.h"

namespace tannbuch {

class Worksheet;
namespace testsupport {
class MirrorBackend;
}

namespace reportbench {

constexpr int StartRow = 8;

// One expected cell; bold -1, size 0 and a null format are not checked.
struct CellCheck
{
    QString address;
    QString value;
    int bold;
    double size;
    QString format;
};
using Cells = std::vector<CellCheck>;

inline QString s(const char *utf8)
{
    return QString::fromUtf8(utf8);
}
// A bold label; a value in text format "@"; a value without format; a bold cell of a given size.
inline CellCheck label(const QString &a, const QString &v)
{
    return {a, v, 1, 0, QString()};
}
inline CellCheck text(const QString &a, const QString &v)
{
    return {a, v, -1, 0, QStringLiteral("@")};
}
inline CellCheck plain(const QString &a, const QString &v)
{
    return {a, v, -1, 0, QString()};
}
inline CellCheck styled(const QString &a, const QString &v, double size)
{
    return {a, v, 1, size, QString()};
}
// A head line (label in A, text in D) and a continuation line (text in D).
Cells line(int row, const QString &label, const QString &value);
Cells more(int row, const QString &value);
Cells operator+(Cells a, const Cells &b);

// Checks the expected cells (values with "@" stored as text) and that every
// other cell of A1:J<lastRow> is empty; failures name the cell, the
// expectation and what came.
void expectCells(Workbook &book, Worksheet &sheet, const Cells &expected, int lastRow);

class Bench
{
public:
    explicit Bench(const QString &rows = QString(), const QString &schemaChanges = QString());
    ~Bench();
    Bench(const Bench &) = delete;
    Bench &operator=(const Bench &) = delete;

    // The statements sent, without the text lookups.
    QStringList statements() const;
    Workbook &book();
    Worksheet &sheet();
    // Saves the report workbook as .xlsx into the bench folder and reads it
    // back, so checks see what the file holds.
    std::unique_ptr<Workbook> saved();

    QTemporaryDir dir;
    Connection db;
    Application xl;
    ReportSettings settings;
    ReportRun run;
    Selection selection;
    SheetCursor cursor;

private:
    // Set when the bench runs over the test endpoint.
    testsupport::MirrorBackend *m_mirror = nullptr;
};

// Read access to one sheet of a workbook read back from its file.
class SavedSheet
{
public:
    explicit SavedSheet(std::unique_ptr<Workbook> book);
    ~SavedSheet();

    // The raw value (double, bool, QString; invalid for empty) and the
    // trimmed text in the workbook's locale.
    QVariant raw(const QString &address) const;
    QString text(const QString &address) const;
    bool bold(const QString &address) const;
    QString format(const QString &address) const;
    Range range(const QString &address) const;
    Worksheet &sheet() const;
    // The values of A..J of a row as texts ("" for empty), joined by "|".
    QString row(int row, int lastColumn = 10) const;

private:
    std::unique_ptr<Workbook> m_book;
};

} // namespace reportbench

} // namespace tannbuch
