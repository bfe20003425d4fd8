#pragma once

#include <QString>

struct ReportRun;
struct Selection;
struct SheetCursor;

// The lot summary above the logs of a pile in the single-log section: a bold
// totals line (pieces and volume of the pile), a bold line of the pile's
// additional texts and coordinates, and for the client "ALF" a link to the
// public map viewer at the pile's coordinates. Database (DbError) and
// workbook (WorkbookError) failures go to the caller.

// Sums pieces and volume over the records of the selection that share list,
// pile and lot with the given record.
QString LotSummaryStatement(const QString &filter, const QString &idLog);

// The additional texts and coordinates of one record.
QString LotTextsStatement(const QString &idLog);

// The map viewer's address centred on the coordinates; every character of a
// coordinate outside the URI's unreserved set (letters, digits, "-._~") is
// percent-encoded, so a plain number goes in as it is.
QString MapLinkAddress(const QString &coordinate1, const QString &coordinate2);

// Writes the summary of the pile of the record at the sheet cursor and leaves
// the cursor on the first free row below its lines.
void WriteLotSummary(
    ReportRun &run, const Selection &selection, SheetCursor &cursor, const QString &pile, const QString &idLog);
