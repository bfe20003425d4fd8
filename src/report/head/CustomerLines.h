#pragma once

#include <QString>

namespace tannbuch {

class Recordset;
struct ReportRun;
struct Selection;
struct SheetCursor;

// The customer lines of the head block: one line per customer of a role (0 the
// invoice recipient, 1 to 8 the further roles of LOGS_RECH), built from the
// customer's PERSONAL row by an address format.

// The column list of an address format ("1", "2"; any other value gives the name-first form).
QString addressColumnList(const QString &addressFormat);

// The statement that reads the customers of a role (0 to 8) for the selection filter, ordered by short name.
QString customerQuery(int role, const QString &filter);

// One customer's line from the current row by the column list; throws DbError when an item names no column of the row.
QString customerLine(const Recordset &customer, const QString &columnList);

// Writes one line per customer of the role (0 to 8, else nothing) into the value column, one row each.
void WriteCustomerLines(ReportRun &run, const Selection &selection, SheetCursor &cursor, int role,
    const QString &columnList, const QString &valueColumn);

} // namespace tannbuch
