#include "StackHeights.h"

#include "db/Connection.h"
#include "report/ReportRun.h"
#include "report/ReportSettings.h"
#include "report/SheetCursor.h"
#include "text/ReportLocale.h"
#include "workbook/automation/Application.h"
#include "workbook/automation/Font.h"

namespace tannbuch {

namespace {

const QString Metre = QStringLiteral("m");
const QString StackedMetre = QStringLiteral("Rm");

QString statementFor(const char *literal, const QString &idLog)
{
    return QLatin1String(literal) + idLog + QLatin1Char(' ');
}

void setCell(ReportRun &run, int row, int column, const QString &text, bool bold = false)
{
    Range cell = run.xl->cells(row, column);
    cell.setValue(text);
    if (bold)
        cell.font().setBold(true);
}

void writeHeading(ReportRun &run, SheetCursor &cursor, const QString &text)
{
    Range cell = run.xl->range(QStringLiteral("B") + QString::number(cursor.row));
    cell.setValue(text);
    cell.font().setBold(true);
}

// One line of labels at the cursor with their values in the row below, in
// columns 2, 4, 6, ...
struct LabelledValue
{
    const char *label; // UTF-8
    QString value;
};
void writeLabelledValues(ReportRun &run, SheetCursor &cursor, std::initializer_list<LabelledValue> items)
{
    int column = 2;
    for (const LabelledValue &item : items) {
        setCell(run, cursor.row, column, QString::fromUtf8(item.label));
        setCell(run, cursor.row + 1, column, item.value);
        column += 2;
    }
}

// Runs a heights statement and, when it returns rows, writes its heading and grid.
void writeHeightsPart(ReportRun &run, SheetCursor &cursor, const QString &statement, const QString &heading)
{
    Recordset heights = run.db->execute(statement);
    if (heights.eof())
        return;
    writeHeading(run, cursor, heading);
    ++cursor.row;
    WriteHeightGrid(run, cursor, heights);
    cursor.row += 2;
}

// The older method: front heights, their average and the pile length.
void writeOlderMethod(ReportRun &run, SheetCursor &cursor, const QString &idLog)
{
    ++cursor.row;
    Recordset heights = run.db->execute(FrontHeightsStatement(idLog));
    if (heights.eof())
        return;

    writeHeading(run, cursor, QString::fromUtf8("Höhen Teil A vorne:"));
    const QVariant pileLength = heights.field(QStringLiteral("STAPELLANGE"));
    const QString pileLengthText
        = isDbNull(pileLength) ? QString() : ReportLocale::generalNumber(pileLength.toDouble());
    ++cursor.row;
    WriteHeightGrid(run, cursor, heights);
    heights.close();

    Recordset average = run.db->execute(AverageHeightStatement(idLog));
    const QVariant dHeight = average.eof() ? QVariant() : average.field(QStringLiteral("DHIGHT"));
    average.close();
    cursor.row += 2;
    const int row = cursor.row;
    if (!isDbNull(dHeight))
        setCell(run, row, 2, QString::fromUtf8("D-Höhe"));
    run.xl->cells(row, 2).font().setBold(true);
    if (!isDbNull(dHeight))
        setCell(run, row + 1, 2, measuredText(dHeight, Metre));

    if (!pileLengthText.isEmpty()) {
        setCell(run, row, 3, QString::fromUtf8("Polterlänge:"), true);
        setCell(run, row + 1, 3, pileLengthText + Metre);
    }
    cursor.row += 2;
}

// The two-part method, from the measurement head.
void writeTwoPartMethod(
    ReportRun &run, SheetCursor &cursor, const Recordset &head, const Recordset &record, const QString &idLog)
{
    auto m = [&head](const char *column) { return measuredText(head.field(QLatin1String(column)), Metre); };
    auto rm = [&head](const char *column) { return measuredText(head.field(QLatin1String(column)), StackedMetre); };

    ++cursor.row;
    if (!isDbNull(head.field(QStringLiteral("LANG_A_V")))) {
        writeHeading(run, cursor, QStringLiteral("Vermessung vorne: "));
        ++cursor.row;
        writeLabelledValues(run, cursor,
            {{"Länge gesamt", m("LANG_V")}, {"Länge Teil A", m("LANG_A_V")}, {"Länge Teil B", m("LANG_B_V")},
                {"Höhe Teil B", m("HOEHE_B_V")}});
        cursor.row += 2;
        writeHeightsPart(run, cursor, FrontHeightsStatement(idLog), QString::fromUtf8("Höhen Teil A vorne:"));
    }

    // A back part is there only with a back length of part A other than 0.
    const QVariant backLength = head.field(QStringLiteral("LANG_A_H"));
    if (!isDbNull(backLength) && backLength.toDouble() != 0.0) {
        writeHeading(run, cursor, QStringLiteral("Vermessung hinten:"));
        ++cursor.row;
        writeLabelledValues(run, cursor,
            {{"Länge gesamt", m("LANG_H")}, {"Länge Teil A", m("LANG_A_H")}, {"Länge Teil B", m("LANG_B_H")},
                {"Höhe Teil B", m("HOEHE_B_H")}});
        cursor.row += 2;
        writeHeightsPart(run, cursor, BackHeightsStatement(idLog), QString::fromUtf8("Höhen Teil A hinten:"));
    }

    ++cursor.row;
    writeLabelledValues(run, cursor,
        {{"ØHöhe Teil A", m("HOEHE_A")}, {"ØLänge Teil A", m("LANG_A")}, {"ØLänge Teil B", m("LANG_B")},
            {"ØHöhe Teil B", m("HOEHE_B")},
            {"Holzlänge", measuredText(record.field(QStringLiteral("LAENGE")), Metre)}});
    cursor.row += 2;
    writeLabelledValues(run, cursor,
        {{"Volumen Teil A", rm("VOL_A")}, {"Volumen Teil B", rm("VOL_B")}, {"Unterlagen Teil C", rm("VOL_C")},
            {"Korrekturfakt.", correctionFactorText(record.field(QStringLiteral("KORREKTUR")))},
            {"Vol gesamt", rm("VOL")}});
    cursor.row += 2;
}

// Heights are printed when switched on and the record has a pile length.
bool heightsPrinted(const ReportRun &run, const Recordset &record)
{
    return run.settings->lHoehen && !isDbNull(record.field(QStringLiteral("STAPELLANGE")));
}

} // namespace

QString StackHeadStatement(const QString &idLog)
{
    return statementFor("SELECT SCHICHT_HOEHEN_KOPF.* FROM LOGS INNER JOIN SCHICHT_HOEHEN_KOPF ON LOGS.ID_LOG = "
                        "SCHICHT_HOEHEN_KOPF.ID_LOG WHERE LOGS.ID_LOG = ",
        idLog);
}

QString FrontHeightsStatement(const QString &idLog)
{
    return statementFor("SELECT LOGS.STAPELLANGE, LOGS.LAENGE, SCHICHT_HOEHEN.HEIGHT, ISNULL(LOGS.KORREKTUR,0) AS "
                        "KORREKTUR FROM LOGS INNER JOIN SCHICHT_HOEHEN ON LOGS.ID_LOG = SCHICHT_HOEHEN.ID_LOG WHERE "
                        "LOGS.ID_LOG = ",
        idLog);
}

QString BackHeightsStatement(const QString &idLog)
{
    return statementFor("SELECT LOGS.STAPELLANGE, LOGS.LAENGE, SCHICHT_HOEHEN_HINTEN.HEIGHT, "
                        "ISNULL(LOGS.KORREKTUR,0) AS KORREKTUR FROM LOGS INNER JOIN SCHICHT_HOEHEN_HINTEN ON "
                        "LOGS.ID_LOG = SCHICHT_HOEHEN_HINTEN.ID_LOG WHERE LOGS.ID_LOG = ",
        idLog);
}

QString AverageHeightStatement(const QString &idLog)
{
    return statementFor("SELECT ROUND(SUM(SCHICHT_HOEHEN.HEIGHT)/COUNT(*),2) AS DHIGHT FROM LOGS INNER JOIN "
                        "SCHICHT_HOEHEN ON LOGS.ID_LOG = SCHICHT_HOEHEN.ID_LOG WHERE LOGS.ID_LOG = ",
        idLog);
}

QString measuredText(const QVariant &value, const QString &unit)
{
    if (isDbNull(value))
        return unit;
    return ReportLocale::generalNumber(value.toDouble()) + unit;
}

QString correctionFactorText(const QVariant &correction)
{
    if (isDbNull(correction))
        return QStringLiteral("'");
    return QLatin1Char('\'') + ReportLocale::generalNumber((100.0 - correction.toDouble()) / 100.0);
}

void WriteHeightGrid(ReportRun &run, SheetCursor &cursor, Recordset &heights)
{
    int k = 1;
    int number = 1;
    for (; !heights.eof(); heights.moveNext()) {
        const QVariant height = heights.field(QStringLiteral("HEIGHT"));
        if (!isDbNull(height)) {
            setCell(run, cursor.row, k + 1, QString::number(number) + QLatin1Char('\''));
            setCell(run, cursor.row + 1, k + 1, measuredText(height, Metre));
        }
        ++k;
        ++number;
        if (k > 9) {
            k = 1;
            cursor.row += 2;
        }
    }
}

QStringList StackHeightsLookups(const ReportRun &run, const Recordset &record)
{
    if (!heightsPrinted(run, record))
        return {};
    const QString idLog = record.text(QStringLiteral("ID_LOG"));
    return {StackHeadStatement(idLog), FrontHeightsStatement(idLog), BackHeightsStatement(idLog),
        AverageHeightStatement(idLog)};
}

void WriteStackHeights(ReportRun &run, SheetCursor &cursor, const Recordset &record, int recordType)
{
    if (recordType != 7 || !heightsPrinted(run, record))
        return;
    const QString idLog = record.text(QStringLiteral("ID_LOG"));
    Recordset head = run.db->execute(StackHeadStatement(idLog));
    if (head.eof())
        writeOlderMethod(run, cursor, idLog);
    else
        writeTwoPartMethod(run, cursor, head, record, idLog);
}

} // namespace tannbuch
