#pragma once

#include <QString>

namespace tannbuch {

struct ReportRun;
struct Selection;
struct SheetCursor;

// The condensed section: volumes grouped by record type, wood type, grade,
// class, diameter class and unit, with subtotal rows, a total row per record
// type, optional percentage shares and rate averages, and the statistics of
// each record type; written from two rows below the cursor, which ends on the
// first free row. Database (DbError) and workbook (WorkbookError) failures
// end the section; the rows written so far stay.
void WriteCondensedSection(ReportRun &run, const Selection &selection, SheetCursor &cursor);

// The grouped query over the selection; the grade as its long name or its code.
QString CondensedQuery(const QString &filter, bool longGradeNames);

// The unit-name lookup of a unit id.
QString UnitNameStatement(const QString &unitId);

} // namespace tannbuch
