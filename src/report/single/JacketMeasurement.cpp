#include "JacketMeasurement.h"

#include "report/single/RowCells.h"
#include "report/single/SingleLogHeader.h"

#include "db/Connection.h"
#include "report/ReportState.h"
#include "workbook/automation/Application.h"
#include "workbook/automation/Font.h"

#include <QRegularExpression>

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

void writeBoldTitle(ReportState &state, const QString &text)
{
    Range cell = state.xl->range(QStringLiteral("A") + QString::number(state.cursor));
    cell.setValue(text);
    cell.font().setBold(true);
}

// One individually measured log at the cursor (layout code 8).
void writeSampleLog(ReportState &state, const Recordset &log)
{
    const int row = state.cursor;
    auto f = [&log](const char *name) { return log.field(QLatin1String(name)); };
    setIfPresent(state, row, 1, f("LOS"));
    setIfPositive(state, row, 2, f("BLNR"));
    setIfPresent(state, row, 3, f("HA"));
    setIfPresent(state, row, 4, f("HS"));
    setIfPresent(state, row, 5, f("GKL"));
    setIfPresent(state, row, 6, f("STKL"));
    setIfPresent(state, row, 7, f("LANGE"));
    setIfPresent(state, row, 8, f("DURCH"));
    setIfPresent(state, row, 9, f("STUCK"));
    setIfPresent(state, row, 10, f("KUBATUR"));
    writeColumnListCells(state, row, log);
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

bool WriteJacketBlocks(ReportState &state, JacketState &jacket, const Recordset &record)
{
    jacket.current = jacketOf(record);
    if (jacket.current == jacket.last || jacket.current == 0)
        return false;

    if (jacket.last != 0) {
        ++state.cursor;
        writeBoldTitle(state, QStringLiteral("Mantelvermessung(Einzeln)"));
        WriteSingleLogHeader(state, 8, false);
    }

    Recordset logs = state.db->execute(JacketQuery(
        state.settings->columnList, QString::number(jacket.current), record.text(QStringLiteral("ID_LOG"))));
    for (; !logs.eof(); logs.moveNext()) {
        writeSampleLog(state, logs);
        jacket.sampleVolume += numberOrZero(logs.field(QStringLiteral("KUBATUR")));
        jacket.samplePieces += numberOrZero(logs.field(QStringLiteral("STUCK")));
        ++state.cursor;
    }
    logs.close();

    const int row = state.cursor;
    state.xl->range(QStringLiteral("A") + QString::number(row)).setValue(QStringLiteral("Gesamt"));
    state.xl->cells(row, 9).setValue(jacket.samplePieces);
    state.xl->cells(row, 10).setValue(jacket.sampleVolume);
    state.xl->range(rowRange("A", row, "J", row)).font().setBold(true);
    DrawTopRule(state, rowRange("A", row, "J", row));

    jacket.last = jacket.current;
    state.cursor += 2;
    writeBoldTitle(state, QStringLiteral("Mantelvermessung(Hochrechnung)"));
    WriteSingleLogHeader(state, 6, false);

    jacket.samplePieces = jacket.sampleVolume = 0;
    jacket.extrapolatedPieces = jacket.extrapolatedVolume = 0;
    return true;
}

void AddJacketSums(JacketState &jacket, const Recordset &record)
{
    jacket.extrapolatedVolume += numberOrZero(record.field(QStringLiteral("KUBATUR")));
    jacket.extrapolatedPieces += numberOrZero(record.field(QStringLiteral("STK")));
}

void WriteJacketTotal(ReportState &state, JacketState &jacket, Recordset &records)
{
    if (jacketOf(records) == 0)
        return; // a record without a jacket has no extrapolation total
    records.moveNext();
    jacket.current = records.eof() ? -1 : jacketOf(records);
    records.movePrevious();
    if (jacket.current == jacket.last)
        return;

    const int row = ++state.cursor;
    state.xl->range(QStringLiteral("A") + QString::number(row)).setValue(QStringLiteral("Gesamt"));
    state.xl->cells(row, 7).setValue(jacket.extrapolatedPieces);
    state.xl->cells(row, 8).setValue(jacket.extrapolatedVolume);
    formatRange(state, rowRange("H", row, "H", row), state.kubaturFormat);
    state.xl->range(rowRange("A", row, "H", row)).font().setBold(true);
    DrawTopRule(state, rowRange("A", row, "H", row));
    ++state.cursor;
}
