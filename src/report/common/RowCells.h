#pragma once

#include <QString>
#include <QVariant>

#include <cstddef>

namespace tannbuch {

class Recordset;
struct ReportRun;

// Cell writing shared by the rows of the single-log section.

// Sheet column (1 = A) of a column-list entry: entry 0 is column K, entry 1
// L, and so on past Z (AA, AB, ...).
inline int columnListColumn(std::size_t entry)
{
    return 11 + int(entry);
}

// Writes the value into the cell unless it is null.
void setIfPresent(ReportRun &run, int row, int column, const QVariant &value);

// Writes the value into the cell only when it is not null and greater than 0.
void setIfPositive(ReportRun &run, int row, int column, const QVariant &value);

// Writes the row's column-list cells: for every entry with an expression the
// result column of that name, when not null.
void writeColumnListCells(ReportRun &run, int row, const Recordset &record);

// Selects the range and gives the selection a number format.
void formatRange(ReportRun &run, const QString &address, const QString &numberFormat);

// "A12:J12" from letters and rows.
QString rowRange(const char *first, int firstRow, const char *last, int lastRow);

} // namespace tannbuch
