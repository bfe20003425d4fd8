#include "report/single/StackHeights.h"

#include "SingleLogTestData.h"

#include "common/ReportBench.h"
#include "db/Connection.h"
#include "report/single/SingleLogSection.h"
#include "text/ReportLocale.h"

#include <gtest/gtest.h>

namespace tannbuch {

using namespace reportbench;
using namespace Qt::StringLiterals;
using singledata::log;

namespace {

const char Pile[] = "ID_LOG, DSART, LOS, STK, HA, HS, GKL, LAENGE, STAPELLANGE, KUBRM, UFAKT_RM, KUBATUR, KORREKTUR";

QString heights(const char *table, int idLog, std::initializer_list<const char *> values)
{
    QString sql;
    int nr = 0;
    for (const char *v : values)
        sql += u"INSERT INTO %1 (ID_LOG, NR, HEIGHT) VALUES (%2, %3, %4);\n"_s.arg(
            QLatin1String(table), QString::number(idLog), QString::number(++nr), QLatin1String(v));
    return sql;
}

// Writes the block of record 1 with the cursor on row 8 and reads the saved
// workbook back; the cursor after the block is kept.
struct Block
{
    explicit Block(const QString &rows, bool heightsOn = true)
        : bench(rows)
    {
        bench.settings.lHoehen = heightsOn;
        Recordset record = bench.db.execute(u"SELECT * FROM LOGS WHERE ID_LOG = 1"_s);
        WriteStackHeights(bench.run, bench.cursor, record, 7);
        view = std::make_unique<SavedSheet>(bench.saved());
    }
    // Columns B to J of a row.
    QString row(int r) { return view->row(r).section(u'|', 1); }

