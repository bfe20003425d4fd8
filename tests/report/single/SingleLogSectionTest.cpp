#include "report/single/SingleLogSection.h"

#include "SingleLogTestData.h"

#include "common/ReportBench.h"
#include "db/DbError.h"
#include "workbook/automation/Border.h"
#include "workbook/automation/Font.h"

#include <gtest/gtest.h>

#include <functional>

namespace tannbuch {

using namespace reportbench;
using namespace Qt::StringLiterals;
using singledata::log;
using singledata::SectionRun;

namespace {

const QString Header1 = s("LOS|StmNr|HA|HS|GKL|Stkl|Länge|DM|Stück|Kubatur");
const QString Header2 = s("LOS|Stück|HA|HS|GKL|Lä-Holz|Menge|Einheit|UFakt|Kubatur");
const QString Header7 = s("LOS|Stück|HA|HS|GKL|RM|UFakt|Kubatur|KorrFkt|Lä-Holz");
const QString Empty = u"|||||||||"_s;

QString title(const QString &text)
{
    return text + u"|||||||||"_s;
}

const char Stem[] = "ID_LOG, DSART, LOS, BLNR, KLST, HA, HS, GKL, STKL, LAENGE, DURCH, STK, KUBATUR, ID_MASSEINHEIT";
const char Stack[]
    = "ID_LOG, DSART, LOS, STK, HA, HS, GKL, LAENGE, KUBRM, UFAKT_RM, KUBATUR, KORREKTUR, ID_MASSEINHEIT";

} // namespace

// --- Groups ------------------------------------------------------------------

TEST(SingleLogGroups, AlternatingTypesGiveThreeGroupsWithTitleHeaderAndFormats)
{
    SectionRun run(log(Stem, "1, 1, '1', 7, 1, 'FI', 'L', 'B', '2b', 12.5, 31, 1, 0.944, 1")
        + log(Stack, "2, 2, '1', 2, 'BU', 'IS', 'N', 1, 10.5, 0.7, 7.35, NULL, 2")
        + log(Stem, "3, 1, '2', 8, 1, 'FI', 'L', 'B', '2a', 10, 25, 1, 0.491, 1"));
    SavedSheet &v = run.v();

    const QStringList expected = {title(s("Stammholz lang")), Header1, s("1|7|FI|L|B|2b|12.5|31|1|0.944"), Empty,
        title(s("Schichtholz")), Header2, s("1|2|BU|IS|N|1|10.5|Rm|0.7|7.35"), Empty, title(s("Stammholz lang")),
        Header1, s("2|8|FI|L|B|2a|10|25|1|0.491")};
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(v.row(StartRow + 1 + i), expected.at(i)) << "row " << StartRow + 1 + i;
    EXPECT_EQ(run.bench.cursor.row, 20);
    EXPECT_TRUE(v.bold(u"A9"_s));
    EXPECT_TRUE(v.bold(u"A13"_s));

    // Type 1: G one decimal, J the volume format, B right-aligned, from the header row on.
    for (const char *cell : {"G10", "G11", "G19"})
        EXPECT_EQ(v.format(QLatin1String(cell)), u"0.0") << cell;
    EXPECT_EQ(v.format(u"J11"_s), u"0.000");
    EXPECT_EQ(v.range(u"B11"_s).horizontalAlignment(), HAlign::Right);
    // Type 2 closed by a type change: F to H two decimals, I the volume format, J untouched.
    for (const char *cell : {"F15", "G15", "H15"})
        EXPECT_EQ(v.format(QLatin1String(cell)), u"0.00") << cell;
    EXPECT_EQ(v.format(u"I15"_s), u"0.000");
    EXPECT_EQ(v.format(u"J15"_s), u"General");
}

TEST(SingleLogGroups, StackedHeightGroupFormatsDifferAtTypeChangeAndAtEnd)
{
    const QString heights = u"INSERT INTO SCHICHT_HOEHEN (ID_LOG, NR, HEIGHT) VALUES (1, 1, 1.9), (2, 1, 2.1);\n"_s;
    const QString stacks = log(Stack, "1, 2, '1', 3, 'BU', 'IS', 'N', 2, 12, 0.7, 8.4, 15, 2")
        + log(Stack, "2, 2, '1', 0, 'BU', 'IS', 'N', 1, 6, 0.7, 4.2, NULL, 2");

    SectionRun atEnd(heights + stacks);
    SavedSheet &e = atEnd.v();
    EXPECT_EQ(e.row(9), title(s("Schichtholz- Höhenvermessung")));
    EXPECT_EQ(e.row(10), Header7);
    EXPECT_EQ(e.row(11), s("1|3|BU|IS|N|12|0.7|8.4|0.85|2"));
    EXPECT_EQ(e.row(12), s("1||BU|IS|N|6|0.7|4.2||1")) << "no pieces, no correction: B and I stay empty";
    for (const char *cell : {"F11", "G11", "I11", "I12"})
        EXPECT_EQ(e.format(QLatin1String(cell)), u"0.00") << cell;
    EXPECT_EQ(e.format(u"H11"_s), u"0.000");

    SectionRun atChange(heights + stacks + log(Stem, "3, 1, '1', 7, 1, 'FI', 'L', 'B', '2b', 12.5, 31, 1, 0.944, 1"));
    SavedSheet &c = atChange.v();
    EXPECT_EQ(c.format(u"G11"_s), u"0.00");
    EXPECT_EQ(c.format(u"H11"_s), u"0.000");
    EXPECT_EQ(c.format(u"I11"_s), u"General") << "a following group leaves I alone";
    EXPECT_EQ(c.row(14), title(s("Stammholz lang")));
}

TEST(SingleLogGroups, TypeTwoStaysTypeTwoWhenItsFirstHeightIsNull)
{
    SectionRun run(u"INSERT INTO SCHICHT_HOEHEN (ID, ID_LOG, NR, HEIGHT) VALUES (1, 1, 1, NULL), (2, 1, 2, 1.5);\n"_s
        + log(Stack, "1, 2, '1', 0, 'BU', 'IS', 'N', 0, 6, 0.7, 4.2, NULL, 2"));
    EXPECT_EQ(run.v().row(9), title(s("Schichtholz")));
    EXPECT_EQ(run.v().row(11), s("1||BU|IS|N|0|6|Rm|0.7|4.2")) << "no pieces: B empty; length 0 still printed";
}

TEST(SingleLogGroups, TypesOutsideTheLayoutsAndNullTypeGoToOtherGroups)
{
    const char columns[] = "ID_LOG, DSART, LOS, HA, ZUSTEXT1";
    SectionRun run(log(columns, "1, 0, '1', 'FI', 'z0'") + log(columns, "2, 8, '1', 'FI', 'z8'")
            + log(columns, "3, 0, '1', 'FI', 'z0b'") + log(columns, "4, NULL, '1', 'FI', 'zn'")
            + log(Stem, "5, 1, '2', 8, 1, 'FI', 'L', 'B', '2a', 10, 25, 1, 0.491, 1"),
        [](ReportSettings &s) {
            s.columnList = {ColumnEntry(), ColumnEntry{u"Zusatz"_s, u"LOGS.ZUSTEXT1"_s}, ColumnEntry()};
        });
    SavedSheet &v = run.v();
    // Type 0 at the start opens no group: its row is printed where the cursor stands.
    EXPECT_EQ(v.row(8, 12), u"|||||||||||z0"_s);
    EXPECT_EQ(v.row(10), title(s("Sonstiges")));
    EXPECT_EQ(v.row(11, 12), Header1 + u"||Zusatz"_s) << "type 8 has the jacket-log header";
    EXPECT_EQ(v.row(12, 12), u"|||||||||||z8"_s) << "only column-list cells";
    EXPECT_EQ(v.row(14), title(s("Sonstiges")));
    EXPECT_EQ(v.row(15, 12), u"|||||||||||Zusatz"_s) << "a later type 0 gets column-list captions only";
    EXPECT_EQ(v.row(16, 12), u"|||||||||||z0b"_s);
    EXPECT_EQ(v.row(18), title(s("Sonstiges"))) << "a record without type does not stop the report";
    EXPECT_EQ(v.row(20, 12), u"|||||||||||zn"_s);
    EXPECT_EQ(v.row(22), title(s("Stammholz lang")));
    EXPECT_EQ(v.row(24), s("2|8|FI|L|B|2a|10|25|1|0.491"));
}

TEST(SingleLogGroups, EmptyResultWritesNothing)
{
    SectionRun run{QString()};
    EXPECT_EQ(run.bench.cursor.row, StartRow);
    EXPECT_EQ(run.v().sheet().usedRange().firstRow, 0);
}

// --- Row layouts -------------------------------------------------------------

TEST(SingleLogRows, ClassPrefixGoesBeforeTheLogNumberEvenWithoutOne)
{
    SectionRun run(log(Stem, "1, 1, '1', 0, 2, 'FI', 'L', 'B', '2b', 12, 30, 1, 0.9, 1")
        + log(Stem, "2, 5, '1', 17, 3, 'FI', 'L', 'B', '2b', 12, 30, 1, 0.9, 1")
        + log(Stem, "3, 5, '1', 5, 1, 'FI', 'L', 'B', '2b', 12, 30, 1, 0.9, 1")
        + log(Stem, "4, 5, '1', NULL, 3, 'FI', 'L', 'B', '2b', 0, 0, 0, 0.9, 1"));
    SavedSheet &v = run.v();
    EXPECT_EQ(v.raw(u"B11"_s), QVariant(u"K"_s));
    EXPECT_EQ(v.raw(u"B15"_s), QVariant(u"F17"_s));
    EXPECT_EQ(v.raw(u"B16"_s).toDouble(), 5.0);
    EXPECT_EQ(v.row(17), s("1|F|FI|L|B|2b||||0.9")) << "length, diameter and pieces only when > 0";
    EXPECT_EQ(v.row(13), title(s("Stammholz kurz")));
}

TEST(SingleLogRows, WeightRowsFollowTheUnitsAirDryFlag)
{
    const char columns[] = "ID_LOG, DSART, LOS, BLNR, HA, HS, GKL, STKL, KUBATRO, UFAKT_ATO, KUBLUTO, UFAKT_LUT, "
                           "KUBATUR, ID_MASSEINHEIT";
    SectionRun lutro(log(columns, "1, 4, '1', 3, 'FI', 'IS', 'N', '1', 2.5, 0.9, 3.2, 0.8, 4.1, 6"));
    EXPECT_EQ(lutro.v().row(10), s("LOS|StmNr|HA|HS|GKL|STKL|LUTRO|UFakt|Kubatur|"));
    EXPECT_EQ(lutro.v().row(11), s("1|3|FI|IS|N|1|3.2|0.8|4.1|"));
    EXPECT_EQ(lutro.v().format(u"G11"_s), u"0.000");
    EXPECT_EQ(lutro.v().format(u"I11"_s), u"0.000");

    SectionRun atro(log(columns, "1, 4, '1', 3, 'FI', 'IS', 'N', '1', 2.5, 0.9, 3.2, 0.8, 4.1, 5"));
    EXPECT_EQ(atro.v().row(10), s("LOS|StmNr|HA|HS|GKL|STKL|ATRO|UFakt|Kubatur|"));
    EXPECT_EQ(atro.v().row(11), s("1|3|FI|IS|N|1|2.5|0.9|4.1|"));
}

TEST(SingleLogRows, PiecesRowAndRemarkRows)
{
    const char columns[] = "ID_LOG, DSART, LOS, BLNR, HA, HS, GKL, STKL, STK, UFAKT_STK, KUBATUR, ZUSTXT";
    SectionRun run(log(columns, "1, 3, '1', NULL, 'FI', 'IS', 'N', '1', 40, 0.1, 4, 'ohne Nummer'")
        + log(columns, "2, 3, '1', 9, 'FI', 'IS', 'N', '1', 20, 0.1, 2, 'Harz'"));
    SavedSheet &v = run.v();
    EXPECT_EQ(v.row(11), s("1||FI|IS|N|1|40|0.1|4|"));
    EXPECT_EQ(v.row(12), s("||Bemerkung: ohne Nummer|||||||"));
    EXPECT_EQ(v.row(13), s("1|9|FI|IS|N|1|20|0.1|2|"));
    EXPECT_EQ(v.row(14), s("|9|Bemerkung: Harz|||||||"));
    EXPECT_EQ(v.format(u"G13"_s), u"0.00");
    EXPECT_EQ(run.bench.cursor.row, 15);
}

TEST(SingleLogRows, ColumnListCellsStartAtLAndGoPastZ)
{
    SectionRun run(log(Stem, "1, 1, '1', 7, 1, 'FI', 'L', 'B', '2b', 12.5, 31, 1, 0.944, 1"), [](ReportSettings &s) {
        s.columnList.assign(1, ColumnEntry());
        for (int i = 1; i <= 17; ++i)
            s.columnList.push_back({u"C%1"_s.arg(i), i == 17 ? u"LOGS.HS"_s : u"LOGS.HA"_s});
        s.columnList.emplace_back();
    });
    SavedSheet &v = run.v();
    EXPECT_TRUE(v.text(u"K10"_s).isEmpty());
    EXPECT_EQ(v.text(u"L10"_s), u"C1");
    EXPECT_EQ(v.text(u"L11"_s), u"FI");
    EXPECT_EQ(v.text(u"AB10"_s), u"C17");
    EXPECT_EQ(v.text(u"AB11"_s), u"L");
    EXPECT_TRUE(v.bold(u"AB10"_s));
    EXPECT_EQ(v.range(u"AB10"_s).borders(BorderEdge::Bottom).lineStyle(), Xl::Continuous);
    EXPECT_FALSE(v.bold(u"AC10"_s));
}

// --- Forest locations and lot summaries ----------------------------------------

TEST(SingleLogInserts, ForestLocationLineOnChangeOnlyAcrossGroups)
{
    const char columns[] = "ID_LOG, DSART, LOS, STK, KUBATUR, ID_WALDORT";
    SectionRun run(s("INSERT INTO WALDORT (ID_WALDORT, LANGNAME) VALUES (1, 'Nordhang'), (2, 'Südhang');\n")
        + log(columns, "1, 1, '1', 1, 1.0, 1") + log(columns, "2, 1, '1', 1, 1.0, 1")
        + log(columns, "3, 3, '1', 1, 1.0, 1") + log(columns, "4, 3, '1', 1, 1.0, 2")
        + log(columns, "5, 3, '1', 1, 1.0, 0"));
    SavedSheet &v = run.v();
    EXPECT_EQ(v.text(u"A11"_s), u"Waldort:  Nordhang");
    EXPECT_EQ(v.text(u"A12"_s), u"1");
    EXPECT_EQ(v.text(u"A15"_s), s("Stückzahl"));
    EXPECT_EQ(v.text(u"A17"_s), u"1") << "the location goes on into the next group without a new line";
    EXPECT_EQ(v.text(u"A18"_s), s("Waldort:  Südhang"));
    EXPECT_EQ(v.text(u"A20"_s), u"1") << "location 0 writes no line";
    EXPECT_EQ(run.bench.cursor.row, 21);
}

TEST(SingleLogInserts, LotSummaryOnPileLotOrCoordinateChange)
{
    const char columns[] = "ID_LOG, DSART, LOS, POLTNR, COORDINATE1, STK, KUBATUR";
    const QString rows = log(columns, "1, 1, '1', '10', 'x1', 1, 1.5") + log(columns, "2, 1, '1', '10', 'x1', 1, 1.5")
        + log(columns, "3, 1, '2', '10', NULL, 1, 1.5") + log(columns, "4, 1, '2', '10', 'x2', 1, 1.5")
        + log(columns, "5, 1, '2', NULL, 'x3', 1, 1.5") + log(columns, "6, 1, '2', '11', 'x3', 1, 1.5");

    SectionRun on(rows, [](ReportSettings &s) { s.lPolterKoordinaten = true; });
    QStringList column;
    for (int row = 9; row < on.bench.cursor.row; ++row)
        column << on.v().text(u"A%1"_s.arg(row));
    EXPECT_EQ(column,
        QStringList({s("Stammholz lang"), s("LOS"), u"Polter  10 ( 2 Stk 3 Fm )"_s, u"1"_s, u"1"_s,
            u"Polter  10 ( 2 Stk 3 Fm )"_s, u"2"_s, u"Polter  10 ( 2 Stk 3 Fm )"_s, u"2"_s, u"2"_s,
            u"Polter  11 ( 1 Stk 1,5 Fm )"_s, u"2"_s}));

    SectionRun off(rows);
    EXPECT_EQ(off.bench.cursor.row, 17) << "title, header and six rows";
}

// --- Statements ----------------------------------------------------------------

TEST(SingleLogStatements, QueryTypeNamesOnceAndHeightProbes)
{
    Bench bench(singledata::typesAndUnits() + log(Stem, "1, 1, '1', 7, 1, 'FI', 'L', 'B', '2b', 12.5, 31, 1, 0.944, 1")
        + log(Stack, "2, 2, '1', 2, 'BU', 'IS', 'N', 1, 10.5, 0.7, 7.35, NULL, 2"));
    bench.settings.EinzSort = 4;
    WriteSingleLogSection(bench.run, bench.selection, bench.cursor);
    const QString probe = u"SELECT SCHICHT_HOEHEN.HEIGHT FROM LOGS INNER JOIN SCHICHT_HOEHEN ON LOGS.ID_LOG = "
                          "SCHICHT_HOEHEN.ID_LOG WHERE LOGS.ID_LOG = 2 "_s;
    const QStringList sent = bench.statements();
    ASSERT_EQ(sent.size(), 5) << sent.join(u'\n').toStdString();
    EXPECT_TRUE(sent.at(0).endsWith(u"WHERE LOGS.LISTE = '4711'ORDER BY LOGS.ID_LOG, LOGS.POLTNR "_s));
    EXPECT_EQ(sent.count(u"select name from dsart where id = 1"_s), 1);
    EXPECT_EQ(sent.count(u"select name from dsart where id = 2"_s), 1);
    // The first record of a type-2 group is probed twice: once to open the group, once to print it.
    EXPECT_EQ(sent.count(probe), 2);
}

TEST(SingleLogStatements, FailingQueryLeavesTheSheetAlone)
{
    Bench bench(singledata::typesAndUnits());
    bench.settings.columnList = {ColumnEntry(), ColumnEntry{u"X"_s, u"LOGS.GIBTS_NICHT"_s}, ColumnEntry()};
    EXPECT_THROW(WriteSingleLogSection(bench.run, bench.selection, bench.cursor), DbError);
    EXPECT_EQ(bench.cursor.row, StartRow);
}

} // namespace tannbuch
