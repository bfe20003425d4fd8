#include "report/totals/LotSummary.h"

#include "common/ReportBench.h"
#include "text/ReportLocale.h"
#include "workbook/cells/Worksheet.h"

#include <gtest/gtest.h>

namespace tannbuch {

using namespace reportbench;
using namespace Qt::StringLiterals;

namespace {

// Pile 7 of lot 2 (records 1 and 2, 12 pieces, 8.5 Fm); record 3 has the
// same pile in another lot, record 4 lies in another list.
const QString Pile = s(
    "INSERT INTO LOGS (ID_LOG, LISTE, LOS, POLTNR, STK, KUBATUR, LAENGE, ZUSTEXT1, ZUSTEXT2, LISTZUSTXT, COORDINATE1,"
    " COORDINATE2) VALUES"
    " (1, '4711', '2', '7', 5, 3.5, 4, 'Lagerort Nord', 'Sturm', 'Frühjahr', '4501303', '5295390'),"
    " (2, '4711', '2', '7', 7, 5, 4, NULL, NULL, NULL, NULL, NULL),"
    " (3, '4711', '3', '7', 9, 9, 4, NULL, NULL, NULL, NULL, NULL),"
    " (4, '4712', '2', '7', 9, 9, 4, NULL, NULL, NULL, NULL, NULL);\n");

QStringList columnA(Bench &b, int from, int to)
{
    QStringList out;
    for (int row = from; row <= to; ++row)
        out << b.xl.range(u"A%1"_s.arg(row)).value();
    return out;
}

} // namespace

// The statements are compared by the demo journal; the map link's address
// only here. A coordinate is one value whatever it holds: numbers go in as
// they are, anything that could add a parameter or end the query is encoded.
TEST(LotSummaryLines, MapLinkAddressTakesEachCoordinateAsOneValue)
{
    const QString tail = u"&zoom=10&lang=de&topic=ba&bgLayer=atkis&catalogNodes=122&crosshair=marker"_s;
    const QString head = u"https://geoportal.bayern.de/bayernatlas/?X="_s;
    const struct
    {
        QString x, y, query;
    } cases[] = {
        {u"4501303"_s, QString(), u"4501303&Y="_s},
        {u"-12.5"_s, u"5295390.25"_s, u"-12.5&Y=5295390.25"_s},
        {u"1&zoom=99#top"_s, u"2 3"_s, u"1%26zoom%3D99%23top&Y=2%203"_s},
        {u"\"<b>\""_s, s("Höhe+5%"), u"%22%3Cb%3E%22&Y=H%C3%B6he%2B5%25"_s},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MapLinkAddress(c.x, c.y), head + c.query + tail) << c.x.toStdString();
}

// All switches off, or a client code in another letter case: the totals
// line alone, in the locale's decimal form, and no map link.
TEST(LotSummaryLines, WithoutSwitchesOnlyTheTotalsLine)
{
    const struct
    {
        QString clientCode;
        QLocale locale;
        QString totals;
    } cases[] = {
        {QString(), QLocale(QLocale::German, QLocale::Germany), u"Polter  7 ( 12 Stk 8,5 Fm )"_s},
        {u"alf"_s, QLocale(QLocale::German, QLocale::Germany), u"Polter  7 ( 12 Stk 8,5 Fm )"_s},
        {QString(), QLocale(QLocale::English, QLocale::UnitedStates), u"Polter  7 ( 12 Stk 8.5 Fm )"_s},
    };
    for (const auto &c : cases) {
        Bench b(Pile);
        ReportLocale::setLocale(c.locale);
        b.run.clientCode = c.clientCode;
        WriteLotSummary(b.run, b.selection, b.cursor, u"7"_s, u"2"_s);
        EXPECT_EQ(columnA(b, 8, 9), QStringList({c.totals, QString()}));
        EXPECT_TRUE(b.xl.range(u"A8"_s).font().bold());
        EXPECT_EQ(b.cursor.row, 9);
        EXPECT_TRUE(b.sheet().hyperlinks().empty());
    }
}

TEST(LotSummaryLines, TextPartsInTableOrderEachEndingInABlankAndTheMapLink)
{
    Bench b(Pile);
    b.run.textSwitches[SwitchZustext2] = 4;
    b.run.textSwitches[SwitchCoordinate1] = 2;
    b.run.textSwitches[SwitchZustext1] = 1; // the head block's values do not count here
    b.run.textSwitches[SwitchZusatztext] = 2;
    b.run.clientCode = u"ALF"_s;
    WriteLotSummary(b.run, b.selection, b.cursor, u"7"_s, u"1"_s);
    EXPECT_EQ(columnA(b, 8, 10),
        QStringList({u"Polter  7 ( 12 Stk 8,5 Fm )"_s,
            s("Koordinate 1: 4501303 Zusatztext 2: Sturm Listenzusatztext: Frühjahr"), u"Link zu Bayeratlas ..."_s}));
    EXPECT_EQ(b.xl.range(u"A9"_s).rawValue(),
        QVariant(s("Koordinate 1: 4501303 Zusatztext 2: Sturm Listenzusatztext: Frühjahr ")));
    EXPECT_TRUE(b.xl.range(u"A9"_s).font().bold());
    EXPECT_EQ(b.cursor.row, 11) << "three lines move the cursor by three";

    SavedSheet saved(b.saved());
    ASSERT_EQ(saved.sheet().hyperlinks().size(), 1u);
    const Hyperlink &link = saved.sheet().hyperlinks().front();
    EXPECT_EQ(link.anchor.row, 10);
    EXPECT_EQ(link.anchor.column, 1);
    EXPECT_EQ(link.address, MapLinkAddress(u"4501303"_s, u"5295390"_s));
}

TEST(LotSummaryLines, PileWithoutVolumeOrOutsideTheSelectionShowsZero)
{
    Bench b(s("INSERT INTO LOGS (ID_LOG, LISTE, LOS, POLTNR, STK, KUBATUR) VALUES (1, '4711', '1', '8', NULL, NULL),"
              " (2, '4712', '1', '9', 3, 2);\n"));
    b.run.clientCode = u"ALF"_s;
    WriteLotSummary(b.run, b.selection, b.cursor, u"8"_s, u"1"_s);
    WriteLotSummary(b.run, b.selection, b.cursor, u"9"_s, u"2"_s);
    EXPECT_EQ(columnA(b, 8, 11),
        QStringList({u"Polter  8 ( 0 Stk 0 Fm )"_s, u"Link zu Bayeratlas ..."_s, u"Polter  9 ( 0 Stk 0 Fm )"_s,
            u"Link zu Bayeratlas ..."_s}));
    EXPECT_EQ(b.sheet().hyperlinks().back().address, MapLinkAddress(QString(), QString()))
        << "null coordinates still give a link";
}

} // namespace tannbuch
