#include "Totals.h"

#include "db/Connection.h"
#include "report/ReportRun.h"
#include "report/SheetCursor.h"
#include "selection/SelectionFilter.h"
#include "workbook/automation/Application.h"
#include "workbook/automation/Font.h"

#include <QVariant>

namespace tannbuch {

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

// The mean diameter is that of a cylinder holding the round wood's volume
// over the length of all its pieces (LAENGE times STK), computed as the
// statistics block computes its own: class-3 logs add their volume but no
// length. A divisor that sums to 0 becomes NULL, so the figure is left out
// rather than the database refusing the whole query.
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
        + QStringLiteral("(SELECT SQRT((SUM(KUBATUR)*10000*4)/(NULLIF(SUM(CASE WHEN KLST=3 THEN 0 ELSE LAENGE * STK "
                         "END),0) *3.1416)) FROM LOGS ")
        + QStringLiteral("WHERE ") + f + QStringLiteral(" AND LAENGE > 0 AND DSART = 1 )  AS \"D-DM Rundholz (cm)\", ")
        + QStringLiteral("(SELECT SUM(LAENGE * STK) /SUM(STK) FROM LOGS ") + QStringLiteral("WHERE ") + f
        + QString::fromUtf8(" AND LAENGE > 0 AND STK > 0 AND DSART = 1) AS \"D-Länge Rundholz (m)\", ")
        + QStringLiteral("(SELECT SUM(KUBATUR) /NULLIF(SUM(STK),0) FROM LOGS ") + QStringLiteral("WHERE ") + f
        + QStringLiteral(" AND DSART = 1 )  AS \"Durchschnittskubatur (Fm/Stk)\" ") + QStringLiteral("FROM LOGS WHERE ")
        + f;
}

void WriteTotals(ReportRun &run, const Selection &selection, SheetCursor &cursor)
{
    ++cursor.row;
    Recordset totals = run.db->execute(TotalsStatement(selection.filter));
    if (totals.eof())
        return;
    for (int p = 0; p < PrintedFigures && p < totals.fieldCount(); ++p) {
        const QVariant value = totals.value(p);
        if (isDbNull(value) || value.toDouble() == 0.0)
            continue;
        const QString row = QString::number(cursor.row);
        run.xl->range(QStringLiteral("A") + row + QStringLiteral(":E") + row).font().setBold(true);
        const Range figure = run.xl->range(QStringLiteral("E") + row);
        figure.setNumberFormat(figureFormat(p, run.kubaturFormat));
        run.xl->range(QStringLiteral("A") + row).setValue(totals.fieldName(p));
        figure.setValue(value.toDouble());
        ++cursor.row;
    }
    totals.close();
}

} // namespace tannbuch
