#pragma once

#include <QString>

class QVariant;

namespace tannbuch {

struct ReportRun;
struct SheetCursor;

// Head lines: the label/value lines of the head block and its relatives (the
// lot summary). A head line has its label in column A, bold, and its value in
// column D, formatted as text ("@") before the value goes in, so a lot "007"
// or a date stays exactly as printed. Failures of the workbook (WorkbookError)
// and of the database (DbError) go to the caller.

// Writes one head line at the sheet cursor and moves the cursor to the next row.
void writeLabelValueLine(ReportRun &run, SheetCursor &cursor, const QString &label, const QString &value);

// A database value as a head line shows it: NULL empty, dates and numbers in the report locale's forms.
QString headValueText(const QVariant &value);

// Runs the query and writes the field as head lines (joined by "," or one per row); empty ones only with showEmpty.
void WriteHeadLine(ReportRun &run, SheetCursor &cursor, const QString &field, const QString &query, qint32 textId,
    bool onePerRow, const QString &labelSuffix, bool showEmpty);

} // namespace tannbuch
