#include "selection/SelectionStatements.h"

#include "common/QtPrinters.h"

#include <gtest/gtest.h>

// Every statement is compared whole, to the last blank.

TEST(SelectionStatements, BusinessYearTakesTheColumnsLastCharacter)
{
    EXPECT_EQ(BusinessYearStatement(QStringLiteral("RELTABLE1")),
        QStringLiteral("select TOP 1 KURZNAME from RELTABLE where RELTABLE_ID = 1 AND ISNULL(DISABLE,0) = 0 "
                       "AND ISNUMERIC(KURZNAME) = 1 ORDER BY KURZNAME DESC"));
    EXPECT_EQ(BusinessYearStatement(QStringLiteral("RELTABLE10")),
        QStringLiteral("select TOP 1 KURZNAME from RELTABLE where RELTABLE_ID = 0 AND ISNULL(DISABLE,0) = 0 "
                       "AND ISNUMERIC(KURZNAME) = 1 ORDER BY KURZNAME DESC"));
}

TEST(SelectionStatements, ListViewInBusinessYearModeWithAccessLevels)
{
    ListViewQuery q;
    q.businessYearColumn = QStringLiteral("RELTABLE1");
    q.year = QStringLiteral("2026");
    q.accessLevelFilter = QStringLiteral("(SELECT ID FROM ACCESS_LEVELS WHERE LEFT(ACCESS_LEVELS,2) = '01')");
    EXPECT_EQ(ListViewStatement(q),
        QStringLiteral("SELECT DISTINCT L.LISTE, min(L.LISTDATUM) as listdatum, sum(stk) stk, sum(kubatur) "
                       "Kubatur FROM LOGS L INNER JOIN LISTENKOPF LK ON L.LISTE = LK.LISTE  inner join reltable "
                       "on l.RELTABLE1 = reltable.id and right(reltable.kurzname,2) = right('2026',2) WHERE 1=1 "
                       " AND (LK.ID_ACCESS_LEVELS IN (SELECT ID FROM ACCESS_LEVELS WHERE "
                       "LEFT(ACCESS_LEVELS,2) = '01') OR LK.ID_ACCESS_LEVELS IS NULL)  group by L.LISTE "
                       "ORDER BY L.LISTE "));
}

TEST(SelectionStatements, ListViewInDateModeOnlyTheFromDateDecides)
{
    ListViewQuery q;
    q.dateFrom = QStringLiteral("01.01.2026");
    q.dateTo = QStringLiteral("31.12.2026");
    EXPECT_EQ(ListViewStatement(q),
        QStringLiteral("SELECT DISTINCT L.LISTE, min(L.LISTDATUM) as listdatum, sum(stk) stk, sum(kubatur) "
                       "Kubatur FROM LOGS L INNER JOIN LISTENKOPF LK ON L.LISTE = LK.LISTE   WHERE 1=1  AND "
                       "convert(smalldatetime,L.LISTDATUM,104) BETWEEN convert(smalldatetime,'01.01.2026',104) "
                       "and convert(smalldatetime,'31.12.2026',104)  group by L.LISTE ORDER BY L.LISTE "));

    // From filled, To empty: the condition stays, with an empty upper bound.
    q.dateTo.clear();
    EXPECT_EQ(ListViewStatement(q),
        QStringLiteral("SELECT DISTINCT L.LISTE, min(L.LISTDATUM) as listdatum, sum(stk) stk, sum(kubatur) "
                       "Kubatur FROM LOGS L INNER JOIN LISTENKOPF LK ON L.LISTE = LK.LISTE   WHERE 1=1  AND "
                       "convert(smalldatetime,L.LISTDATUM,104) BETWEEN convert(smalldatetime,'01.01.2026',104) "
                       "and convert(smalldatetime,'',104)  group by L.LISTE ORDER BY L.LISTE "));

    // To filled alone: no date condition.
    q.dateFrom.clear();
    q.dateTo = QStringLiteral("31.12.2026");
    EXPECT_EQ(ListViewStatement(q),
        QStringLiteral("SELECT DISTINCT L.LISTE, min(L.LISTDATUM) as listdatum, sum(stk) stk, sum(kubatur) "
                       "Kubatur FROM LOGS L INNER JOIN LISTENKOPF LK ON L.LISTE = LK.LISTE   WHERE 1=1  group "
                       "by L.LISTE ORDER BY L.LISTE "));
}

