#include "CondensedGroups.h"

#include "db/Recordset.h"
#include "report/ReportRun.h"
#include "report/ReportSettings.h"
#include "report/SheetCursor.h"
#include "report/common/SingleLogHeader.h"
#include "workbook/automation/Application.h"
#include "workbook/automation/Font.h"

namespace tannbuch {

namespace {

void put(ReportRun &run, const QString &column, int row, const QVariant &value)
{
    run.xl->range(column + QString::number(row)).setValue(value);
}

QString trimmedKey(const Recordset &rs, const char *column)
{
    return rs.text(QLatin1String(column)).trimmed();
}

// The group level the current row closes: 1 wood type (with grade and
// class), 2 grade (with class), 3 class, 0 none; the highest-order changed
// key wins. The end of a record-type group closes the wood type; the first
// row of a group closes nothing.
int closedLevel(const CondensedSums &s, const Recordset &current, bool firstRow, bool final, bool withClass)
{
    if (final)
        return 1;
    if (firstRow)
        return 0;
    if (trimmedKey(current, "HA") != s.sLastHA)
        return 1;
    if (trimmedKey(current, "HS") != s.sLastHS)
        return 2;
    if (withClass && trimmedKey(current, "GKL") != s.sLastGKL)
        return 3;
    return 0;
}

// One subtotal row at the cursor: bold from A to the last column, a top rule
// from the level's first column, the rate average when there is one.
struct SubtotalRow
{
    QString ha, hs, gkl; // keys shown (empty ones are not written)
    QString piecesColumn; // "G" or "F" (the stacked volume of type 2)
    double pieces;
    double volume;
    double rateVolume; // < 0: no D-MSZ column
    QString ruleFrom;
};

void writeSubtotalRow(ReportRun &run, SheetCursor &cursor, const SubtotalRow &s, const QString &lastColumn)
{
    const ReportSettings &set = *run.settings;
    const int r = cursor.row;
    if (!s.ha.isEmpty())
        put(run, QStringLiteral("A"), r, s.ha);
    if (!s.hs.isEmpty())
        put(run, QStringLiteral("C"), r, s.hs);
    if (!s.gkl.isEmpty())
        put(run, QStringLiteral("E"), r, s.gkl);
    put(run, s.piecesColumn, r, s.pieces);
    put(run, QStringLiteral("H"), r, s.volume);
    // No average over a volume of 0.
    if (set.lDMSZ && s.rateVolume > 0 && s.volume != 0)
        put(run, set.lProzent ? QStringLiteral("J") : QStringLiteral("I"), r, s.rateVolume / s.volume);
    run.xl->range(rowSpan(QStringLiteral("A"), r, lastColumn)).font().setBold(true);
    DrawTopRule(run, rowSpan(s.ruleFrom, r, lastColumn));
    ++cursor.row;
}

} // namespace

QString rowSpan(const QString &first, int row, const QString &last)
{
    const QString r = QString::number(row);
    return first + r + QLatin1Char(':') + last + r;
}

void WriteCondensedHeader(ReportRun &run, SheetCursor &cursor, int t)
{
    const ReportSettings &set = *run.settings;
    const int row = ++cursor.row;
    auto caption
        = [&](const char *column, const char *text) { put(run, QLatin1String(column), row, QString::fromUtf8(text)); };

    QString last;
    const bool ordinary = t == 1 || (t >= 3 && t <= 6);
    if (ordinary || t == 2) {
        caption("A", "HOLZART");
        caption("C", "HOLZSORTE");
        caption("E", "GKL");
        caption("F", ordinary ? "STKL" : "Menge");
        caption("G", ordinary ? "Stück" : "Einheit");
        caption("H", "Kubatur");
        last = QStringLiteral("H");
        if (set.lProzent) {
            caption("I", "%-Ant.");
            last = QStringLiteral("I");
        }
        // Stacked volume has no rate average.
        if (ordinary && set.lDMSZ) {
            caption(set.lProzent ? "J" : "I", "D-MSZ");
            last = set.lProzent ? QStringLiteral("J") : QStringLiteral("I");
        }
        run.xl
            ->range(rowSpan(ordinary ? QStringLiteral("G") : QStringLiteral("F"), row,
                ordinary ? QStringLiteral("J") : QStringLiteral("I")))
            .select();
        run.xl->selection().setHorizontalAlignment(HAlign::Right);
    }
    // Other types have no header cells, so nothing to make bold or rule.
    if (!last.isEmpty()) {
        const QString range = rowSpan(QStringLiteral("A"), row, last);
        run.xl->range(range).font().setBold(true);
        DrawHeaderRules(run, range);
    }
    ++cursor.row;
}

void CloseCondensedSubgroups(
    ReportRun &run, SheetCursor &cursor, CondensedSums &s, const Recordset &current, bool firstRow, bool final)
{
    const ReportSettings &set = *run.settings;
    const QString lastColumn = set.lProzent && set.lDMSZ ? QStringLiteral("J")
        : set.lProzent || set.lDMSZ                      ? QStringLiteral("I")
                                                         : QStringLiteral("H");
    const int level = closedLevel(s, current, firstRow, final, true);
    if (level == 0)
        return;

    const SubtotalRow classRow{
        s.sLastHA, s.sLastHS, s.sLastGKL, QStringLiteral("G"), s.dStkGKL, s.dKubGKL, s.dDmszGKL, QStringLiteral("E")};
    const SubtotalRow gradeRow{
        s.sLastHA, s.sLastHS, QString(), QStringLiteral("G"), s.dStkHS, s.dKubHS, s.dDmszHS, QStringLiteral("C")};
    const SubtotalRow woodRow{
        s.sLastHA, QString(), QString(), QStringLiteral("G"), s.dStkHA, s.dKubHA, s.dDmszHA, QStringLiteral("A")};

    if (level == 1) {
        // A class or grade that was the only one of its wood type adds no row of its own.
        if (!(s.dStkGKL == s.dStkHA && s.dKubGKL == s.dKubHA))
            writeSubtotalRow(run, cursor, classRow, lastColumn);
        if (!(s.dStkHS == s.dStkHA && s.dKubHS == s.dKubHA))
            writeSubtotalRow(run, cursor, gradeRow, lastColumn);
        writeSubtotalRow(run, cursor, woodRow, lastColumn);
        s.dKubHA = s.dKubHS = s.dKubGKL = 0;
        s.dDmszHA = s.dDmszHS = s.dDmszGKL = 0;
        s.dStkHA = s.dStkHS = s.dStkGKL = 0;
    } else if (level == 2) {
        if (!(s.dStkGKL == s.dStkHS && s.dKubGKL == s.dKubHS))
            writeSubtotalRow(run, cursor, classRow, lastColumn);
        writeSubtotalRow(run, cursor, gradeRow, lastColumn);
        s.dKubHS = s.dKubGKL = 0;
        s.dDmszHS = s.dDmszGKL = 0;
        s.dStkHS = s.dStkGKL = 0;
    } else {
        writeSubtotalRow(run, cursor, classRow, lastColumn);
        s.dKubGKL = s.dDmszGKL = s.dStkGKL = 0;
    }
}

void CloseRmSubgroups(
    ReportRun &run, SheetCursor &cursor, CondensedSums &s, const Recordset &current, bool firstRow, bool final)
{
    const QString lastColumn = run.settings->lProzent ? QStringLiteral("I") : QStringLiteral("H");
    const int level = closedLevel(s, current, firstRow, final, false);
    if (level == 0)
        return;

    const SubtotalRow gradeRow{
        s.sLastHA, s.sLastHS, QString(), QStringLiteral("F"), s.dRmHS, s.dKubHS, -1, QStringLiteral("C")};
    const SubtotalRow woodRow{
        s.sLastHA, QString(), QString(), QStringLiteral("F"), s.dRmHA, s.dKubHA, -1, QStringLiteral("A")};
    if (level == 1) {
        if (!(s.dRmHS == s.dRmHA && s.dKubHS == s.dKubHA))
            writeSubtotalRow(run, cursor, gradeRow, lastColumn);
        writeSubtotalRow(run, cursor, woodRow, lastColumn);
        s.dKubHA = s.dKubHS = s.dRmHA = s.dRmHS = 0;
    } else {
        writeSubtotalRow(run, cursor, gradeRow, lastColumn);
        s.dKubHS = s.dRmHS = 0;
    }
}

} // namespace tannbuch
