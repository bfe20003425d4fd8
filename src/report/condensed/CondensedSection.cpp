#include "CondensedSection.h"

#include "report/condensed/CondensedGroups.h"

#include "db/Connection.h"
#include "report/LookAhead.h"
#include "report/RecordType.h"
#include "report/ReportRun.h"
#include "report/ReportSettings.h"
#include "report/SheetCursor.h"
#include "report/common/RowCells.h"
#include "report/common/SingleLogHeader.h"
#include "report/common/SingleLogQuery.h"
#include "report/totals/Statistics.h"
#include "selection/SelectionFilter.h"
#include "text/ReportLocale.h"
#include "workbook/automation/Application.h"
#include "workbook/automation/Font.h"

namespace tannbuch {

namespace {

bool ordinaryType(int t)
{
    return t == 1 || (t >= 3 && t <= 6);
}

double numberOrZero(const QVariant &v)
{
    return isDbNull(v) ? 0.0 : v.toDouble();
}

// The state of one pass over the condensed result.
struct Pass
{
    Pass(ReportRun &report, const Selection &chosen, SheetCursor &sheetCursor, Recordset &result)
        : run(report)
        , selection(chosen)
        , cursor(sheetCursor)
        , set(*report.settings)
        , rs(result)
    { }

    ReportRun &run;
    const Selection &selection;
    SheetCursor &cursor;
    const ReportSettings &set;
    Recordset &rs;
    CondensedSums sums;
    int nDsart = 0;
    bool bFirstRow = true;
    int nGroupStart = 0;
    double vSumStk = 0, vSumKub = 0, vSumRm = 0, dSumDmsz = 0;
    QString sEinheit;

    QVariant f(const char *name) const { return rs.field(QLatin1String(name)); }
    QString row(int r) const { return QString::number(r); }
    void put(const char *column, int r, const QVariant &value)
    {
        run.xl->range(QLatin1String(column) + row(r)).setValue(value);
    }
    void putIfPresent(const char *column, int r, const char *field)
    {
        const QVariant v = f(field);
        if (!isDbNull(v))
            put(column, r, v);
    }
    void format(const QString &address, const QString &numberFormat) { formatRange(run, address, numberFormat); }
    const char *dmszColumn() const { return set.lProzent ? "J" : "I"; }

    // Last column of a group's total row.
    QString totalLastColumn() const
    {
        if (set.lProzent)
            return set.lDMSZ ? QStringLiteral("J") : QStringLiteral("I");
        return set.lDMSZ ? QStringLiteral("I") : QStringLiteral("H");
    }

    void lookUpUnit()
    {
        // A row without a unit shows none; a unit id without a row in the
        // unit table keeps the previous unit name.
        const QVariant id = f("id_masseinheit");
        if (isDbNull(id)) {
            sEinheit.clear();
            return;
        }
        Recordset units = run.lookup(UnitNameStatement(rs.text(QStringLiteral("id_masseinheit"))));
        for (; !units.eof(); units.moveNext())
            sEinheit = units.text(QStringLiteral("einheit"));
    }

    // What a row will look up: its unit and its record type's name.
    static void foreseeLookups(const Recordset &row, QStringList &lookups)
    {
        if (!isDbNull(row.field(QStringLiteral("id_masseinheit"))))
            lookups << UnitNameStatement(row.text(QStringLiteral("id_masseinheit")));
        const int t = recordTypeOf(row.field(QStringLiteral("DSART")));
        if (t >= 1 && t <= 6)
            lookups << RecordTypeNameStatement(t);
    }

    void writeRateAverage(int r)
    {
        if (!set.lDMSZ)
            return;
        const QVariant kub = f("KUB");
        const QVariant dmsz = f("DMSZ");
        double average = 0;
        if (!isDbNull(kub) && !isDbNull(dmsz) && kub.toDouble() != 0)
            average = dmsz.toDouble() / kub.toDouble();
        if (average > 0)
            put(dmszColumn(), r, average);
    }

    void rememberKeys(bool withClass)
    {
        sums.sLastHA = rs.text(QStringLiteral("HA")).trimmed();
        sums.sLastHS = rs.text(QStringLiteral("HS")).trimmed();
        if (withClass)
            sums.sLastGKL = rs.text(QStringLiteral("GKL")).trimmed();
    }

    // Wood type, grade and class of a detail row.
    void putKeys(int r)
    {
        putIfPresent("A", r, "HA");
        putIfPresent("C", r, "HS");
        putIfPresent("E", r, "GKL");
    }

