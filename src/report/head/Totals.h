#pragma once

#include <QString>

struct ReportState;

// The totals block that closes a report: overall volumes, pieces, stacked
// and bulk volume, dry tonnes, mean diameter and length of the round wood.

// The one query computing every figure over the selection.
QString TotalsStatement(const QString &filter);

// After one blank row, one bold line per figure other than 0 (name in A,
// value in E). A database failure of the query (SQL Server refuses the whole
// query when a mean divides by zero) is shown to the user and the report goes
// on without the block; workbook failures go to the caller.
void WriteTotals(ReportState &state);
