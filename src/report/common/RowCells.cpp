#include "RowCells.h"

#include "db/Recordset.h"
#include "report/ReportRun.h"
#include "report/ReportSettings.h"
#include "workbook/automation/Application.h"

namespace tannbuch {

void setIfPresent(ReportRun &run, int row, int column, const QVariant &value)
{
    if (!isDbNull(value))
        run.xl->cells(row, column).setValue(value);
}

void setIfPositive(ReportRun &run, int row, int column, const QVariant &value)
{
    if (!isDbNull(value) && value.toDouble() > 0)
        run.xl->cells(row, column).setValue(value);
}

void writeColumnListCells(ReportRun &run, int row, const Recordset &record)
{
    const std::vector<ColumnEntry> &columns = run.settings->columnList;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (!columns[i].expression.isEmpty())
            setIfPresent(run, row, columnListColumn(i), record.field(columns[i].expression));
    }
}

void formatRange(ReportRun &run, const QString &address, const QString &numberFormat)
{
    run.xl->range(address).select();
    run.xl->selection().setNumberFormat(numberFormat);
}

QString rowRange(const char *first, int firstRow, const char *last, int lastRow)
{
    return QLatin1String(first) + QString::number(firstRow) + QLatin1Char(':') + QLatin1String(last)
        + QString::number(lastRow);
}

} // namespace tannbuch
