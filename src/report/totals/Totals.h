#pragma once

#include <QString>

namespace tannbuch {

struct ReportRun;
struct Selection;
struct SheetCursor;

// The totals block that closes a report: overall volumes, pieces, stacked
// and bulk volume, dry tonnes, mean diameter and length of the round wood.

// The one query computing every figure over the selection; a mean whose
// divisor is 0 comes back as NULL.
QString TotalsStatement(const QString &filter);

// After one blank row, one bold line per figure other than 0 or NULL (name
// in A, value in E). Database (DbError) and workbook (WorkbookError) failures
// go to the caller and end the report.
void WriteTotals(ReportRun &run, const Selection &selection, SheetCursor &cursor);

} // namespace tannbuch
