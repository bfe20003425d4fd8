#include "report/condensed/CondensedSection.h"

#include "common/ReportBench.h"
#include "report/single/SingleLogTestData.h"
#include "report/totals/Statistics.h"
#include "workbook/automation/Border.h"

#include <gtest/gtest.h>

#include <functional>

namespace tannbuch {

using namespace reportbench;
using namespace Qt::StringLiterals;
using singledata::log;

namespace {

// Wood types, grades (one with a long name) and rates for spruce logs.
const QString Master = s(
    "INSERT INTO HOLZART (HA, HA_LANG, ZUORD_MSZ) VALUES ('FI', 'Fichte', 'FI'), ('BU', 'Buche', 'BU');\n"
    "INSERT INTO HOLZSORTE (HS, HS_LANG, ZUORD_MSZ) VALUES ('L', 'Langholz', 'L'), ('IS', 'Industrie', 'IS');\n"
    "INSERT INTO D_MSZ (HA, HS, STKL, DSART, MSZ_EURO) VALUES ('FI', 'L', '2b', 1, 90), ('FI', 'L', '3a', 1, 100);\n");

const char Columns[] = "ID_LOG, DSART, HA, HS, GKL, STKL, STK, KUBATUR, KUBRM, ID_MASSEINHEIT";

struct CondensedRun
{
    explicit CondensedRun(const QString &rows, const std::function<void(ReportSettings &)> &configure = {})
        : bench(singledata::typesAndUnits() + Master + rows)
    {
        if (configure)
            configure(bench.settings);
        WriteCondensedSection(bench.run, bench.selection, bench.cursor);
        view = std::make_unique<SavedSheet>(bench.saved());
    }
    QString row(int r, int last = 8) { return view->row(r, last); }