TEST(SelectionStatements, AListNumberFromTheCommandLineFixesTheList)
{
    ListViewQuery q;
    q.businessYearColumn = QStringLiteral("RELTABLE1");
    q.year = QStringLiteral("2026");
    q.listNumber = QStringLiteral("4711");
    q.listTypeNumber = QStringLiteral("1");
    q.accessLevelFilter = QStringLiteral("(4)");
    q.dateFrom = QStringLiteral("01.02.2024");
    q.dateTo = QStringLiteral("29.02.2024");
    EXPECT_EQ(ListViewStatement(q),
        QStringLiteral("SELECT DISTINCT L.LISTE, min(L.LISTDATUM) as listdatum, sum(stk) stk, sum(kubatur) "
                       "Kubatur FROM LOGS L INNER JOIN LISTENKOPF LK ON L.LISTE = LK.LISTE  inner join reltable "
                       "on l.RELTABLE1 = reltable.id and right(reltable.kurzname,2) = right('2026',2) WHERE 1=1 "
                       " AND L.LISTE = '4711' AND ISNULL(L.LISTENART,0) = 1 group by L.LISTE ORDER BY "
                       "L.LISTE "));

    // Without a list-type number the list-type condition is left out
    // instead of ending the statement in "= ".
    q.listTypeNumber.clear();
    EXPECT_EQ(ListViewStatement(q),
        QStringLiteral("SELECT DISTINCT L.LISTE, min(L.LISTDATUM) as listdatum, sum(stk) stk, sum(kubatur) "
                       "Kubatur FROM LOGS L INNER JOIN LISTENKOPF LK ON L.LISTE = LK.LISTE  inner join reltable "
                       "on l.RELTABLE1 = reltable.id and right(reltable.kurzname,2) = right('2026',2) WHERE 1=1 "
                       " AND L.LISTE = '4711' group by L.LISTE ORDER BY L.LISTE "));
}

TEST(SelectionStatements, QuotesInTypedValuesAreDoubled)
{
    ListViewQuery q;
    q.businessYearColumn = QStringLiteral("RELTABLE1");
    q.year = QStringLiteral("20'26");
    q.listNumber = QStringLiteral("O'Brien");
    q.listTypeNumber = QStringLiteral("0");
    EXPECT_EQ(ListViewStatement(q),
        QStringLiteral("SELECT DISTINCT L.LISTE, min(L.LISTDATUM) as listdatum, sum(stk) stk, sum(kubatur) "
                       "Kubatur FROM LOGS L INNER JOIN LISTENKOPF LK ON L.LISTE = LK.LISTE  inner join reltable "
                       "on l.RELTABLE1 = reltable.id and right(reltable.kurzname,2) = right('20''26',2) WHERE "
                       "1=1  AND L.LISTE = 'O''Brien' AND ISNULL(L.LISTENART,0) = 0 group by L.LISTE ORDER BY "
                       "L.LISTE "));

    ListViewQuery dates;
    dates.dateFrom = QStringLiteral("1'");
    dates.dateTo = QStringLiteral("'; --");
    EXPECT_EQ(ListViewStatement(dates),
        QStringLiteral("SELECT DISTINCT L.LISTE, min(L.LISTDATUM) as listdatum, sum(stk) stk, sum(kubatur) "
                       "Kubatur FROM LOGS L INNER JOIN LISTENKOPF LK ON L.LISTE = LK.LISTE   WHERE 1=1  AND "
                       "convert(smalldatetime,L.LISTDATUM,104) BETWEEN convert(smalldatetime,'1''',104) "
                       "and convert(smalldatetime,'''; --',104)  group by L.LISTE ORDER BY L.LISTE "));
}