    void ordinaryRow()
    {
        CloseCondensedSubgroups(run, cursor, sums, rs, bFirstRow, false);
        const int r = cursor.row;
        putKeys(r);
        putIfPresent("F", r, "STKL");
        putIfPresent("G", r, "SUMSTK");
        putIfPresent("H", r, "KUB");
        writeRateAverage(r);
        const double kub = numberOrZero(f("KUB"));
        const double dmsz = numberOrZero(f("DMSZ"));
        const double stk = numberOrZero(f("SUMSTK"));
        sums.dKubHA += kub;
        sums.dKubHS += kub;
        sums.dKubGKL += kub;
        sums.dDmszHA += dmsz;
        sums.dDmszHS += dmsz;
        sums.dDmszGKL += dmsz;
        sums.dStkHA += stk;
        sums.dStkHS += stk;
        sums.dStkGKL += stk;
        rememberKeys(true);
        vSumStk += stk;
        vSumKub += kub;
        dSumDmsz += dmsz;
        bFirstRow = false;
    }

    void stackedRow()
    {
        CloseRmSubgroups(run, cursor, sums, rs, bFirstRow, false);
        const int r = cursor.row;
        putKeys(r);
        putIfPresent("F", r, "RM");
        put("G", r, sEinheit);
        putIfPresent("H", r, "KUB");
        writeRateAverage(r);
        const double kub = numberOrZero(f("KUB"));
        const double rm = numberOrZero(f("RM"));
        sums.dKubHA += kub;
        sums.dKubHS += kub;
        sums.dRmHA += rm;
        sums.dRmHS += rm;
        rememberKeys(false);
        vSumKub += kub;
        vSumRm += rm;
        vSumStk += numberOrZero(f("SUMSTK"));
        bFirstRow = false;
    }

    // Each row's share of the group's volume; a group whose volume sums to
    // 0 has no shares.
    void percentageFormulas(int r)
    {
        if (vSumKub == 0)
            return;
        for (int i = nGroupStart + 1; i <= r; ++i) {
            const Range cell = run.xl->range(QStringLiteral("I") + row(i));
            cell.setFormula(QStringLiteral("=H") + row(i) + QStringLiteral("/ H") + row(r));
            cell.setNumberFormat(QStringLiteral("0.0%"));
        }
    }

    // The total row of a group; at the end of the data the order of the
    // steps and, for type 2, the row itself differ.
    void closeGroup(bool endOfData)
    {
        if (ordinaryType(nDsart)) {
            CloseCondensedSubgroups(run, cursor, sums, rs, bFirstRow, true);
            const int r = cursor.row;
            put("A", r, QStringLiteral("Gesamt"));
            put("G", r, vSumStk);
            put("H", r, vSumKub);
            const QString range = rowSpan(QStringLiteral("A"), r, totalLastColumn());
            run.xl->range(range).font().setBold(true);
            const bool average = set.lDMSZ && vSumKub != 0;
            if (!endOfData && average)
                put(dmszColumn(), r, dSumDmsz / vSumKub);
            DrawHeaderRules(run, range);
            if (endOfData) {
                if (set.lProzent)
                    percentageFormulas(r);
                if (set.lDMSZ) {
                    run.xl->range(QLatin1String(dmszColumn()) + row(r)).setNumberFormat(QStringLiteral("0.00"));
                    if (average)
                        put(dmszColumn(), r, dSumDmsz / vSumKub);
                }
            } else if (set.lProzent) {
                percentageFormulas(r);
            }
            cursor.row = r + 1;
            const QString volumeRange = QStringLiteral("H") + row(nGroupStart) + QStringLiteral(":H") + row(r);
            const QString dmszRange = QLatin1String(dmszColumn()) + row(nGroupStart) + QLatin1Char(':')
                + QLatin1String(dmszColumn()) + row(r);
            if (endOfData)
                format(volumeRange, run.kubaturFormat);
            if (set.lDMSZ)
                format(dmszRange, QStringLiteral("0.00"));
            if (!endOfData)
                format(volumeRange, run.kubaturFormat);
            return;
        }

        // Stacked volume.
        CloseRmSubgroups(run, cursor, sums, rs, bFirstRow, true);
        const int r = cursor.row;
        put("A", r, QStringLiteral("Gesamt"));
        const QString pieces = QStringLiteral("Stück: ") + ReportLocale::generalNumber(vSumStk);
        if (!endOfData) {
            run.xl->range(rowSpan(QStringLiteral("D"), r, QStringLiteral("E"))).merge();
            put("D", r, pieces);
        } else if (vSumStk > 0) {
            put("D", r, pieces);
        }
        put("F", r, vSumRm);
        put("H", r, vSumKub);
        const QString last = endOfData ? (set.lProzent ? QStringLiteral("I") : QStringLiteral("H")) : totalLastColumn();
        const QString range = rowSpan(QStringLiteral("A"), r, last);
        run.xl->range(range).font().setBold(true);
        DrawHeaderRules(run, range);
        if (set.lProzent)
            percentageFormulas(r);
        cursor.row = r + 1;
        format(QStringLiteral("G") + row(nGroupStart) + QStringLiteral(":H") + row(r), QStringLiteral("0.00"));
        format(QStringLiteral("H") + row(nGroupStart) + QStringLiteral(":H") + row(r), run.kubaturFormat);
    }

