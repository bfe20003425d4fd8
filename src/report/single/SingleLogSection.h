#pragma once

namespace tannbuch {

class Recordset;
struct ReportRun;
struct Selection;
struct SheetCursor;

// The single-log section: every selected record in groups by record type,
// written from the sheet cursor down; the cursor ends on the first free row.
// Database (DbError) and workbook (WorkbookError) failures end the section;
// the rows written so far stay.
void WriteSingleLogSection(ReportRun &run, const Selection &selection, SheetCursor &cursor);

// The record type a single-log row is printed as: DSART, except that a type-2
// record with height measurements (the first height row holds a value) is
// type 7. A record without a usable DSART is of type -1 and printed in a
// group titled "Sonstiges".
int singleLogRecordType(ReportRun &run, const Recordset &record);

} // namespace tannbuch
