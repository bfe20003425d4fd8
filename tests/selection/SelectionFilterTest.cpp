#include "selection/SelectionFilter.h"

#include "common/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

SelectionRequest lots(const QStringList &shown, const QStringList &marked, const QString &listType)
{
    SelectionRequest r;
    r.listNumber = QStringLiteral("4711");
    r.mode = LotMode::Lots;
    r.shown = shown;
    r.marked = marked;
    r.listType = listType;
    return r;
}

const QStringList shown357 = {QStringLiteral("3"), QStringLiteral("5"), QStringLiteral("7")};

} // namespace

TEST(SelectionFilter, MarkedLotsWithAListType)
{
    const Selection s
        = BuildSelectionFilter(lots(shown357, {QStringLiteral("3"), QStringLiteral("5")}, QStringLiteral("1")));
    // Two blanks after the lot condition: one closes it, one opens the next.
    EXPECT_EQ(s.filter, QStringLiteral("LOGS.LISTE = '4711' AND LOGS.LOS IN ('3','5')  AND LOGS.LISTENART = 1"));
    EXPECT_EQ(s.lots, QStringList({QStringLiteral("3"), QStringLiteral("5")}));
    EXPECT_EQ(s.lotCount, 2);
}

TEST(SelectionFilter, NothingMarkedTakesEveryLotShownWithoutACondition)
{
    const Selection s = BuildSelectionFilter(lots(shown357, {}, QStringLiteral("1")));
    EXPECT_EQ(s.filter, QStringLiteral("LOGS.LISTE = '4711' AND LOGS.LISTENART = 1"));
    EXPECT_EQ(s.lots, shown357);
    EXPECT_EQ(s.lotCount, 3);
}

TEST(SelectionFilter, MarkedPilesGoIntoTheFilterOnly)
{
    SelectionRequest r = lots({QStringLiteral("P1"), QStringLiteral("P2"), QStringLiteral("P3")},
        {QStringLiteral("P1"), QStringLiteral("P2")}, QString());
    r.mode = LotMode::Piles;
    const Selection s = BuildSelectionFilter(r);
    EXPECT_EQ(s.filter, QStringLiteral("LOGS.LISTE = '4711' AND LOGS.POLTNR IN ('P1','P2') "));
    EXPECT_TRUE(s.lots.isEmpty());
    EXPECT_EQ(s.lotCount, 2);

    r.marked.clear();
    const Selection all = BuildSelectionFilter(r);
    EXPECT_EQ(all.filter, QStringLiteral("LOGS.LISTE = '4711'"));
    EXPECT_TRUE(all.lots.isEmpty());
    EXPECT_EQ(all.lotCount, 3) << "every pile shown counts";
}

TEST(SelectionFilter, AnEmptyEntryMarkedAlone)
{
    const Selection s = BuildSelectionFilter(lots({QStringLiteral("1"), QString()}, {QString()}, QString()));
    EXPECT_EQ(s.filter, QStringLiteral("LOGS.LISTE = '4711' AND LOGS.LOS IN ('') "));
    EXPECT_EQ(s.lots, QStringList({QString()}));
    EXPECT_EQ(s.lotCount, 1);
}

TEST(SelectionFilter, ProvisionIdsComeBeforeTheListType)
{
    SelectionRequest r = lots(shown357, {QStringLiteral("7")}, QStringLiteral("2"));
    r.provisionFilter = QStringLiteral(" AND LOGS.ID_LOG IN (11,12,13) ");
    EXPECT_EQ(BuildSelectionFilter(r).filter,
        QStringLiteral("LOGS.LISTE = '4711' AND LOGS.LOS IN ('7')  AND LOGS.ID_LOG IN (11,12,13)  AND "
                       "LOGS.LISTENART = 2"));
}

TEST(SelectionFilter, NoListNoLotsNoType)
{
    SelectionRequest r;
    const Selection s = BuildSelectionFilter(r);
    EXPECT_EQ(s.filter, QStringLiteral("LOGS.LISTE = ''"));
    EXPECT_TRUE(s.lots.isEmpty());
    EXPECT_EQ(s.lotCount, 0);
}

TEST(SelectionFilter, QuotesAndCommasInLotsStayInsideTheirLot)
{
    SelectionRequest r = lots({QStringLiteral("O'Brien"), QStringLiteral("A,B")},
        {QStringLiteral("O'Brien"), QStringLiteral("A,B")}, QString());
    r.listNumber = QStringLiteral("47'11");
    const Selection s = BuildSelectionFilter(r);
    EXPECT_EQ(s.filter, QStringLiteral("LOGS.LISTE = '47''11' AND LOGS.LOS IN ('O''Brien','A,B') "));
    EXPECT_EQ(s.lots, r.marked) << "each lot as it is, one entry each";
    EXPECT_EQ(s.lotCount, 2);
}
