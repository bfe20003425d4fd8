#include "LotSummary.h"

#include "db/Connection.h"
#include "report/ReportRun.h"
#include "report/SheetCursor.h"
#include "selection/SelectionFilter.h"
#include "text/ReportLocale.h"
#include "workbook/automation/Application.h"
#include "workbook/automation/Font.h"
#include "workbook/automation/Hyperlinks.h"

#include <QUrl>
#include <QVariant>

namespace tannbuch {

namespace {

const QChar CR(13);

constexpr qint32 PileLabelId = 5945;

// The public map viewer the link opens.
const char MapViewerBase[] = "https://geoportal.bayern.de";

// The columns of the additional-text line in the order they are printed, with
// the switch that enables each and its label.
struct TextColumn
{
    const char *column;
    TextSwitch textSwitch;
    qint32 labelId;
};
constexpr TextColumn TextColumns[] = {
    {"COORDINATE1", SwitchCoordinate1, 4788},
    {"COORDINATE2", SwitchCoordinate2, 4789},
    {"ZUSTEXT1", SwitchZustext1, 4783},
    {"ZUSTEXT2", SwitchZustext2, 4784},
    {"ZUSTEXT3", SwitchZustext3, 4785},
    {"ZUSTEXT4", SwitchZustext4, 4786},
    {"ZUSTEXT5", SwitchZustext5, 4787},
    {"LISTZUSTXT", SwitchZusatztext, 729},
};

// The lot summary shows a text when its switch is 2 or 4 (the head block uses 0 and 1).
bool shownInLotSummary(int switchValue)
{
    return switchValue == 2 || switchValue == 4;
}

void writeBoldLine(ReportRun &run, SheetCursor &cursor, const QString &text)
{
    Range cell = run.xl->range(QStringLiteral("A") + QString::number(cursor.row));
    cell.setValue(text);
    cell.font().setBold(true);
    ++cursor.row;
}

} // namespace

QString LotSummaryStatement(const QString &filter, const QString &idLog)
{
    return QStringLiteral("SELECT SUM(KUBATUR) KUB, SUM(STK) STK, LOGS.LISTE, ISNULL(LOGS.LOS,'') AS LOS, ")
        + QStringLiteral(" CASE WHEN MAX(cast(LAENGE as nvarchar(15))) =  MIN(cast(LAENGE as nvarchar(15))) THEN "
                         "MAX(cast(LAENGE as nvarchar(15))) ELSE MIN(cast(LAENGE as nvarchar(15))) + ' bis ' + "
                         "MAX(cast(LAENGE as nvarchar(15))) end as LAENGE  FROM LOGS INNER JOIN ")
        + QStringLiteral(" (SELECT LISTE, LOS, POLTNR FROM LOGS WHERE ID_LOG = ") + idLog
        + QStringLiteral(") as P ON P.LISTE = LOGS.LISTE AND ISNULL(P.POLTNR,'') = ISNULL(LOGS.POLTNR,'')  AND "
                         "ISNULL(P.LOS,'') = ISNULL(LOGS.LOS,'') ")
        + CR + QStringLiteral(" WHERE ") + filter + QStringLiteral(" GROUP BY LOGS.LISTE, ISNULL(LOGS.LOS,'') ");
}

QString PileTotalsTexts::listed(const QString &idLog)
{
    Kept &kept = m_kept[idLog];
    if (kept.asks++ == 0)
        kept.text = LotSummaryStatement(m_filter, idLog);
    return kept.text;
}

QString PileTotalsTexts::asked(const QString &idLog)
{
    const auto it = m_kept.find(idLog);
    if (it == m_kept.end())
        return LotSummaryStatement(m_filter, idLog);
    const QString text = it->text;
    if (--it->asks == 0)
        m_kept.erase(it);
    return text;
}

QString LotTextsStatement(const QString &idLog)
{
    return QStringLiteral("SELECT ZUSTEXT1, ZUSTEXT2, ZUSTEXT3, ZUSTEXT4, ZUSTEXT5, LISTZUSTXT, COORDINATE1, "
                          "COORDINATE2 FROM LOGS WHERE ID_LOG = ")
        + idLog;
}

QString MapLinkAddress(const QString &coordinate1, const QString &coordinate2)
{
    // A coordinate is a value, never a piece of the query: "&", "#", "=" or a
    // blank in it would add parameters or cut the address. Plain numbers
    // (digits, sign, point) stay as they are.
    const auto value = [](const QString &text) { return QString::fromLatin1(QUrl::toPercentEncoding(text)); };
    return QLatin1String(MapViewerBase) + QStringLiteral("/bayernatlas/?X=") + value(coordinate1)
        + QStringLiteral("&Y=") + value(coordinate2)
        + QStringLiteral("&zoom=10&lang=de&topic=ba&bgLayer=atkis&catalogNodes=122&crosshair=marker");
}

void WriteLotSummary(
    ReportRun &run, const Selection &selection, SheetCursor &cursor, const QString &pile, const QString &idLog)
{
    WriteLotSummary(run, cursor, pile, idLog, LotSummaryStatement(selection.filter, idLog));
}

void WriteLotSummary(
    ReportRun &run, SheetCursor &cursor, const QString &pile, const QString &idLog, const QString &totalsStatement)
{
    // Totals line; a pile without rows or without any volume shows 0.
    qint32 pieces = 0;
    double volume = 0.0;
    Recordset totals = run.db->execute(totalsStatement);
    if (!totals.eof()) {
        const QVariant stk = totals.field(QStringLiteral("STK"));
        const QVariant kub = totals.field(QStringLiteral("KUB"));
        if (!isDbNull(stk))
            pieces = qint32(stk.toLongLong());
        if (!isDbNull(kub))
            volume = kub.toDouble();
    }
    totals.close();
    writeBoldLine(run, cursor,
        run.text(PileLabelId) + QStringLiteral("  ") + pile + QStringLiteral(" ( ") + QString::number(pieces)
            + QStringLiteral(" Stk ") + ReportLocale::generalNumber(volume) + QStringLiteral(" Fm )"));

    // Additional texts and coordinates.
    Recordset texts = run.db->execute(LotTextsStatement(idLog));
    const bool found = !texts.eof();
    QString line;
    QString coordinate1;
    QString coordinate2;
    if (found) {
        for (const TextColumn &c : TextColumns) {
            const QVariant value = texts.field(QLatin1String(c.column));
            if (shownInLotSummary(run.textSwitches[c.textSwitch]) && !isDbNull(value))
                line += run.text(c.labelId) + QLatin1Char(' ') + texts.text(QLatin1String(c.column)) + QLatin1Char(' ');
        }
        coordinate1 = texts.text(QStringLiteral("COORDINATE1"));
        coordinate2 = texts.text(QStringLiteral("COORDINATE2"));
    }
    texts.close();
    if (!line.isEmpty())
        writeBoldLine(run, cursor, line);

    // Map link, for one client only (the code is compared exactly).
    if (run.clientCode == u"ALF") {
        const Range anchor = run.xl->range(QStringLiteral("A") + QString::number(cursor.row));
        anchor.select();
        run.xl->activeSheet().hyperlinks().add(
            run.xl->selection(), MapLinkAddress(coordinate1, coordinate2), QStringLiteral("Link zu Bayeratlas ..."));
        ++cursor.row;
    }
}

} // namespace tannbuch
