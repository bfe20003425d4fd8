#include "HeadLine.h"

#include "db/Connection.h"
#include "report/ReportRun.h"
#include "report/SheetCursor.h"
#include "text/ReportLocale.h"
#include "workbook/automation/Application.h"

#include <QDate>
#include <QDateTime>
#include <QVariant>

namespace tannbuch {

namespace {

// Column A holds the labels, column D the values of the head block.
constexpr int LabelColumn = 1;
constexpr int ValueColumn = 4;

// The label alone, bold, in column A of the cursor row.
void writeLabel(ReportRun &run, SheetCursor &cursor, const QString &label)
{
    Range cell = run.xl->cells(cursor.row, LabelColumn);
    cell.setValue(label);
    cell.font().setBold(true);
}

// The value as text in column D of the cursor row: the text format goes in
// first, so the value is never read as a number or a date.
void writeValue(ReportRun &run, SheetCursor &cursor, const QString &value)
{
    Range cell = run.xl->cells(cursor.row, ValueColumn);
    cell.setNumberFormat(QStringLiteral("@"));
    cell.setValue(value);
}

} // namespace

void writeLabelValueLine(ReportRun &run, SheetCursor &cursor, const QString &label, const QString &value)
{
    writeLabel(run, cursor, label);
    writeValue(run, cursor, value);
    ++cursor.row;
}

QString headValueText(const QVariant &value)
{
    if (isDbNull(value))
        return QString();
    switch (value.typeId()) {
    case QMetaType::QDate:
        return ReportLocale::shortDate(value.toDate());
    case QMetaType::QDateTime:
        // List dates are days; the time part the database may carry is not shown.
        return ReportLocale::shortDate(value.toDateTime().date());
    case QMetaType::Double:
    case QMetaType::Float:
        return ReportLocale::generalNumber(value.toDouble());
    default:
        return value.toString();
    }
}

void WriteHeadLine(ReportRun &run, SheetCursor &cursor, const QString &field, const QString &query, qint32 textId,
    bool onePerRow, const QString &labelSuffix, bool showEmpty)
{
    Recordset rs = run.db->execute(query);

    if (!onePerRow) {
        // All values on one line, each followed by ","; the last comma goes.
        QString joined;
        for (; !rs.eof(); rs.moveNext())
            joined += headValueText(rs.field(field)) + QLatin1Char(',');
        joined = joined.trimmed();
        if (!joined.isEmpty() && joined.endsWith(QLatin1Char(',')))
            joined.chop(1);
        if (!joined.isEmpty() || showEmpty)
            writeLabelValueLine(run, cursor, run.text(textId) + labelSuffix, joined);
        rs.close();
        return;
    }

    if (rs.eof()) {
        // Nothing to show: with showEmpty the label stands alone, column D
        // stays untouched.
        if (showEmpty) {
            writeLabel(run, cursor, run.text(textId));
            ++cursor.row;
        }
        rs.close();
        return;
    }

    // One line per row; the label stands on the first line written.
    bool first = true;
    for (; !rs.eof(); rs.moveNext()) {
        const QString value = headValueText(rs.field(field));
        if (value.isEmpty() && !showEmpty)
            continue;
        if (first)
            writeLabel(run, cursor, run.text(textId));
        writeValue(run, cursor, value);
        ++cursor.row;
        first = false;
    }
    rs.close();
}

} // namespace tannbuch
