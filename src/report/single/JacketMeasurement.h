#pragma once

#include "report/ReportSettings.h"

#include <QString>

#include <vector>

namespace tannbuch {

class Recordset;
struct ReportRun;
struct SheetCursor;

// The jacket measurement blocks of the single-log section. A jacket's type-6
// records hold quantities extrapolated from a sample of individually measured
// logs (table MANTEL); for each jacket the section prints the sample logs
// with their total, then the extrapolated records with theirs. Database
// (DbError) and workbook (WorkbookError) failures go to the caller.

struct JacketState
{
    qint32 current = 0; // jacket of the record in hand (also the look-ahead value)
    qint32 last = 0; // jacket whose sample block was printed last; 0 = none yet
    double samplePieces = 0;
    double sampleVolume = 0;
    double extrapolatedPieces = 0;
    double extrapolatedVolume = 0;
};

// The sample logs of a jacket combined with one LOGS record and at most one
// of its price rows (each sample log once), with one column per used
// column-list entry. Entries naming columns that only the single-log
// query has (volume class, list type, transport tables) are selected as NULL,
// so their cells stay empty.
QString JacketQuery(const std::vector<ColumnEntry> &columnList, const QString &idMantel, const QString &idLog);

// A record's jacket id; a record without one belongs to jacket 0, which has
// no sample block.
qint32 jacketOf(const Recordset &record);

// Before a type-6 record's row: on a new jacket the sample block (heading
// unless it is the first jacket, logs, total) and the extrapolation heading.
// Returns true when the blocks were written (the caller then repeats its lot
// summary check under the new heading; the last pile has been reset).
bool WriteJacketBlocks(ReportRun &run, SheetCursor &cursor, JacketState &jacket, const Recordset &record);

// After a type-6 record's row: adds its volume and pieces to the extrapolated totals.
void AddJacketSums(JacketState &jacket, const Recordset &record);

// At the end of a type-6 record: looks one record ahead and, when the next
// record belongs to another jacket (or there is none), writes the
// extrapolated total. The record set is left on the record it came with.
void WriteJacketTotal(ReportRun &run, SheetCursor &cursor, JacketState &jacket, Recordset &records);

} // namespace tannbuch