    Bench bench;
    std::unique_ptr<SavedSheet> view;
};

// Two spruce logs with rates and their group: title row 12, header 13, rows 14 and 15, wood type 16, total 17.
const QString TwoRatedLogs = log(Columns, "1, 1, 'FI', 'L', 'B', '2b', 1, 0.5, NULL, 1")
    + log(Columns, "2, 1, 'FI', 'L', 'B', '3a', 1, 0.8, NULL, 1");

} // namespace

// The short grade form and the unit lookup are compared by the demo journal.
TEST(CondensedStatements, QueryInTheLongGradeForm)
{
    EXPECT_EQ(CondensedQuery(u"F"_s, true),
        u"SELECT LOGS.DSART, HOLZART.HA_LANG HA, HOLZSORTE.HS_LANG HS, LOGS.GKL, LOGS.STKL, LOGS.ID_MASSEINHEIT, "
        "SUM(STK) AS SUMSTK, SUM(KUBATUR) AS KUB, SUM(KUBRM) AS RM, SUM(MSZ_EURO*KUBATUR) AS DMSZ "
        "FROM LOGS LEFT JOIN HOLZART ON LOGS.HA = HOLZART.HA LEFT JOIN HOLZSORTE ON LOGS.HS = "
        "HOLZSORTE.HS LEFT JOIN D_MSZ ON HOLZART.ZUORD_MSZ = D_MSZ.HA AND HOLZSORTE.ZUORD_MSZ = "
        "D_MSZ.HS AND LOGS.STKL = D_MSZ.STKL AND LOGS.DSART = D_MSZ.DSART WHERE F "
        "GROUP BY LOGS.DSART, HOLZART.HA_LANG, HOLZSORTE.HS_LANG, LOGS.GKL, LOGS.STKL, LOGS.ID_MASSEINHEIT "
        "ORDER BY LOGS.DSART, HOLZART.HA_LANG, HOLZSORTE.HS_LANG, LOGS.GKL, LOGS.STKL, LOGS.ID_MASSEINHEIT "_s);
}

// Each look-up of a run is asked once and answered from memory after that;
// statistics are asked per record type present.
TEST(CondensedStatements, UnitAndTypeNamesAskedOnceAndStatisticsPerType)
{
    Bench bench(singledata::typesAndUnits() + Master + log(Columns, "1, 1, 'FI', 'L', 'B', '2b', 1, 0.5, NULL, 1")
        + log(Columns, "2, 1, 'FI', 'L', 'B', '3a', 1, 0.8, NULL, 1")
        + log(Columns, "3, 3, 'FI', 'L', 'B', '3a', 1, 0.8, NULL, 2"));
    bench.settings.lStatistik = true;
    WriteCondensedSection(bench.run, bench.selection, bench.cursor);
    const QStringList sent = bench.statements();
    ASSERT_EQ(sent.size(), 8) << sent.join(u'\n').toStdString();
    EXPECT_EQ(sent.front(), CondensedQuery(bench.selection.filter, false));
    QStringList once = {UnitNameStatement(u"1"_s), UnitNameStatement(u"2"_s), u"select name from dsart where id = 1"_s,
        u"select name from dsart where id = 3"_s};
    once += StatisticsStatements(1, bench.selection.filter) + StatisticsStatements(3, bench.selection.filter);
    for (const QString &statement : once)
        EXPECT_EQ(sent.count(statement), 1) << statement.toStdString();
}

TEST(CondensedGroups, EmptyResultWritesOnlyTheTitle)
{
    CondensedRun run(QString(), [](ReportSettings &s) { s.lStatistik = true; });
    EXPECT_EQ(run.row(10), u"Verdichtet|||||||"_s);
    EXPECT_TRUE(run.view->bold(u"A10"_s));
    EXPECT_EQ(run.bench.cursor.row, 11);
    EXPECT_EQ(run.bench.statements().size(), 1) << "statistics of type 0 run no query";
}

TEST(CondensedGroups, SubtotalsByClassGradeAndWoodType)
{
    CondensedRun run(log(Columns, "1, 1, 'FI', 'L', 'B', '2b', 1, 0.5, NULL, 1")
        + log(Columns, "2, 1, 'FI', 'L', 'B', '3a', 1, 0.8, NULL, 1")
        + log(Columns, "3, 1, 'FI', 'L', 'C', '2b', 2, 1.0, NULL, 1")
        + log(Columns, "4, 1, 'FI', 'IS', 'B', '2b', 1, 0.4, NULL, 1")
        + log(Columns, "5, 1, 'BU', 'L', 'B', '4a', 1, 1.5, NULL, 1"));
    const QStringList expected = {u"|||||||"_s, s("Stammholz lang|||||||"),
        s("HOLZART||HOLZSORTE||GKL|STKL|Stück|Kubatur"), u"Buche||L||B|4a|1|1.5"_s,
        u"Buche||||||1|1.5"_s, // a wood type with one grade and class: its wood-type row only
        u"Fichte||IS||B|2b|1|0.4"_s,
        u"Fichte||IS||||1|0.4"_s, // grade row
        u"Fichte||L||B|2b|1|0.5"_s, u"Fichte||L||B|3a|1|0.8"_s,
        u"Fichte||L||B||2|1.3"_s, // a class change alone: one class row
        u"Fichte||L||C|2b|2|1"_s, u"Fichte||L||C||2|1"_s, u"Fichte||L||||4|2.3"_s,
        u"Fichte||||||5|2.7"_s, // class, grade, wood type
        u"Gesamt||||||6|4.2"_s};
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(run.row(11 + i), expected.at(i)) << "row " << 11 + i;
    EXPECT_EQ(run.bench.cursor.row, 26);

    SavedSheet &v = *run.view;
    EXPECT_TRUE(v.bold(u"H20"_s));
    EXPECT_FALSE(v.bold(u"H19"_s));
    EXPECT_FALSE(v.bold(u"I20"_s));
    // Top rules from the level's first column: class from E, grade from C, wood type from A.
    const auto top
        = [&](const char *cell) { return v.range(QLatin1String(cell)).borders(BorderEdge::Top).lineStyle(); };
    EXPECT_EQ(top("E20"), Xl::Continuous);
    EXPECT_EQ(top("D20"), Xl::None);
    EXPECT_EQ(top("C17"), Xl::Continuous);
    EXPECT_EQ(top("B17"), Xl::None);
    EXPECT_EQ(top("A15"), Xl::Continuous);
    EXPECT_EQ(v.range(u"H25"_s).borders(BorderEdge::Bottom).lineStyle(), Xl::Continuous);
    EXPECT_EQ(v.format(u"H14"_s), u"0.000");
    EXPECT_EQ(v.range(u"G13"_s).horizontalAlignment(), HAlign::Right);
}

TEST(CondensedGroups, PercentagesAndRateAverages)
{
    CondensedRun both(TwoRatedLogs, [](ReportSettings &s) { s.lProzent = s.lDMSZ = true; });
    EXPECT_EQ(both.row(13, 10), s("HOLZART||HOLZSORTE||GKL|STKL|Stück|Kubatur|%-Ant.|D-MSZ"));
    SavedSheet &b = *both.view;
    EXPECT_EQ(b.range(u"I14"_s).formula(), u"=H14/ H17");
    EXPECT_EQ(b.range(u"I17"_s).formula(), u"=H17/ H17");
    EXPECT_FALSE(b.raw(u"I13"_s).toString().startsWith(u'=')) << "the header row keeps its caption";
    EXPECT_EQ(b.format(u"I15"_s), u"0.0%");
    EXPECT_EQ(b.raw(u"J14"_s).toDouble(), 90.0);
    EXPECT_EQ(b.raw(u"J15"_s).toDouble(), 100.0);
    EXPECT_NEAR(b.raw(u"J16"_s).toDouble(), 125.0 / 1.3, 1e-9);
    EXPECT_NEAR(b.raw(u"J17"_s).toDouble(), 125.0 / 1.3, 1e-9);
    EXPECT_EQ(b.format(u"J17"_s), u"0.00");
    EXPECT_TRUE(b.bold(u"J17"_s));

    CondensedRun percentOnly(TwoRatedLogs, [](ReportSettings &s) { s.lProzent = true; });
    EXPECT_EQ(percentOnly.row(13, 10), s("HOLZART||HOLZSORTE||GKL|STKL|Stück|Kubatur|%-Ant.|"));
    EXPECT_EQ(percentOnly.view->range(u"I15"_s).formula(), u"=H15/ H17");
    EXPECT_FALSE(percentOnly.view->raw(u"J14"_s).isValid());
    EXPECT_FALSE(percentOnly.view->bold(u"J17"_s));

    CondensedRun rateOnly(TwoRatedLogs, [](ReportSettings &s) { s.lDMSZ = true; });
    EXPECT_EQ(rateOnly.row(13, 10), s("HOLZART||HOLZSORTE||GKL|STKL|Stück|Kubatur|D-MSZ|"));
    EXPECT_EQ(rateOnly.view->raw(u"I14"_s).toDouble(), 90.0);
    EXPECT_EQ(rateOnly.view->format(u"I14"_s), u"0.00");
    EXPECT_NEAR(rateOnly.view->raw(u"I17"_s).toDouble(), 125.0 / 1.3, 1e-9);
}

TEST(CondensedGroups, NoRateAverageWithoutRateOrOverAZeroVolume)
{
    // Rates 100 and 90 over +2 and -2 Fm: the group's volume is 0 while its rate volume is 20.
    CondensedRun run(u"UPDATE D_MSZ SET MSZ_EURO = 100 WHERE STKL = '2b';\n"
                     "UPDATE D_MSZ SET MSZ_EURO = 90 WHERE STKL = '3a';\n"_s
            + log(Columns, "1, 1, 'FI', 'L', 'B', '2b', 1, 2, NULL, 1")
            + log(Columns, "2, 1, 'FI', 'L', 'B', '3a', 1, -2, NULL, 1")
            + log(Columns, "3, 1, 'FI', 'IS', 'B', '2b', 1, 1, NULL, 1"),
        [](ReportSettings &s) { s.lDMSZ = true; });
    EXPECT_EQ(run.row(14, 9), u"Fichte||IS||B|2b|1|1|"_s) << "no rate for this grade";
    EXPECT_EQ(run.row(15, 9), u"Fichte||IS||||1|1|"_s);
    EXPECT_EQ(run.row(16, 9), u"Fichte||L||B|2b|1|2|100"_s);
    EXPECT_EQ(run.row(17, 9), u"Fichte||L||B|3a|1|-2|90"_s);
    EXPECT_EQ(run.row(18, 9), u"Fichte||L||B||2|0|"_s) << "rate volume 20 over volume 0: no average";
    EXPECT_EQ(run.row(19, 9), u"Fichte||L||||2|0|"_s);
}

TEST(CondensedGroups, StackedVolumeGroupWithUnitsAndBothClosings)
{
    const QString stacks = log(Columns, "1, 2, 'BU', 'IS', 'N', NULL, 1, 7, 10, 2")
        + log(Columns, "2, 2, 'BU', 'IS', 'N', NULL, 1, 3.5, 5, 9");
    CondensedRun atEnd(stacks, [](ReportSettings &s) { s.lDMSZ = true; });
    EXPECT_EQ(atEnd.row(12), s("Schichtholz|||||||"));
    EXPECT_EQ(atEnd.row(13, 10), s("HOLZART||HOLZSORTE||GKL|Menge|Einheit|Kubatur||"));
    EXPECT_EQ(atEnd.row(14), u"Buche||IS||N|10|Rm|7"_s);
    EXPECT_EQ(atEnd.row(15), u"Buche||IS||N|5|Rm|3.5"_s) << "a unit id without a row shows the previous unit";
    EXPECT_EQ(atEnd.row(16), u"Buche|||||15||10.5"_s);
    EXPECT_EQ(atEnd.row(17), s("Gesamt|||Stück: 2||15||10.5"));
    SavedSheet &e = *atEnd.view;
    EXPECT_FALSE(e.range(u"D17"_s).mergeCells()) << "at the end of the data D:E stay apart";
    EXPECT_EQ(e.format(u"G14"_s), u"0.00");
    EXPECT_EQ(e.format(u"H14"_s), u"0.000");
    EXPECT_EQ(e.range(u"F13"_s).horizontalAlignment(), HAlign::Right);

    CondensedRun atChange(stacks + log(Columns, "3, 3, 'FI', 'IS', 'N', '1', 40, 4, NULL, 1"));
    EXPECT_TRUE(atChange.view->range(u"D17"_s).mergeCells());
    EXPECT_EQ(atChange.row(17), s("Gesamt|||Stück: 2||15||10.5"));
    EXPECT_EQ(atChange.row(19), s("Stückzahl|||||||"));
}

TEST(CondensedGroups, UnitNamesOfStackedVolumeRows)
{
    // Unit 2 has a row, unit 9 none (the previous name stays), a row without a unit shows none.
    CondensedRun run(log(Columns, "1, 2, 'BU', 'IS', 'N', NULL, 1, 7, 10, 2")
        + log(Columns, "2, 2, 'BU', 'IS', 'O', NULL, 1, 3, 5, 9")
        + log(Columns, "3, 2, 'BU', 'IS', 'P', NULL, 1, 2, 4, NULL"));
    EXPECT_EQ(run.row(14), u"Buche||IS||N|10|Rm|7"_s);
    EXPECT_EQ(run.row(15), u"Buche||IS||O|5|Rm|3"_s);
    EXPECT_EQ(run.row(16), u"Buche||IS||P|4||2"_s);
}

TEST(CondensedGroups, GroupWithoutVolumeHasNoPercentages)
{
    // Logs of +2 and -2 Fm sum to 0; the counted pieces after them have volume.
    CondensedRun run(log(Columns, "1, 1, 'FI', 'L', 'B', '2b', 1, 2, NULL, 1")
            + log(Columns, "2, 1, 'FI', 'L', 'B', '3a', 1, -2, NULL, 1")
            + log(Columns, "3, 3, 'FI', 'L', 'B', '1', 40, 4, NULL, 1"),
        [](ReportSettings &s) { s.lProzent = true; });
    SavedSheet &v = *run.view;
    EXPECT_EQ(run.row(17), u"Gesamt||||||2|0"_s);
    for (int r = 14; r <= 17; ++r)
        EXPECT_FALSE(v.raw(u"I%1"_s.arg(r)).isValid()) << "row " << r;
    EXPECT_EQ(run.row(21), u"Fichte||L||B|1|40|4"_s);
    EXPECT_EQ(v.range(u"I21"_s).formula(), u"=H21/ H23");
}

TEST(CondensedGroups, OtherAndUnknownTypesGetEmptyRowsAndNoTotal)
{
    CondensedRun run(log(Columns, "1, NULL, 'FI', 'L', 'B', '2b', 1, 0.5, NULL, 1")
        + log(Columns, "2, 1, 'FI', 'L', 'B', '2b', 1, 0.5, NULL, 1")
        + log(Columns, "3, 8, 'FI', 'L', 'B', '2b', 1, 0.5, NULL, 1")
        + log(Columns, "4, 8, 'BU', 'L', 'B', '2b', 1, 0.5, NULL, 1"));
    const QStringList expected
        = {s("Sonstiges|||||||"), u"|||||||"_s, u"|||||||"_s, u"|||||||"_s, s("Stammholz lang|||||||"),
            s("HOLZART||HOLZSORTE||GKL|STKL|Stück|Kubatur"), u"Fichte||L||B|2b|1|0.5"_s, u"Fichte||||||1|0.5"_s,
            u"Gesamt||||||1|0.5"_s, u"|||||||"_s, s("Sonstiges|||||||"), u"|||||||"_s, u"|||||||"_s, u"|||||||"_s};
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(run.row(12 + i), expected.at(i)) << "row " << 12 + i;
    EXPECT_EQ(run.bench.cursor.row, 26);
    EXPECT_FALSE(run.view->bold(u"A13"_s));
}

TEST(CondensedGroups, LongGradeNamesAndJacketTitle)
{
    CondensedRun run(log(Columns, "1, 6, 'FI', 'L', 'B', '2b', 1, 0.5, NULL, 1"),
        [](ReportSettings &s) { s.lHolzsorteLangBeiVerdichtung = true; });
    EXPECT_EQ(run.row(12), s("Mantelvermessung (Hochrechnung)|||||||"));
    EXPECT_EQ(run.row(14), u"Fichte||Langholz||B|2b|1|0.5"_s);
}

} // namespace tannbuch
