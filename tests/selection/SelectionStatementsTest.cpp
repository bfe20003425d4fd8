#include "selection/SelectionStatements.h"

#include "common/QtPrinters.h"

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

// Every statement is compared whole, to the last blank. The statements of
// the demo's own choices are compared by the demo journal and the list
// selection tests; these are the variants the demo does not send.

namespace {

const QString listHead = u"SELECT DISTINCT L.LISTE, min(L.LISTDATUM) as listdatum, sum(stk) stk, "
                         u"sum(kubatur) Kubatur FROM LOGS L INNER JOIN LISTENKOPF LK ON L.LISTE = "
                         u"LK.LISTE "_s;
const QString yearJoin = u" inner join reltable on l.RELTABLE1 = reltable.id and "
                         u"right(reltable.kurzname,2) = right('%1',2)"_s;
const QString listTail = u" group by L.LISTE ORDER BY L.LISTE "_s;

} // namespace

TEST(SelectionStatements, BusinessYearTakesTheColumnsLastCharacter)
{
    EXPECT_EQ(BusinessYearStatement(u"RELTABLE10"_s),
        u"select TOP 1 KURZNAME from RELTABLE where RELTABLE_ID = 0 AND ISNULL(DISABLE,0) = 0 "
        u"AND ISNUMERIC(KURZNAME) = 1 ORDER BY KURZNAME DESC"_s);
}

TEST(SelectionStatements, ListViewVariants)
{
    ListViewQuery toAlone;
    toAlone.dateTo = u"31.12.2026"_s;

    // Without a list-type number the list-type condition is left out
    // instead of ending the statement in "= ".
    ListViewQuery noListType;
    noListType.businessYearColumn = u"RELTABLE1"_s;
    noListType.year = u"2026"_s;
    noListType.listNumber = u"4711"_s;
    noListType.dateFrom = u"01.02.2024"_s;

    ListViewQuery quoted;
    quoted.businessYearColumn = u"RELTABLE1"_s;
    quoted.year = u"20'26"_s;
    quoted.listNumber = u"O'Brien"_s;
    quoted.listTypeNumber = u"0"_s;

    ListViewQuery quotedDates;
    quotedDates.dateFrom = u"1'"_s;
    quotedDates.dateTo = u"'; --"_s;

    const struct
    {
        const char *name;
        ListViewQuery query;
        QString statement;
    } cases[] = {
        {"the to date alone sets no condition", toAlone, listHead + u"  WHERE 1=1 "_s + listTail},
        {"a list without its type", noListType,
            listHead + yearJoin.arg(u"2026"_s) + u" WHERE 1=1  AND L.LISTE = '4711'"_s + listTail},
        {"quotes in year and list", quoted,
            listHead + yearJoin.arg(u"20''26"_s)
                + u" WHERE 1=1  AND L.LISTE = 'O''Brien' AND ISNULL(L.LISTENART,0) = 0"_s + listTail},
        {"quotes in the dates", quotedDates,
            listHead
                + u"  WHERE 1=1  AND convert(smalldatetime,L.LISTDATUM,104) BETWEEN "
                  u"convert(smalldatetime,'1''',104) and convert(smalldatetime,'''; --',104) "_s
                + listTail},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ListViewStatement(c.query), c.statement) << c.name;
}

TEST(SelectionStatements, LotsAndPilesWithoutListType)
{
    EXPECT_EQ(LotListStatement(LotMode::Lots, u"4711"_s, QString()),
        u"SELECT DISTINCT(LOS) FROM LOGS WHERE LISTE = '4711' ORDER BY LOS"_s);
    EXPECT_EQ(LotListStatement(LotMode::Piles, u"4711"_s, QString()),
        u"SELECT DISTINCT(POLTNR) FROM LOGS WHERE LISTE = '4711' ORDER BY POLTNR"_s);
}

TEST(SelectionStatements, ListTypesKeepTheBlankAfterTheList)
{
    const QString head = u"SELECT distinct listenart.text FROM listenart inner join logs on "
                         u"listenart.listenart = logs.listenart WHERE logs.LISTE = "_s;
    EXPECT_EQ(ListTypesStatement(u"4711"_s, u"0"_s), head + u"'4711 '  AND listenart.LISTENART = 0"_s);
    EXPECT_EQ(ListTypesStatement(u"O'Brien"_s, QString()), head + u"'O''Brien '  "_s);
}

// A value holding a character Windows-1252 lacks goes in as a Unicode
// literal (N'..'); one the code page holds, umlauts, Š and € included, keeps
// its plain literal.
TEST(SelectionStatements, ValuesOutsideTheCodePageAreUnicodeLiterals)
{
    ListViewQuery list;
    list.listNumber = QString::fromUtf8("Łoś");
    const QString provisionHead = u" select bl.ID_LOGS from BEREITSTELLUNG_LOGS bl inner join "
                                  u"BEREITSTELLUNG_KOPF bk on bl.ID_BEREITSTELLUNG_KOPF = bk.ID  where "
                                  u"bk.BEREITSTELLUNGSNAME = "_s;
    const struct
    {
        QString statement, expected;
    } cases[] = {
        {ListViewStatement(list), listHead + QString::fromUtf8("  WHERE 1=1  AND L.LISTE = N'Łoś'") + listTail},
        {LotListStatement(LotMode::Piles, QString::fromUtf8("Łoś"), QString::fromUtf8("木材")),
            QString::fromUtf8("SELECT DISTINCT(POLTNR) FROM LOGS INNER JOIN LISTENART ON LOGS.LISTENART = "
                              "LISTENART.LISTENART WHERE LISTE = N'Łoś' AND LISTENART.TEXT = N'木材' ORDER BY POLTNR")},
        {ListTypesStatement(QString::fromUtf8("O'Łoś"), QString()),
            QString::fromUtf8("SELECT distinct listenart.text FROM listenart inner join logs on listenart.listenart "
                              "= logs.listenart WHERE logs.LISTE = N'O''Łoś '  ")},
        {ProvisionStatement(QString::fromUtf8("Čermák")), provisionHead + QString::fromUtf8("N'Čermák' ")},
        {ProvisionStatement(QString::fromUtf8("Šäge €")), provisionHead + QString::fromUtf8("'Šäge €' ")},
        {ListTypeNumberStatement(QString::fromUtf8("木")),
            QString::fromUtf8(" select listenart from listenart where text = N'木' ")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.statement, c.expected);
}

} // namespace tannbuch
