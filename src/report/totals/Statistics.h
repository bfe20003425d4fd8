#pragma once

#include <QString>
#include <QStringList>

namespace tannbuch {

struct ReportRun;
struct Selection;
struct SheetCursor;

// The statistics block of one record type: mean length, diameter and volume
// per piece, mean stacked volume, volume per hundred pieces, dry weight,
// computed by the database over the whole selection. Database (DbError) and
// workbook (WorkbookError) failures go to the caller.

// The statements of a record type in the order they run; none outside 1 to 6.
QStringList StatisticsStatements(int recordType, const QString &filter);

// Rounds to the given decimals, an exact half to the even digit.
double roundHalfEven(double value, int places);

// Writes the lines of the record type from the row below the cursor, one
// row each, and leaves one more row free below them; nothing at all (the
// cursor stays) for a record type outside 1 to 6.
void WriteStatistics(ReportRun &run, const Selection &selection, SheetCursor &cursor, int recordType);

} // namespace tannbuch
