#include "StackHeights.h"

#include "db/Connection.h"
#include "report/ReportSettings.h"
#include "report/ReportState.h"
#include "text/ReportLocale.h"
#include "workbook/automation/Application.h"
#include "workbook/automation/Font.h"

namespace {

const QString Metre = QStringLiteral("m");
const QString StackedMetre = QStringLiteral("Rm");

QString statementFor(const char *literal, const QString &idLog)
{
    return QLatin1String(literal) + idLog + QLatin1Char(' ');
}

void setCell(ReportState &state, int row, int column, const QString &text, bool bold = false)
{
    Range cell = state.xl->cells(row, column);
    cell.setValue(text);
    if (bold)
        cell.font().setBold(true);
}

void writeHeading(ReportState &state, const QString &text)
{
    Range cell = state.xl->range(QStringLiteral("B") + QString::number(state.cursor));
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
void writeLabelledValues(ReportState &state, std::initializer_list<LabelledValue> items)
{
    int column = 2;
    for (const LabelledValue &item : items) {
        setCell(state, state.cursor, column, QString::fromUtf8(item.label));
        setCell(state, state.cursor + 1, column, item.value);
        column += 2;
    }
}

// Runs a heights statement and, when it returns rows, writes its heading and grid.
void writeHeightsPart(ReportState &state, const QString &statement, const QString &heading)
{
    Recordset heights = state.db->execute(statement);
    if (heights.eof())
        return;
    writeHeading(state, heading);
    ++state.cursor;
    WriteHeightGrid(state, heights);
    state.cursor += 2;
}

// The older method: front heights, their average and the pile length.
void writeOlderMethod(ReportState &state, const QString &idLog)
{
    ++state.cursor;
    Recordset heights = state.db->execute(FrontHeightsStatement(idLog));
    if (heights.eof())
        return;

    writeHeading(state, QString::fromUtf8("Höhen Teil A vorne:"));
    const QVariant pileLength = heights.field(QStringLiteral("STAPELLANGE"));
    const QString pileLengthText
        = isDbNull(pileLength) ? QString() : ReportLocale::generalNumber(pileLength.toDouble());
    ++state.cursor;
    WriteHeightGrid(state, heights);
    heights.close();

    Recordset average = state.db->execute(AverageHeightStatement(idLog));
    const QVariant dHeight = average.eof() ? QVariant() : average.field(QStringLiteral("DHIGHT"));
    average.close();
    state.cursor += 2;
    const int row = state.cursor;
    if (!isDbNull(dHeight))
        setCell(state, row, 2, QString::fromUtf8("D-Höhe"));
    state.xl->cells(row, 2).font().setBold(true);
    if (!isDbNull(dHeight))
        setCell(state, row + 1, 2, measuredText(dHeight, Metre));

    if (!pileLengthText.isEmpty()) {
        setCell(state, row, 3, QString::fromUtf8("Polterlänge:"), true);
        setCell(state, row + 1, 3, pileLengthText + Metre);
    }
    state.cursor += 2;
}

// The two-part method, from the measurement head.
void writeTwoPartMethod(ReportState &state, const Recordset &head, const Recordset &record, const QString &idLog)
{
    auto m = [&head](const char *column) { return measuredText(head.field(QLatin1String(column)), Metre); };
    auto rm = [&head](const char *column) { return measuredText(head.field(QLatin1String(column)), StackedMetre); };

    ++state.cursor;
    if (!isDbNull(head.field(QStringLiteral("LANG_A_V")))) {
        writeHeading(state, QStringLiteral("Vermessung vorne: "));
        ++state.cursor;
        writeLabelledValues(state,
            {{"Länge gesamt", m("LANG_V")}, {"Länge Teil A", m("LANG_A_V")}, {"Länge Teil B", m("LANG_B_V")},
                {"Höhe Teil B", m("HOEHE_B_V")}});
        state.cursor += 2;
        writeHeightsPart(state, FrontHeightsStatement(idLog), QString::fromUtf8("Höhen Teil A vorne:"));
    }

    // A back part is there only with a back length of part A other than 0.
    const QVariant backLength = head.field(QStringLiteral("LANG_A_H"));
    if (!isDbNull(backLength) && backLength.toDouble() != 0.0) {
        writeHeading(state, QStringLiteral("Vermessung hinten:"));
        ++state.cursor;
        writeLabelledValues(state,
            {{"Länge gesamt", m("LANG_H")}, {"Länge Teil A", m("LANG_A_H")}, {"Länge Teil B", m("LANG_B_H")},
                {"Höhe Teil B", m("HOEHE_B_H")}});
        state.cursor += 2;
        writeHeightsPart(state, BackHeightsStatement(idLog), QString::fromUtf8("Höhen Teil A hinten:"));
    }

    ++state.cursor;
    writeLabelledValues(state,
        {{"ØHöhe Teil A", m("HOEHE_A")}, {"ØLänge Teil A", m("LANG_A")}, {"ØLänge Teil B", m("LANG_B")},
            {"ØHöhe Teil B", m("HOEHE_B")},
            {"Holzlänge", measuredText(record.field(QStringLiteral("LAENGE")), Metre)}});
    state.cursor += 2;
    writeLabelledValues(state,
        {{"Volumen Teil A", rm("VOL_A")}, {"Volumen Teil B", rm("VOL_B")}, {"Unterlagen Teil C", rm("VOL_C")},
            {"Korrekturfakt.", correctionFactorText(record.field(QStringLiteral("KORREKTUR")))},
            {"Vol gesamt", rm("VOL")}});
    state.cursor += 2;
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

void WriteHeightGrid(ReportState &state, Recordset &heights)
{
    int k = 1;
    int number = 1;
    for (; !heights.eof(); heights.moveNext()) {
        const QVariant height = heights.field(QStringLiteral("HEIGHT"));
        if (!isDbNull(height)) {
            setCell(state, state.cursor, k + 1, QString::number(number) + QLatin1Char('\''));
            setCell(state, state.cursor + 1, k + 1, measuredText(height, Metre));
        }
        ++k;
        ++number;
        if (k > 9) {
            k = 1;
            state.cursor += 2;
        }
    }
}

void WriteStackHeights(ReportState &state, const Recordset &record, int recordType)
{
    if (recordType != 7 || !state.settings->lHoehen || isDbNull(record.field(QStringLiteral("STAPELLANGE"))))
        return;
    const QString idLog = record.text(QStringLiteral("ID_LOG"));
    Recordset head = state.db->execute(StackHeadStatement(idLog));
    if (head.eof())
        writeOlderMethod(state, idLog);
    else
        writeTwoPartMethod(state, head, record, idLog);
}
