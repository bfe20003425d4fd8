#include "selection/SelectionFilter.h"

#include "common/QtPrinters.h"

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

// Each case: the window's choices and the filter, lots and lot count they
// give. Two blanks follow a lot or id condition when another condition
// comes after it: one closes it, one opens the next.
TEST(SelectionFilter, ChoicesGiveFilterAndLots)
{
    struct Case
    {
        const char *name;
        SelectionRequest request;
        QString filter;
        QStringList lots;
        int lotCount;
    };
    const QStringList shown357 = {u"3"_s, u"5"_s, u"7"_s};
    const Case cases[] = {
        {"marked lots with a list type", {u"4711"_s, LotMode::Lots, shown357, {u"3"_s, u"5"_s}, {}, u"1"_s},
            u"LOGS.LISTE = '4711' AND LOGS.LOS IN ('3','5')  AND LOGS.LISTENART = 1"_s, {u"3"_s, u"5"_s}, 2},
        {"nothing marked: every lot shown, no lot condition", {u"4711"_s, LotMode::Lots, shown357, {}, {}, u"1"_s},
            u"LOGS.LISTE = '4711' AND LOGS.LISTENART = 1"_s, shown357, 3},
        {"marked piles go into the filter only",
            {u"4711"_s, LotMode::Piles, {u"P1"_s, u"P2"_s, u"P3"_s}, {u"P1"_s, u"P2"_s}, {}, {}},
            u"LOGS.LISTE = '4711' AND LOGS.POLTNR IN ('P1','P2') "_s, {}, 2},
        {"no pile marked: every pile shown counts", {u"4711"_s, LotMode::Piles, {u"P1"_s, u"P2"_s}, {}, {}, {}},
            u"LOGS.LISTE = '4711'"_s, {}, 2},
        {"an empty entry marked alone", {u"4711"_s, LotMode::Lots, {u"1"_s, QString()}, {QString()}, {}, {}},
            u"LOGS.LISTE = '4711' AND LOGS.LOS IN ('') "_s, {QString()}, 1},
        {"provision ids before the list type",
            {u"4711"_s, LotMode::Lots, shown357, {u"7"_s}, u" AND LOGS.ID_LOG IN (11,12,13) "_s, u"2"_s},
            u"LOGS.LISTE = '4711' AND LOGS.LOS IN ('7')  AND LOGS.ID_LOG IN (11,12,13)  AND LOGS.LISTENART = 2"_s,
            {u"7"_s}, 1},
        {"no list, no lots, no type", {}, u"LOGS.LISTE = ''"_s, {}, 0},
        {"quotes doubled, a comma stays inside its lot",
            {u"47'11"_s, LotMode::Lots, {u"O'Brien"_s, u"A,B"_s}, {u"O'Brien"_s, u"A,B"_s}, {}, {}},
            u"LOGS.LISTE = '47''11' AND LOGS.LOS IN ('O''Brien','A,B') "_s, {u"O'Brien"_s, u"A,B"_s}, 2},
        {"a list and lot outside the code page are Unicode literals",
            {u"Č1"_s, LotMode::Lots, {u"Łoś"_s, u"Los"_s}, {u"Łoś"_s, u"Los"_s}, {}, {}},
            u"LOGS.LISTE = N'Č1' AND LOGS.LOS IN (N'Łoś','Los') "_s, {u"Łoś"_s, u"Los"_s}, 2},
    };
    for (const Case &c : cases) {
        const Selection s = BuildSelectionFilter(c.request);
        EXPECT_EQ(s.filter, c.filter) << c.name;
        EXPECT_EQ(s.lots, c.lots) << c.name;
        EXPECT_EQ(s.lotCount, c.lotCount) << c.name;
    }
}

// What the report prints from a chosen selection: as it is when it has lots;
// without lots (none, or the empty lot alone) without them and with the list
// type once more; a lot keeps the list, the provision and the list type, its
// name quoted as a literal.
TEST(SelectionFilter, WholeAndLotSelections)
{
    const QString provision = u" AND LOGS.ID_LOG IN (4) "_s;
    const Selection lots = {u"LOGS.LISTE = '47''11'"_s, u"47'11"_s, {u"1"_s, u"A,'B"_s}, 2, u"1"_s, provision};
    const Selection whole = WholeSelection(lots);
    EXPECT_EQ(whole.filter, lots.filter);
    EXPECT_EQ(whole.lots, lots.lots);
    EXPECT_EQ(whole.lotCount, 2);

    for (const QStringList &none : {QStringList(), QStringList{QString()}}) {
        const Selection plain = WholeSelection({u"LOGS.LISTE = '4711'"_s, u"4711"_s, none, 1, u"1"_s, {}});
        EXPECT_EQ(plain.filter, u"LOGS.LISTE = '4711' AND LOGS.LISTENART = 1"_s);
        EXPECT_TRUE(plain.lots.isEmpty());
        EXPECT_EQ(plain.lotCount, 0);
    }

    const Selection lot = LotSelection(whole, u"A,'B"_s);
    EXPECT_EQ(lot.filter,
        u"LOGS.LISTE='47''11' AND isnull(LOGS.LOS,'')='A,''B' AND LOGS.ID_LOG IN (4)  AND LOGS.LISTENART = 1"_s);
    EXPECT_EQ(lot.lots, QStringList{u"A,'B"_s});
    EXPECT_EQ(lot.listNumber, u"47'11"_s);
    EXPECT_EQ(QuotedLiteral(u"A,'B"_s), u"'A,''B'"_s);
    EXPECT_EQ(LotSelection({u"LOGS.LISTE = N'Č1'"_s, u"Č1"_s, {u"Łoś"_s}, 1, {}, {}}, u"Łoś"_s).filter,
        u"LOGS.LISTE=N'Č1' AND isnull(LOGS.LOS,'')=N'Łoś'"_s);
}

} // namespace tannbuch
