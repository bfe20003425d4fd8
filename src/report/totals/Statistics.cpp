#include "Statistics.h"

#include "db/Connection.h"
#include "report/ReportRun.h"
#include "report/SheetCursor.h"
#include "selection/SelectionFilter.h"
#include "workbook/automation/Application.h"
#include "workbook/automation/Font.h"

#include <QVariant>

#include <cfenv>
#include <cmath>

namespace tannbuch {

namespace {

// The sums of one statistics query; a null sum counts as 0.
double sum(const Recordset &rs, const char *column)
{
    if (rs.eof())
        return 0.0;
    const QVariant v = rs.field(QLatin1String(column));
    return isDbNull(v) ? 0.0 : v.toDouble();
}

struct Line
{
    QString label;
    double value;
    QString format;
};

void writeLine(ReportRun &run, SheetCursor &cursor, const Line &line)
{
    ++cursor.row;
    const QString row = QString::number(cursor.row);
    Range label = run.xl->range(QStringLiteral("A") + row);
    label.setValue(line.label);
    label.font().setBold(true);
    Range figure = run.xl->range(QStringLiteral("D") + row);
    figure.setValue(line.value);
    figure.setNumberFormat(line.format);
}

} // namespace

QStringList StatisticsStatements(int recordType, const QString &filter)
{
    const QString where = QStringLiteral(" FROM LOGS WHERE ") + filter;
    switch (recordType) {
    case 1:
        return {QStringLiteral("SELECT SUM(LAENGE*STK) AS GLAENGE, SUM(STK) AS GSTK, SUM(KUBATUR) AS GKUB") + where
                + QStringLiteral(" AND DSART = 1 AND (KLST<>3 OR KLST IS NULL)"),
            QStringLiteral("SELECT SUM(LAENGE) AS GLAENGE, SUM(KUBATUR) AS GKUB") + where
                + QStringLiteral(" AND DSART = 1 AND KLST=3")};
    case 2:
        return {
            QStringLiteral("SELECT SUM(KUBRM) AS GRM, SUM(STK) as GSTK") + where + QStringLiteral(" AND DSART = 2")};
    case 3:
        return {
            QStringLiteral("SELECT SUM(KUBATUR) AS GKUB, SUM(STK) as GSTK") + where + QStringLiteral(" AND DSART = 3")};
    case 4:
        return {QStringLiteral("SELECT SUM(KUBATRO) AS GATRO, SUM(STK) as GSTK") + where
            + QStringLiteral(" AND DSART = 4")};
    case 5:
        return {QStringLiteral("SELECT SUM(LAENGE*STK) AS GLAENGE, SUM(STK) AS GSTK, SUM(KUBATUR) AS GKUB") + where
            + QStringLiteral(" AND DSART = 5")};
    case 6:
        return {
            QStringLiteral("SELECT SUM(KUBATUR) AS GKUB, SUM(STK) as GSTK") + where + QStringLiteral(" AND DSART = 6")};
    default:
        return {};
    }
}

double roundHalfEven(double value, int places)
{
    const double scale = std::pow(10.0, places);
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value * scale) / scale;
    std::fesetround(previous);
    return rounded;
}

void WriteStatistics(ReportRun &run, const Selection &selection, SheetCursor &cursor, int recordType)
{
    const QStringList statements = StatisticsStatements(recordType, selection.filter);
    if (statements.isEmpty())
        return;

    Recordset first = run.db->execute(statements.at(0));
    const double gStk = sum(first, "GSTK");
    const QString &volume = run.kubaturFormat;
    const int p = run.kubaturPlaces;
    QList<Line> lines;
    switch (recordType) {
    case 1: {
        const double gLaenge = sum(first, "GLAENGE");
        double gKub = sum(first, "GKUB");
        // Class-3 logs count with their volume only; a log without a class
        // counts in full, as the condensed totals count it.
        Recordset classThree = run.db->execute(statements.at(1));
        gKub += sum(classThree, "GKUB");
        if (gStk > 0)
            lines.append({QString::fromUtf8("D-Länge (m):"), roundHalfEven(gLaenge / gStk, 2), QStringLiteral("0.00")});
        if (gLaenge > 0)
            lines.append({QStringLiteral("D-Durchmesser (cm):"),
                roundHalfEven(std::sqrt(4 * gKub / (gLaenge * 3.1416)) * 100, 2), QStringLiteral("0.00")});
        if (gStk > 0)
            lines.append({QStringLiteral("D-Kubatur (Fm/Stk):"), roundHalfEven(gKub / gStk, p), volume});
        break;
    }
    case 2:
        if (gStk > 0)
            lines.append({QStringLiteral("D-Volumen (Rm/Stk):"), roundHalfEven(sum(first, "GRM") / gStk, 2),
                QStringLiteral("0.00")});
        break;
    case 3:
        if (gStk > 0)
            lines.append(
                {QStringLiteral("D-KUBATUR (Fm/100Stk):"), roundHalfEven(sum(first, "GKUB") * 100 / gStk, p), volume});
        break;
    case 4:
        if (gStk > 0) {
            const double gAtro = sum(first, "GATRO");
            lines.append({QStringLiteral("Gesamtgewicht (Atro):"), gAtro, QStringLiteral("0.000")});
            lines.append(
                {QStringLiteral("D-Gewicht (Atro/Stk):"), roundHalfEven(gAtro / gStk, 2), QStringLiteral("0.00")});
        }
        break;
    default: // 5 and 6
        if (gStk > 0)
            lines.append({QStringLiteral("D-Kubatur (Fm/Stk):"), roundHalfEven(sum(first, "GKUB") / gStk, p), volume});
        break;
    }
    for (const Line &line : lines)
        writeLine(run, cursor, line);
    ++cursor.row;
}

} // namespace tannbuch
