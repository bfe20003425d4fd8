#include "Totals.h"

#include "db/Connection.h"
#include "db/DbError.h"
#include "report/ReportState.h"
#include "workbook/Application.h"
#include "workbook/Font.h"

#include <QVariant>

namespace {

// Positions 0 to 6 of the result are printed (7, the mean volume per piece, is not).
constexpr int PrintedFigures = 7;

QString figureFormat(int position, const QString &volumeFormat)
{
    if (position == 0 || position == 6)
        return volumeFormat;
    if (position == 4)
        return QStringLiteral("0.000");
    return QStringLiteral("0.00");
}

} // namespace

QString TotalsStatement(const QString &f)
{
    return QString::fromUtf8("SELECT SUM(KUBATUR) AS \"Gesamtkubatur (Fm)\", SUM(STK) AS \"Gesamtstück (STK)\", ")
        + QStringLiteral("(SELECT SUM(KUBRM) FROM LOGS INNER JOIN WARENEINHEIT ON WARENEINHEIT.EINHEIT_ID = "
                         "LOGS.ID_MASSEINHEIT ")
        + QStringLiteral("WHERE ") + f
        + QStringLiteral(" AND WARENEINHEIT.EINHEIT in ('RM','rm','Rm')) AS 'GesamtRaummeter (RM)', ")
        + QStringLiteral("(SELECT SUM(KUBRM) FROM LOGS INNER JOIN WARENEINHEIT ON WARENEINHEIT.EINHEIT_ID = "
                         "LOGS.ID_MASSEINHEIT ")
        + QStringLiteral("WHERE ") + f
        + QString::fromUtf8("AND WARENEINHEIT.EINHEIT in ('SRM','SRm','srm','Srm')) AS 'GesamtSchüttraummeter (SRm)', ")
        + QStringLiteral("(SELECT SUM(KUBATRO) FROM LOGS WHERE ") + f
        + QStringLiteral(" AND DSART = 4)  AS \"GesamtAtrotonnen (To)\", ")
        + QStringLiteral("(SELECT SQRT((SUM(KUBATUR)*10000*4)/(SUM(LAENGE) * COUNT(*) *3.1416)) FROM LOGS ")
        + QStringLiteral("WHERE ") + f + QStringLiteral(" AND LAENGE > 0 AND DSART = 1 )  AS \"D-DM Rundholz (cm)\", ")
        + QStringLiteral("(SELECT SUM(LAENGE * STK) /SUM(STK) FROM LOGS ") + QStringLiteral("WHERE ") + f
        + QString::fromUtf8(" AND LAENGE > 0 AND STK > 0 AND DSART = 1) AS \"D-Länge Rundholz (m)\", ")
        + QStringLiteral("(SELECT SUM(KUBATUR) /isnull(SUM(STK),1) FROM LOGS ") + QStringLiteral("WHERE ") + f
        + QStringLiteral(" AND DSART = 1 )  AS \"Durchschnittskubatur (Fm/Stk)\" ") + QStringLiteral("FROM LOGS WHERE ")
        + f;
}

void WriteTotals(ReportState &state)
{
    ++state.cursor;
    Recordset totals;
    try {
        totals = state.db->execute(TotalsStatement(state.filter));
    } catch (const DbError &e) {
        // Everything printed so far stays; the user learns why the totals are missing.
        const QString message = QStringLiteral("Die Gesamtsummen können nicht berechnet werden: ") + e.message();
        state.status(message);
        state.tell(message);
        return;
    }
    if (totals.eof())
        return;
    for (int p = 0; p < PrintedFigures && p < totals.fieldCount(); ++p) {
        const QVariant value = totals.value(p);
        if (isDbNull(value) || value.toDouble() == 0.0)
            continue;
        const QString row = QString::number(state.cursor);
        state.xl->range(QStringLiteral("A") + row + QStringLiteral(":E") + row).font().setBold(true);
        const Range figure = state.xl->range(QStringLiteral("E") + row);
        figure.setNumberFormat(figureFormat(p, state.kubaturFormat));
        state.xl->range(QStringLiteral("A") + row).setValue(totals.fieldName(p));
        figure.setValue(value.toDouble());
        ++state.cursor;
    }
    totals.close();
}
