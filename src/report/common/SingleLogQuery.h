#pragma once

#include "report/ReportSettings.h"

#include <QString>

#include <vector>

namespace tannbuch {

// Statement texts of the single-log section. They only compose text; running
// them (and any database error) is the caller's business.

// The statement feeding the single-log rows: the fixed record columns, one
// column per used column-list entry (aliased by its expression), the outer
// joins, the selection filter and the ORDER BY clause of the sort order
// (none outside 1 to 6).
QString SingleLogQuery(const QString &filter, int einzSort, const std::vector<ColumnEntry> &columnList);

// The ORDER BY clause of a single-log sort order; empty outside 1 to 6.
QString SingleLogOrderBy(int einzSort);

// The height lookup of a stacked-wood record: its first row tells whether the
// record carries height measurements.
QString HeightProbeStatement(const QString &idLog);

// The lookup of a record type's display name (field "Name").
QString RecordTypeNameStatement(int type);

} // namespace tannbuch
