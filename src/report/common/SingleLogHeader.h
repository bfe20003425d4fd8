#pragma once

#include <QString>

namespace tannbuch {

struct ReportRun;
struct SheetCursor;

// Header and rule rows of the single-log section, written to the active
// report sheet. Workbook failures (WorkbookError) go to the caller.

// Writes the column header row of a group (layout codes 1 to 8; code 4 shows
// "LUTRO" or "ATRO" by the air-dry flag) at cursor + 1 with the column-list
// captions from K on, bold and ruled; leaves the cursor on the row below it.
void WriteSingleLogHeader(ReportRun &run, SheetCursor &cursor, int layoutCode, bool airDry);

// Thin top and bottom rules over the range; left, right, inside vertical and
// diagonal lines cleared, inside horizontal lines kept.
void DrawHeaderRules(ReportRun &run, const QString &address);

// A thin top rule over the range; left, right, inside vertical and diagonal
// lines cleared, bottom and inside horizontal lines kept.
void DrawTopRule(ReportRun &run, const QString &address);

} // namespace tannbuch