    void openGroup()
    {
        if (set.lStatistik)
            WriteStatistics(run, selection, cursor, nDsart);
        const int t = recordTypeOf(f("DSART"));
        const int r = ++cursor.row;
        QString title;
        if (t >= 1 && t <= 6) {
            Recordset name = run.lookup(RecordTypeNameStatement(t));
            title = name.eof() ? QString() : name.text(QStringLiteral("Name"));
            if (t == 6)
                title += QStringLiteral(" (Hochrechnung)");
        } else {
            title = QStringLiteral("Sonstiges");
        }
        const Range cell = run.xl->range(QStringLiteral("A") + row(r));
        cell.setValue(title);
        cell.font().setBold(true);
        nDsart = t;
        WriteCondensedHeader(run, cursor, t);
        nGroupStart = cursor.row - 1;
        sums.clear();
        vSumStk = vSumKub = vSumRm = dSumDmsz = 0;
    }

    void writeRows()
    {
        const qint64 total = rs.rowCount();
        qint64 done = 0;
        run.progress(0, total);
        nGroupStart = cursor.row;
        LookAhead ahead(run, foreseeLookups);
        for (;;) {
            bFirstRow = true;
            while (!rs.eof()) {
                ahead.reach(rs, done);
                lookUpUnit();
                const int t = recordTypeOf(f("DSART"));
                if (t != nDsart)
                    break;
                if (ordinaryType(t))
                    ordinaryRow();
                else if (t == 2)
                    stackedRow();
                rs.moveNext();
                ++cursor.row;
                run.progress(++done, total);
            }
            if (rs.eof()) {
                if (ordinaryType(nDsart) || nDsart == 2)
                    closeGroup(true);
                if (set.lStatistik)
                    WriteStatistics(run, selection, cursor, nDsart);
                return;
            }
            if (ordinaryType(nDsart) || nDsart == 2)
                closeGroup(false);
            openGroup();
        }
    }
};

} // namespace

QString CondensedQuery(const QString &filter, bool longGradeNames)
{
    const QString hs = longGradeNames ? QStringLiteral("HOLZSORTE.HS_LANG") : QStringLiteral("LOGS.HS");
    return QStringLiteral("SELECT LOGS.DSART, HOLZART.HA_LANG HA, ") + hs
        + QStringLiteral(" HS, LOGS.GKL, LOGS.STKL, LOGS.ID_MASSEINHEIT, ")
        + QStringLiteral("SUM(STK) AS SUMSTK, SUM(KUBATUR) AS KUB, ")
        + QStringLiteral("SUM(KUBRM) AS RM, SUM(MSZ_EURO*KUBATUR) AS DMSZ ") + QStringLiteral("FROM LOGS ")
        + QStringLiteral("LEFT JOIN HOLZART ON LOGS.HA = HOLZART.HA ")
        + QStringLiteral("LEFT JOIN HOLZSORTE ON LOGS.HS = HOLZSORTE.HS ")
        + QStringLiteral("LEFT JOIN D_MSZ ON HOLZART.ZUORD_MSZ = D_MSZ.HA AND HOLZSORTE.ZUORD_MSZ = D_MSZ.HS AND "
                         "LOGS.STKL = D_MSZ.STKL AND LOGS.DSART = D_MSZ.DSART ")
        + QStringLiteral("WHERE ") + filter + QStringLiteral(" ")
        + QStringLiteral("GROUP BY LOGS.DSART, HOLZART.HA_LANG, ") + hs
        + QStringLiteral(", LOGS.GKL, LOGS.STKL, LOGS.ID_MASSEINHEIT ")
        + QStringLiteral("ORDER BY LOGS.DSART, HOLZART.HA_LANG, ") + hs
        + QStringLiteral(", LOGS.GKL, LOGS.STKL, LOGS.ID_MASSEINHEIT ");
}

QString UnitNameStatement(const QString &unitId)
{
    return QStringLiteral("select einheit from wareneinheit where einheit_id = ") + unitId + QStringLiteral(" ");
}

void WriteCondensedSection(ReportRun &run, const Selection &selection, SheetCursor &cursor)
{
    cursor.row += 2;
    const Range title = run.xl->range(QStringLiteral("A") + QString::number(cursor.row));
    title.setValue(QStringLiteral("Verdichtet"));
    title.font().setBold(true);
    ++cursor.row;

    Recordset rs = run.db->execute(CondensedQuery(selection.filter, run.settings->lHolzsorteLangBeiVerdichtung));
    Pass pass(run, selection, cursor, rs);
    pass.writeRows();
    rs.close();
    run.progress(0, 0);
}

} // namespace tannbuch