    Bench bench;
    std::unique_ptr<SavedSheet> view;
};

const QString Blank = u"||||||||"_s;

} // namespace

TEST(StackHeightTexts, FollowTheLocalesDecimalSeparator)
{
    ReportLocale::setLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(measuredText(2.35, u"m"_s), u"2,35m");
    EXPECT_EQ(measuredText(QVariant(), u"Rm"_s), u"Rm");
    EXPECT_EQ(correctionFactorText(5), u"'0,95");
    EXPECT_EQ(correctionFactorText(0), u"'1");
    EXPECT_EQ(correctionFactorText(QVariant()), u"'");

    ReportLocale::setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(measuredText(2.35, u"m"_s), u"2.35m");
    EXPECT_EQ(measuredText(12, u"Rm"_s), u"12Rm");
    EXPECT_EQ(correctionFactorText(15), u"'0.85");
    ReportLocale::setLocale(QLocale::c());
}

TEST(StackHeightsOlder, NineHeightsFillOneGridLineAndANullUsesUpItsNumber)
{
    Block b(log(Pile, "1, 2, '1', 1, 'BU', 'IS', 'N', 1, 6.2, 20, 0.7, 14, 5")
        + heights("SCHICHT_HOEHEN", 1, {"1.8", "NULL", "2", "2.1", "1.9", "2.2", "1.7", "2", "2.3", "1.6"}));
    EXPECT_EQ(b.row(9), s("Höhen Teil A vorne:||||||||"));
    EXPECT_TRUE(b.view->bold(u"B9"_s));
    EXPECT_EQ(b.row(10), u"1'||3'|4'|5'|6'|7'|8'|9'"_s);
    EXPECT_EQ(b.row(11), u"1,8m||2m|2,1m|1,9m|2,2m|1,7m|2m|2,3m"_s);
    EXPECT_EQ(b.row(12), u"10'||||||||"_s);
    EXPECT_EQ(b.row(13), u"1,6m||||||||"_s);
    // The database's average counts the null height as 0: 17.6 / 10.
    EXPECT_EQ(b.row(14), s("D-Höhe|Polterlänge:|||||||"));
    EXPECT_EQ(b.row(15), s("1,76m|6,2m|||||||"));
    EXPECT_TRUE(b.view->bold(u"B14"_s));
    EXPECT_TRUE(b.view->bold(u"C14"_s));
    EXPECT_FALSE(b.view->bold(u"B15"_s));
    EXPECT_EQ(b.bench.cursor.row, 16);
}

TEST(StackHeightsOlder, ExactlyNineHeightsLeaveTwoEmptyRowsBeforeTheAverage)
{
    Block b(log(Pile, "1, 2, '1', 1, 'BU', 'IS', 'N', 1, 6, 20, 0.7, 14, 5")
        + heights("SCHICHT_HOEHEN", 1, {"1", "1", "1", "1", "1", "1", "1", "1", "1"}));
    EXPECT_EQ(b.row(11), u"1m|1m|1m|1m|1m|1m|1m|1m|1m"_s);
    EXPECT_EQ(b.row(12), Blank);
    EXPECT_EQ(b.row(13), Blank);
    EXPECT_EQ(b.row(14), s("D-Höhe|Polterlänge:|||||||"));
}

TEST(StackHeightsOlder, AllHeightsNullLeaveABoldEmptyAverageAndStillThePileLength)
{
    Block b(log(Pile, "1, 2, '1', 1, 'BU', 'IS', 'N', 1, 6.5, 20, 0.7, 14, 5")
        + heights("SCHICHT_HOEHEN", 1, {"NULL", "NULL"}));
    EXPECT_EQ(b.row(12), s("|Polterlänge:|||||||"));
    EXPECT_EQ(b.row(13), s("|6,5m|||||||"));
    EXPECT_TRUE(b.view->bold(u"B12"_s));
}

TEST(StackHeightsOlder, NoHeightsMoveTheCursorOneRowOnly)
{
    Block b(log(Pile, "1, 2, '1', 1, 'BU', 'IS', 'N', 1, 6, 20, 0.7, 14, 5"));
    EXPECT_EQ(b.bench.cursor.row, StartRow + 1);
    EXPECT_EQ(b.view->sheet().usedRange().firstRow, 0);
}

TEST(StackHeightsGate, NothingWithoutPileLengthOrWithHeightsOff)
{
    const QString rows = heights("SCHICHT_HOEHEN", 1, {"1.8", "2"});
    Block noLength(log(Pile, "1, 2, '1', 1, 'BU', 'IS', 'N', 1, NULL, 20, 0.7, 14, 5") + rows);
    EXPECT_EQ(noLength.bench.cursor.row, StartRow);
    for (const QString &sql : noLength.bench.statements())
        EXPECT_FALSE(sql.contains(u"SCHICHT"_s)) << sql.toStdString();
    Block off(log(Pile, "1, 2, '1', 1, 'BU', 'IS', 'N', 1, 6, 20, 0.7, 14, 5") + rows, false);
    EXPECT_EQ(off.bench.cursor.row, StartRow);
}

namespace {

const char Head[] = "INSERT INTO SCHICHT_HOEHEN_KOPF (ID_LOG, LANG_V, LANG_A_V, LANG_B_V, HOEHE_B_V, LANG_H, LANG_A_H, "
                    "LANG_B_H, HOEHE_B_H, HOEHE_A, LANG_A, LANG_B, HOEHE_B, VOL_A, VOL_B, VOL_C, VOL) VALUES (1, ";

QString head(const char *values)
{
    return QLatin1String(Head) + QLatin1String(values) + u");\n"_s;
}

const QString Averages = s("ØHöhe Teil A||ØLänge Teil A||ØLänge Teil B||ØHöhe Teil B||Holzlänge");
const QString Volumes = s("Volumen Teil A||Volumen Teil B||Unterlagen Teil C||Korrekturfakt.||Vol gesamt");
const QString Lengths = s("Länge gesamt||Länge Teil A||Länge Teil B||Höhe Teil B||");

} // namespace

TEST(StackHeightsTwoPart, FrontAndBackWithGridsAveragesVolumesAndFactor)
{
    Block b(log(Pile, "1, 2, '1', 1, 'BU', 'IS', 'N', 2, 8.6, 20, 0.7, 14, 15")
        + head("8.6, 7.1, 1.5, 0.94, 9.2, 7.2, 2, 0.73, 2.02, 7.15, 1.75, 0.84, 28.89, 2.94, 0.54, 32.37")
        + heights("SCHICHT_HOEHEN", 1, {"1.88", "2.1"}) + heights("SCHICHT_HOEHEN_HINTEN", 1, {"1.8"}));
    const QStringList expected = {s("Vermessung vorne:||||||||"), Lengths, u"8,6m||7,1m||1,5m||0,94m||"_s,
        s("Höhen Teil A vorne:||||||||"), u"1'|2'|||||||"_s, u"1,88m|2,1m|||||||"_s, s("Vermessung hinten:||||||||"),
        Lengths, u"9,2m||7,2m||2m||0,73m||"_s, s("Höhen Teil A hinten:||||||||"), u"1'||||||||"_s, u"1,8m||||||||"_s,
        Blank, Averages, u"2,02m||7,15m||1,75m||0,84m||2m"_s, Volumes, u"28,89Rm||2,94Rm||0,54Rm||0,85||32,37Rm"_s};
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(b.row(9 + i), expected.at(i)) << "row " << 9 + i;
    EXPECT_EQ(b.bench.cursor.row, 9 + expected.size());
    EXPECT_TRUE(b.view->bold(u"B9"_s));
    EXPECT_EQ(b.view->raw(u"B9"_s), QVariant(u"Vermessung vorne: "_s)) << "with its trailing blank";
    EXPECT_FALSE(b.view->bold(u"B10"_s)) << "labels are plain";
    EXPECT_EQ(b.view->raw(u"H25"_s), QVariant(u"0,85"_s)) << "the factor stays text";
}

TEST(StackHeightsTwoPart, BackLengthZeroAndFrontLengthNullLeaveOnlyAveragesAndVolumes)
{
    Block b(log(Pile, "1, 2, '1', 1, 'BU', 'IS', 'N', 2, 8.6, 20, 0.7, 14, NULL")
        + head("8.6, NULL, 1.5, 0.94, 9.2, 0, 2, 0.73, 2.02, NULL, 1.75, 0.84, 28.89, 2.94, 0.54, 32.37")
        + heights("SCHICHT_HOEHEN", 1, {"1.88"}) + heights("SCHICHT_HOEHEN_HINTEN", 1, {"1.8"}));
    EXPECT_EQ(b.row(9), Blank);
    EXPECT_EQ(b.row(10), Averages);
    EXPECT_EQ(b.row(11), u"2,02m||m||1,75m||0,84m||2m"_s) << "a null value gives the bare unit";
    EXPECT_EQ(b.row(12), Volumes);
    EXPECT_EQ(b.row(13), u"28,89Rm||2,94Rm||0,54Rm||||32,37Rm"_s) << "null correction: an empty text";
    EXPECT_EQ(b.bench.cursor.row, 14);
    // Neither heights statement ran.
    for (const QString &sql : b.bench.statements())
        EXPECT_FALSE(sql.contains(u"HEIGHT"_s)) << sql.toStdString();
}

TEST(StackHeightsInSection, BlockFollowsTheRemarkAndOneRowIsLeftAfterIt)
{
    Bench bench(singledata::typesAndUnits()
        + log("ID_LOG, DSART, LOS, STK, KUBATUR, STAPELLANGE, ZUSTXT", "1, 2, '1', 1, 14, 6, 'Kronenholz'")
        + log("ID_LOG, DSART, LOS, STK, KUBATUR", "2, 2, '1', 1, 7") + heights("SCHICHT_HOEHEN", 1, {"1.5"}));
    bench.settings.lHoehen = true;
    bench.settings.EinzSort = 4;
    WriteSingleLogSection(bench.run, bench.selection, bench.cursor);
    SavedSheet v(bench.saved());
    EXPECT_EQ(v.text(u"A9"_s), s("Schichtholz- Höhenvermessung"));
    EXPECT_EQ(v.text(u"C12"_s), u"Bemerkung: Kronenholz");
    EXPECT_EQ(v.text(u"B13"_s), s("Höhen Teil A vorne:"));
    EXPECT_EQ(v.text(u"B15"_s), u"1,5m");
    EXPECT_EQ(v.row(16), s("|D-Höhe|Polterlänge:|||||||"));
    EXPECT_EQ(v.row(17), s("|1,5m|6m|||||||"));
    EXPECT_EQ(v.row(18), u"|||||||||"_s);
    EXPECT_EQ(v.row(19), u"|||||||||"_s);
    EXPECT_EQ(v.text(u"A20"_s), s("Schichtholz")) << "record 2 has no heights: its own group";
}

} // namespace tannbuch
