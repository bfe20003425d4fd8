#include "RowCells.h"

#include "db/Recordset.h"
#include "report/ReportSettings.h"
#include "report/ReportState.h"
#include "workbook/automation/Application.h"

void setIfPresent(ReportState &state, int row, int column, const QVariant &value)
{
    if (!isDbNull(value))
        state.xl->cells(row, column).setValue(value);
}

void setIfPositive(ReportState &state, int row, int column, const QVariant &value)
{
    if (!isDbNull(value) && value.toDouble() > 0)
        state.xl->cells(row, column).setValue(value);
}

void writeColumnListCells(ReportState &state, int row, const Recordset &record)
{
    const std::vector<ColumnEntry> &columns = state.settings->columnList;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (!columns[i].expression.isEmpty())
            setIfPresent(state, row, columnListColumn(i), record.field(columns[i].expression));
    }
}

void formatRange(ReportState &state, const QString &address, const QString &numberFormat)
{
    state.xl->range(address).select();
    state.xl->selection().setNumberFormat(numberFormat);
}

QString rowRange(const char *first, int firstRow, const char *last, int lastRow)
{
    return QLatin1String(first) + QString::number(firstRow) + QLatin1Char(':') + QLatin1String(last)
        + QString::number(lastRow);
}