TEST(SelectionStatements, LotsAndPilesWithAndWithoutListType)
{
    EXPECT_EQ(LotListStatement(LotMode::Lots, QStringLiteral("4711"), QString()),
        QStringLiteral("SELECT DISTINCT(LOS) FROM LOGS WHERE LISTE = '4711' ORDER BY LOS"));
    EXPECT_EQ(LotListStatement(LotMode::Lots, QStringLiteral("4711"), QStringLiteral("Stammholz")),
        QStringLiteral("SELECT DISTINCT(LOS) FROM LOGS INNER JOIN LISTENART ON LOGS.LISTENART = "
                       "LISTENART.LISTENART WHERE LISTE = '4711' AND LISTENART.TEXT = 'Stammholz' ORDER BY LOS"));
    EXPECT_EQ(LotListStatement(LotMode::Piles, QStringLiteral("4711"), QString()),
        QStringLiteral("SELECT DISTINCT(POLTNR) FROM LOGS WHERE LISTE = '4711' ORDER BY POLTNR"));
    EXPECT_EQ(LotListStatement(LotMode::Piles, QStringLiteral("4711"), QStringLiteral("Stammholz")),
        QStringLiteral("SELECT DISTINCT(POLTNR) FROM LOGS INNER JOIN LISTENART ON LOGS.LISTENART = "
                       "LISTENART.LISTENART WHERE LISTE = '4711' AND LISTENART.TEXT = 'Stammholz' ORDER BY "
                       "POLTNR"));
    EXPECT_EQ(LotListStatement(LotMode::Lots, QStringLiteral("O'Brien"), QStringLiteral("Holz 'A'")),
        QStringLiteral("SELECT DISTINCT(LOS) FROM LOGS INNER JOIN LISTENART ON LOGS.LISTENART = "
                       "LISTENART.LISTENART WHERE LISTE = 'O''Brien' AND LISTENART.TEXT = 'Holz ''A''' ORDER BY "
                       "LOS"));
}

TEST(SelectionStatements, ListTypesKeepTheBlankAfterTheList)
{
    EXPECT_EQ(ListTypesStatement(QStringLiteral("4711"), QString()),
        QStringLiteral("SELECT distinct listenart.text FROM listenart inner join logs on listenart.listenart = "
                       "logs.listenart WHERE logs.LISTE = '4711 '  "));
    EXPECT_EQ(ListTypesStatement(QStringLiteral("4711"), QStringLiteral("0")),
        QStringLiteral("SELECT distinct listenart.text FROM listenart inner join logs on listenart.listenart = "
                       "logs.listenart WHERE logs.LISTE = '4711 '  AND listenart.LISTENART = 0"));
    // No list chosen: a list of one blank.
    EXPECT_EQ(ListTypesStatement(QString(), QString()),
        QStringLiteral("SELECT distinct listenart.text FROM listenart inner join logs on listenart.listenart = "
                       "logs.listenart WHERE logs.LISTE = ' '  "));
    EXPECT_EQ(ListTypesStatement(QStringLiteral("O'Brien"), QString()),
        QStringLiteral("SELECT distinct listenart.text FROM listenart inner join logs on listenart.listenart = "
                       "logs.listenart WHERE logs.LISTE = 'O''Brien '  "));
}

TEST(SelectionStatements, ProvisionAndListTypeNumber)
{
    EXPECT_EQ(ProvisionStatement(QStringLiteral("DEMO")),
        QStringLiteral(" select bl.ID_LOGS from BEREITSTELLUNG_LOGS bl inner join BEREITSTELLUNG_KOPF bk on "
                       "bl.ID_BEREITSTELLUNG_KOPF = bk.ID  where bk.BEREITSTELLUNGSNAME = 'DEMO' "));
    EXPECT_EQ(ProvisionStatement(QStringLiteral("O'Brien")),
        QStringLiteral(" select bl.ID_LOGS from BEREITSTELLUNG_LOGS bl inner join BEREITSTELLUNG_KOPF bk on "
                       "bl.ID_BEREITSTELLUNG_KOPF = bk.ID  where bk.BEREITSTELLUNGSNAME = 'O''Brien' "));
    EXPECT_EQ(ListTypeNumberStatement(QStringLiteral("Stammholz")),
        QStringLiteral(" select listenart from listenart where text = 'Stammholz' "));
    EXPECT_EQ(ListTypeNumberStatement(QString()), QStringLiteral(" select listenart from listenart where text = '' "));
    EXPECT_EQ(ListTypeNumberStatement(QStringLiteral("O'Brien")),
        QStringLiteral(" select listenart from listenart where text = 'O''Brien' "));
}
