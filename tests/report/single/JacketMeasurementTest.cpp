#include "report/single/JacketMeasurement.h"

#include "SingleLogTestData.h"

#include "common/ReportBench.h"
#include "report/single/SingleLogSection.h"
#include "workbook/automation/Border.h"

#include <gtest/gtest.h>

namespace tannbuch {

using namespace reportbench;
using namespace Qt::StringLiterals;
using singledata::log;
using singledata::SectionRun;

namespace {

const QChar CR(13);

const char Record[] = "ID_LOG, DSART, ID_MANTEL, LOS, BLNR, HA, HS, GKL, STKL, STK, KUBATUR, RINDE_WERT";

// A type-6 record of a jacket with its price row (the jacket query joins it).
QString jacketRecord(int id, const char *jacket, int pieces, double volume)
{
    return log(Record,
               u"%1, 6, %2, '1', %1, 'FI', 'L', 'B', '2b', %3, %4, 2.5"_s.arg(id)
                   .arg(QLatin1String(jacket))
                   .arg(pieces)
                   .arg(volume)
                   .toUtf8()
                   .constData())
        + u"INSERT INTO LOGS_RECH (ID_LOG) VALUES (%1);\n"_s.arg(id);
}

QString sampleLog(int jacket, const char *stkl, double length, double diameter, double volume)
{
    return u"INSERT INTO MANTEL (ID_MANTEL, HA, HS, GKL, STKL, LANGE, DURCH, STUCK, KUBATUR, ENTRINDUNG, RINDE) "
           "VALUES (%1, 'FI', 'L', 'B', '%2', %3, %4, 1, %5, 'MR', 3);\n"_s.arg(jacket)
               .arg(QLatin1String(stkl))
               .arg(length)
               .arg(diameter)
               .arg(volume);
}

const QString Header8 = s("LOS|StmNr|HA|HS|GKL|Stkl|Länge|DM|Stück|Kubatur");
const QString Header6 = s("LOS|StmNr|HA|HS|GKL|Stkl|Stück|Kubatur||");
const QString Empty = u"|||||||||"_s;

QString title(const char *text)
{
    return s(text) + u"|||||||||"_s;
}

} // namespace

TEST(JacketQueryText, FixedPartColumnsAndSource)
{
    const std::vector<ColumnEntry> columns = {ColumnEntry(), {u"a"_s, u"KKLASSE"_s}, {u"b"_s, u"LISTENART"_s},
        {u"c"_s, u"ENTRINDUNG"_s}, {u"d"_s, u"RINDEPROZENT"_s}, {u"e"_s, u"TL.EINGANGS_DATUM"_s},
        {u"f"_s, u"ISNULL(LOGS.RINDE_WERT,0)"_s}, {u"g"_s, u"LOGS.RINDE_WERT"_s}, {u"h"_s, u"RINDE_WERT"_s},
        {u"i"_s, u"LOGS_RECH.R_PREIS"_s}, {u"j"_s, u"isnull(tlw.WAGGON_NR,'')"_s}, ColumnEntry()};
    const QString expected = u"SELECT LOGS.LOS, LOGS.BLNR, MANTEL.HA, MANTEL.HS, MANTEL.GKL, MANTEL.STKL, "
                             "MANTEL.LANGE, MANTEL.DURCH, MANTEL.STUCK, MANTEL.KUBATUR, "_s
        + CR + u" MANTEL.ENTRINDUNG, "_s + CR
        + u" CASE LOGS.RINDEPROZENT WHEN 1 THEN '%' WHEN 0 THEN 'cm' ELSE '' END AS RINDEPROZENT "_s + CR
        + u", NULL as [KKLASSE], NULL as [LISTENART], 'cm' as [RINDEPROZENT], NULL as [TL.EINGANGS_DATUM]"
          ", MANTEL.RINDE as [ISNULL(LOGS.RINDE_WERT,0)], MANTEL.RINDE as [LOGS.RINDE_WERT]"
          ", MANTEL.RINDE as [RINDE_WERT], LOGS_RECH.R_PREIS as [LOGS_RECH.R_PREIS]"
          ", NULL as [isnull(tlw.WAGGON_NR,'')]"
          " FROM LOGS left join (SELECT TOP 1 * FROM LOGS_RECH WHERE LOGS_RECH.ID_LOG = 17) LOGS_RECH ON"
          " LOGS_RECH.ID_LOG = LOGS.ID_LOG, MANTEL WHERE  MANTEL.ID_MANTEL = 10 AND LOGS.ID_LOG = 17"_s;
    EXPECT_EQ(JacketQuery(columns, u"10"_s, u"17"_s), expected);
}

TEST(JacketBlocks, FirstJacketLaysOutTwelveRowsFromItsTitle)
{
    SectionRun run(sampleLog(10, "2a", 12, 25, 0.6) + sampleLog(10, "3a", 14, 33, 1.2) + jacketRecord(1, "10", 50, 12.5)
        + jacketRecord(2, "10", 30, 7.5));
    const QStringList expected = {title("Mantelvermessung (Einzeln)"), Header8, u"1|1|FI|L|B|2a|12|25|1|0.6"_s,
        u"1|1|FI|L|B|3a|14|33|1|1.2"_s, u"Gesamt||||||||2|1.8"_s, Empty, title("Mantelvermessung(Hochrechnung)"),
        Header6, u"1|1|FI|L|B|2b|50|12.5||"_s, u"1|2|FI|L|B|2b|30|7.5||"_s, u"Gesamt||||||80|20||"_s, Empty};
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(run.row(9 + i), expected.at(i)) << "row t+" << i;
    EXPECT_EQ(run.bench.cursor.row, 21);

    SavedSheet &v = *run.view;
    for (const char *cell : {"A13", "I13", "J13", "A19", "G19", "H19"})
        EXPECT_TRUE(v.bold(QLatin1String(cell))) << cell;
    EXPECT_FALSE(v.bold(u"I19"_s)) << "the extrapolated total is bold up to H";
    EXPECT_EQ(v.range(u"J13"_s).borders(BorderEdge::Top).lineStyle(), Xl::Continuous);
    EXPECT_EQ(v.range(u"H19"_s).borders(BorderEdge::Top).lineStyle(), Xl::Continuous);
    EXPECT_EQ(v.range(u"I19"_s).borders(BorderEdge::Top).lineStyle(), Xl::None);
    for (const char *cell : {"H17", "H18", "H19", "J12"})
        EXPECT_EQ(v.format(QLatin1String(cell)), u"0.000") << cell;
}

TEST(JacketBlocks, SecondJacketInTheSameGroupGetsItsOwnHeadingAndTotals)
{
    SectionRun run(sampleLog(10, "2a", 12, 25, 0.6) + sampleLog(11, "4a", 16, 41, 2) + jacketRecord(1, "10", 50, 12.5)
        + jacketRecord(2, "11", 30, 7.5));
    EXPECT_EQ(run.row(16), u"1|1|FI|L|B|2b|50|12.5||"_s);
    EXPECT_EQ(run.row(17), u"Gesamt||||||50|12.5||"_s) << "the next record belongs to another jacket";
    EXPECT_EQ(run.row(20), title("Mantelvermessung(Einzeln)"));
    EXPECT_EQ(run.row(21), Header8);
    EXPECT_EQ(run.row(22), u"1|2|FI|L|B|4a|16|41|1|2"_s);
    EXPECT_EQ(run.row(23), u"Gesamt||||||||1|2"_s);
    EXPECT_EQ(run.row(25), title("Mantelvermessung(Hochrechnung)"));
    EXPECT_EQ(run.row(27), u"1|2|FI|L|B|2b|30|7.5||"_s);
    EXPECT_EQ(run.row(28), u"Gesamt||||||30|7.5||"_s) << "totals start again for each jacket";
}

TEST(JacketBlocks, LaterGroupWithANewJacketRepeatsTheHeaderAndAJacketSurvivesGroups)
{
    SectionRun run(sampleLog(10, "2a", 12, 25, 0.6) + sampleLog(11, "4a", 16, 41, 2) + jacketRecord(1, "10", 50, 12.5)
        + log("ID_LOG, DSART, LOS, BLNR, STK, KUBATUR", "2, 1, '1', 5, 1, 0.5") + jacketRecord(3, "11", 30, 7.5)
        + log("ID_LOG, DSART, LOS, BLNR, STK, KUBATUR", "4, 1, '1', 6, 1, 0.5") + jacketRecord(5, "11", 20, 5));
    EXPECT_EQ(run.row(17), u"Gesamt||||||50|12.5||"_s);
    EXPECT_EQ(run.row(20), title("Stammholz lang"));
    EXPECT_EQ(run.row(24), title("Mantelvermessung (Einzeln)"));
    EXPECT_EQ(run.row(25), Header8);
    EXPECT_EQ(run.row(27), title("Mantelvermessung(Einzeln)"));
    EXPECT_EQ(run.row(28), Header8);
    EXPECT_EQ(run.row(29), u"1|3|FI|L|B|4a|16|41|1|2"_s);
    EXPECT_EQ(run.row(35), u"Gesamt||||||30|7.5||"_s);
    // Jacket 11 goes on after another group: no second sample block, the totals carry on.
    EXPECT_EQ(run.row(38), title("Stammholz lang"));
    EXPECT_EQ(run.row(42), title("Mantelvermessung (Einzeln)"));
    EXPECT_EQ(run.row(43), Header6);
    EXPECT_EQ(run.row(44), u"1|5|FI|L|B|2b|20|5||"_s);
    EXPECT_EQ(run.row(45), u"Gesamt||||||50|12.5||"_s);
}

TEST(JacketBlocks, JacketWithoutSampleLogsShowsZeroTotal)
{
    SectionRun run(jacketRecord(1, "10", 50, 12.5));
    EXPECT_EQ(run.row(11), u"Gesamt||||||||0|0"_s);
    EXPECT_EQ(run.row(13), title("Mantelvermessung(Hochrechnung)"));
}

TEST(JacketBlocks, RecordWithoutJacketIsPrintedWithoutBlocks)
{
    SectionRun run(sampleLog(10, "2a", 12, 25, 0.6) + jacketRecord(1, "NULL", 50, 12.5));
    EXPECT_EQ(run.row(10), Header6);
    EXPECT_EQ(run.row(11), u"1|1|FI|L|B|2b|50|12.5||"_s);
    EXPECT_EQ(run.bench.cursor.row, 12);
    for (const QString &sql : run.bench.statements())
        EXPECT_FALSE(sql.contains(u"MANTEL.ID_MANTEL"_s)) << sql.toStdString();
}

TEST(JacketBlocks, EachSampleLogOnceWhateverThePriceRows)
{
    const QString record = log(Record, "1, 6, 10, '1', 1, 'FI', 'L', 'B', '2b', 50, 12.5, 2.5");
    const QString price = u"INSERT INTO LOGS_RECH (ID_LOG, R_PREIS) VALUES (1, 80);\n"_s;
    const struct
    {
        const char *name;
        QString prices;
        double shown; // the price in the sample rows; 0: none
    } cases[] = {{"no price row", QString(), 0}, {"one price row", price, 80}, {"two price rows", price + price, 80}};
    for (const auto &c : cases) {
        SectionRun run(sampleLog(10, "2a", 12, 25, 0.6) + sampleLog(10, "3a", 14, 33, 1.2) + record + c.prices,
            {ColumnEntry(), {u"Preis"_s, u"LOGS_RECH.R_PREIS"_s}, ColumnEntry()});
        EXPECT_EQ(run.row(11), u"1|1|FI|L|B|2a|12|25|1|0.6"_s) << c.name;
        EXPECT_EQ(run.row(12), u"1|1|FI|L|B|3a|14|33|1|1.2"_s) << c.name;
        EXPECT_EQ(run.row(13), u"Gesamt||||||||2|1.8"_s) << c.name;
        for (const char *cell : {"L11", "L12"})
            EXPECT_EQ(run.view->raw(QLatin1String(cell)).toDouble(), c.shown) << c.name << " " << cell;
    }
}

TEST(JacketBlocks, BarkColumnOfTheSettingsSheet)
{
    // The column as the settings sheet makes it: measured logs show their own bark, extrapolated
    // records none, other records theirs.
    ReportSettings sheet;
    ApplySetting(sheet, u"RINDE_WERT"_s, u"RINDE"_s, {});
    SectionRun run(sampleLog(10, "2a", 12, 25, 0.6) + jacketRecord(1, "10", 50, 12.5)
            + log("ID_LOG, DSART, LOS, BLNR, STK, KUBATUR, RINDE_WERT", "2, 1, '1', 5, 1, 0.5, 1.5"),
        sheet.columnList);
    QList<double> bark;
    for (int r = 1; r < run.bench.cursor.row; ++r) {
        const QVariant v = run.view->raw(u"L%1"_s.arg(r));
        if (v.isValid() && v.typeId() == QMetaType::Double)
            bark << v.toDouble();
    }
    EXPECT_EQ(bark, QList<double>({3.0, 1.5}));
}

TEST(JacketBlocks, ColumnListCellsOfSampleLogs)
{
    SectionRun run(sampleLog(10, "2a", 12, 25, 0.6) + jacketRecord(1, "10", 50, 12.5),
        {ColumnEntry(), {u"Rinde"_s, u"LOGS.RINDE_WERT"_s}, {u"KL"_s, u"KKLASSE"_s},
            {u"Eingang"_s, u"TL.EINGANGS_DATUM"_s}, {u"Kennz"_s, u"ENTRINDUNG"_s}, ColumnEntry()});
    SavedSheet &v = *run.view;
    EXPECT_EQ(v.raw(u"L11"_s).toDouble(), 3.0) << "the sample log's own bark";
    EXPECT_FALSE(v.raw(u"M11"_s).isValid());
    EXPECT_FALSE(v.raw(u"N11"_s).isValid());
    EXPECT_EQ(v.text(u"O11"_s), u"MR");
    EXPECT_FALSE(v.raw(u"L16"_s).isValid()) << "type-6 records have no bark value";
}

} // namespace tannbuch
