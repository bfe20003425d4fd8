#include "JacketMeasurement.h"

#include "report/common/RowCells.h"
#include "report/common/SingleLogHeader.h"

#include "db/Connection.h"
#include "report/ReportRun.h"
#include "report/SheetCursor.h"
#include "workbook/automation/Application.h"
#include "workbook/automation/Font.h"

#include <QRegularExpression>

namespace tannbuch {

namespace {

const QChar CR(13);

// Expressions over the transport tables (aliases tl and tlw), which the
// jacket query does not join.
bool namesTransportTable(const QString &expression)
{
    static const QRegularExpression transport(
        QStringLiteral("(^|[^A-Za-z0-9_.])tlw?\\."), QRegularExpression::CaseInsensitiveOption);
    return transport.match(expression).hasMatch();
}

QString jacketColumn(const QString &e)
{
    if (e.isEmpty() || e == u"ENTRINDUNG")
        return QString(); // empty, or among the fixed columns
    if (e == u"KKLASSE" || e == u"LISTENART" || namesTransportTable(e))
        return QStringLiteral(", NULL as [") + e + QStringLiteral("]");
    if (e == u"RINDEPROZENT")
        return QStringLiteral(", 'cm' as [") + e + QStringLiteral("]");
    if (e == u"RINDE_WERT" || e == u"LOGS.RINDE_WERT" || e == u"ISNULL(LOGS.RINDE_WERT,0)")
        return QStringLiteral(", MANTEL.RINDE as [") + e + QStringLiteral("]"); // the measured log's bark
    return QStringLiteral(", ") + e + QStringLiteral(" as [") + e + QStringLiteral("]");
}

void writeBoldTitle(ReportRun &run, SheetCursor &cursor, const QString &text)
{
    Range cell = run.xl->range(QStringLiteral("A") + QString::number(cursor.row));
    cell.setValue(text);
    cell.font().setBold(true);
}

// One individually measured log at the cursor (layout code 8).
void writeSampleLog(ReportRun &run, SheetCursor &cursor, const Recordset &log)
{
    const int row = cursor.row;
    auto f = [&log](const char *name) { return log.field(QLatin1String(name)); };
    setIfPresent(run, row, 1, f("LOS"));
    setIfPositive(run, row, 2, f("BLNR"));
    setIfPresent(run, row, 3, f("HA"));
    setIfPresent(run, row, 4, f("HS"));
    setIfPresent(run, row, 5, f("GKL"));
    setIfPresent(run, row, 6, f("STKL"));
    setIfPresent(run, row, 7, f("LANGE"));
    setIfPresent(run, row, 8, f("DURCH"));
    setIfPresent(run, row, 9, f("STUCK"));
    setIfPresent(run, row, 10, f("KUBATUR"));
    writeColumnListCells(run, row, log);
}

double numberOrZero(const QVariant &value)
{
    return isDbNull(value) ? 0.0 : value.toDouble();
}

} // namespace

QString JacketQuery(const std::vector<ColumnEntry> &columnList, const QString &idMantel, const QString &idLog)
{
    QString sql = QStringLiteral("SELECT LOGS.LOS, LOGS.BLNR, MANTEL.HA, MANTEL.HS, MANTEL.GKL, MANTEL.STKL, ")
        + QStringLiteral("MANTEL.LANGE, MANTEL.DURCH, MANTEL.STUCK, MANTEL.KUBATUR, ") + CR
        + QStringLiteral(" MANTEL.ENTRINDUNG, ") + CR
        + QStringLiteral(" CASE LOGS.RINDEPROZENT WHEN 1 THEN '%' WHEN 0 THEN 'cm' ELSE '' END AS RINDEPROZENT ") + CR;
    for (const ColumnEntry &entry : columnList)
        sql += jacketColumn(entry.expression);
    // The record's prices come from at most one of its price rows, so each
    // measured log is listed once, also when the record has no price row or
    // several.
    return sql + QStringLiteral(" FROM LOGS left join (SELECT TOP 1 * FROM LOGS_RECH WHERE LOGS_RECH.ID_LOG = ") + idLog
        + QStringLiteral(") LOGS_RECH ON LOGS_RECH.ID_LOG = LOGS.ID_LOG, MANTEL WHERE  MANTEL.ID_MANTEL = ") + idMantel
        + QStringLiteral(" AND LOGS.ID_LOG = ") + idLog;
}

qint32 jacketOf(const Recordset &record)
{
    const QVariant id = record.field(QStringLiteral("ID_MANTEL"));
    return isDbNull(id) ? 0 : qint32(id.toLongLong());
}

bool WriteJacketBlocks(ReportRun &run, SheetCursor &cursor, JacketState &jacket, const Recordset &record)
{
    jacket.current = jacketOf(record);
    if (jacket.current == jacket.last || jacket.current == 0)
        return false;

    if (jacket.last != 0) {
        ++cursor.row;
        writeBoldTitle(run, cursor, QStringLiteral("Mantelvermessung(Einzeln)"));
        WriteSingleLogHeader(run, cursor, 8, false);
    }

    Recordset logs = run.db->execute(
        JacketQuery(run.settings->columnList, QString::number(jacket.current), record.text(QStringLiteral("ID_LOG"))));
    for (; !logs.eof(); logs.moveNext()) {
        writeSampleLog(run, cursor, logs);
        jacket.sampleVolume += numberOrZero(logs.field(QStringLiteral("KUBATUR")));
        jacket.samplePieces += numberOrZero(logs.field(QStringLiteral("STUCK")));
        ++cursor.row;
    }
    logs.close();

    const int row = cursor.row;
    run.xl->range(QStringLiteral("A") + QString::number(row)).setValue(QStringLiteral("Gesamt"));
    run.xl->cells(row, 9).setValue(jacket.samplePieces);
    run.xl->cells(row, 10).setValue(jacket.sampleVolume);
    run.xl->range(rowRange("A", row, "J", row)).font().setBold(true);
    DrawTopRule(run, rowRange("A", row, "J", row));

    jacket.last = jacket.current;
    cursor.row += 2;
    writeBoldTitle(run, cursor, QStringLiteral("Mantelvermessung(Hochrechnung)"));
    WriteSingleLogHeader(run, cursor, 6, false);

    jacket.samplePieces = jacket.sampleVolume = 0;
    jacket.extrapolatedPieces = jacket.extrapolatedVolume = 0;
    return true;
}

void AddJacketSums(JacketState &jacket, const Recordset &record)
{
    jacket.extrapolatedVolume += numberOrZero(record.field(QStringLiteral("KUBATUR")));
    jacket.extrapolatedPieces += numberOrZero(record.field(QStringLiteral("STK")));
}

void WriteJacketTotal(ReportRun &run, SheetCursor &cursor, JacketState &jacket, Recordset &records)
{
    if (jacketOf(records) == 0)
        return; // a record without a jacket has no extrapolation total
    records.moveNext();
    jacket.current = records.eof() ? -1 : jacketOf(records);
    records.movePrevious();
    if (jacket.current == jacket.last)
        return;

    const int row = ++cursor.row;
    run.xl->range(QStringLiteral("A") + QString::number(row)).setValue(QStringLiteral("Gesamt"));
    run.xl->cells(row, 7).setValue(jacket.extrapolatedPieces);
    run.xl->cells(row, 8).setValue(jacket.extrapolatedVolume);
    formatRange(run, rowRange("H", row, "H", row), run.kubaturFormat);
    run.xl->range(rowRange("A", row, "H", row)).font().setBold(true);
    DrawTopRule(run, rowRange("A", row, "H", row));
    ++cursor.row;
}

} // namespace tannbuch
