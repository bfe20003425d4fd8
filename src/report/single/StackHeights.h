#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

namespace tannbuch {

class Recordset;
struct ReportRun;
struct SheetCursor;

// The height measurement of a pile of stacked wood, printed below the pile's
// row in the single-log section: the older method (front heights, average
// height, pile length) or the two-part method (front and back lengths and
// heights, averages, part volumes, correction factor, total volume). Database
// (DbError) and workbook (WorkbookError) failures go to the caller.

// The statements, each for one record id.
QString StackHeadStatement(const QString &idLog);
QString FrontHeightsStatement(const QString &idLog);
QString BackHeightsStatement(const QString &idLog);
QString AverageHeightStatement(const QString &idLog);

// A measured value as printed: the number in the report locale followed
// directly by its unit ("2,35m"); a null value gives the bare unit.
QString measuredText(const QVariant &value, const QString &unit);

// The correction factor of a correction in percent as a text cell value:
// an apostrophe and (100 - correction) / 100; only the apostrophe for null.
QString correctionFactorText(const QVariant &correction);

// Writes the single heights of the result from the sheet cursor on: nine per
// pair of rows in columns B to J, the height number above its height. A null
// height leaves its column empty but uses up its number.
void WriteHeightGrid(ReportRun &run, SheetCursor &cursor, Recordset &heights);

// The statements WriteStackHeights may send for a record that turns out to be
// of type 7 (which one the measurement head decides); none when heights are
// switched off or the record has no pile length.
QStringList StackHeightsLookups(const ReportRun &run, const Recordset &record);

// Writes the measurement block of the current record of the single-log
// result, when the record is of internal type 7, heights are switched on and
// the record has a pile length. Called with the cursor on the record's last
// row; leaves it on the first row below the block.
void WriteStackHeights(ReportRun &run, SheetCursor &cursor, const Recordset &record, int recordType);

} // namespace tannbuch
