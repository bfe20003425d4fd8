#pragma once

#include <QString>

namespace tannbuch {

class Recordset;
struct ReportRun;
struct SheetCursor;

// The running sums and last group keys of the condensed section, shared by
// its row loop and the subtotal procedures. They are cleared when the section
// starts and at every record-type group; the subtotal procedures clear the
// levels whose rows they have written.
struct CondensedSums
{
    // Solid volume, rate times volume and pieces per wood type (HA), grade
    // (HS) and class (GKL); stacked volume per wood type and grade.
    double dKubHA = 0, dKubHS = 0, dKubGKL = 0;
    double dDmszHA = 0, dDmszHS = 0, dDmszGKL = 0;
    double dStkHA = 0, dStkHS = 0, dStkGKL = 0;
    double dRmHA = 0, dRmHS = 0;
    // Trimmed keys of the last detail row ("" for null).
    QString sLastHA, sLastHS, sLastGKL;

    void clear() { *this = CondensedSums(); }
};

// The column header of a record-type group one row below the cursor (nothing
// but the row for types outside 1 to 6); leaves the cursor below it.
void WriteCondensedHeader(ReportRun &run, SheetCursor &cursor, int recordType);

// Before an ordinary detail row (types 1, 3 to 6), and with final set when
// the group closes: the class, grade and wood-type subtotal rows that the
// current row's keys close, one row each from the cursor.
void CloseCondensedSubgroups(
    ReportRun &run, SheetCursor &cursor, CondensedSums &sums, const Recordset &current, bool firstRow, bool final);

// The same for the stacked-volume rows of type 2 (grade and wood type only).
void CloseRmSubgroups(
    ReportRun &run, SheetCursor &cursor, CondensedSums &sums, const Recordset &current, bool firstRow, bool final);

// "A12:J12".
QString rowSpan(const QString &first, int row, const QString &last);

} // namespace tannbuch
