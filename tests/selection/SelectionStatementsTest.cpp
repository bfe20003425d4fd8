#include "selection/SelectionStatements.h"

#include "common/QtPrinters.h"

#include <gtest/gtest.h>

namespace tannbuch {

// Every statement is compared whole, to the last blank. The statements of
// the demo's own choices are compared by the demo journal and the list
// selection tests; these are the variants the demo does not send.

namespace {

const QString listHead = QStringLiteral("SELECT DISTINCT L.LISTE, min(L.LISTDATUM) as listdatum, sum(stk) stk, "
                                        "sum(kubatur) Kubatur FROM LOGS L INNER JOIN LISTENKOPF LK ON L.LISTE = "
                                        "LK.LISTE ");
const QString yearJoin = QStringLiteral(" inner join reltable on l.RELTABLE1 = reltable.id and "
                                        "right(reltable.kurzname,2) = right('%1',2)");
const QString listTail = QStringLiteral(" group by L.LISTE ORDER BY L.LISTE ");

} // namespace

TEST(SelectionStatements, BusinessYearTakesTheColumnsLastCharacter)
{
    EXPECT_EQ(BusinessYearStatement(QStringLiteral("RELTABLE10")),
        QStringLiteral("select TOP 1 KURZNAME from RELTABLE where RELTABLE_ID = 0 AND ISNULL(DISABLE,0) = 0 "
                       "AND ISNUMERIC(KURZNAME) = 1 ORDER BY KURZNAME DESC"));
}

TEST(SelectionStatements, ListViewVariants)
{
    ListViewQuery toAlone;
    toAlone.dateTo = QStringLiteral("31.12.2026");

    // Without a list-type number the list-type condition is left out
    // instead of ending the statement in "= ".
    ListViewQuery noListType;
    noListType.businessYearColumn = QStringLiteral("RELTABLE1");
    noListType.year = QStringLiteral("2026");
    noListType.listNumber = QStringLiteral("4711");
    noListType.dateFrom = QStringLiteral("01.02.2024");

    ListViewQuery quoted;
    quoted.businessYearColumn = QStringLiteral("RELTABLE1");
    quoted.year = QStringLiteral("20'26");
    quoted.listNumber = QStringLiteral("O'Brien");
    quoted.listTypeNumber = QStringLiteral("0");

    ListViewQuery quotedDates;
    quotedDates.dateFrom = QStringLiteral("1'");
    quotedDates.dateTo = QStringLiteral("'; --");

    const struct
    {
        const char *name;
        ListViewQuery query;
        QString statement;
    } cases[] = {
        {"the to date alone sets no condition", toAlone, listHead + QStringLiteral("  WHERE 1=1 ") + listTail},
        {"a list without its type", noListType,
            listHead + yearJoin.arg(QStringLiteral("2026")) + QStringLiteral(" WHERE 1=1  AND L.LISTE = '4711'")
                + listTail},
        {"quotes in year and list", quoted,
            listHead + yearJoin.arg(QStringLiteral("20''26"))
                + QStringLiteral(" WHERE 1=1  AND L.LISTE = 'O''Brien' AND ISNULL(L.LISTENART,0) = 0") + listTail},
        {"quotes in the dates", quotedDates,
            listHead
                + QStringLiteral("  WHERE 1=1  AND convert(smalldatetime,L.LISTDATUM,104) BETWEEN "
                                 "convert(smalldatetime,'1''',104) and convert(smalldatetime,'''; --',104) ")
                + listTail},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ListViewStatement(c.query), c.statement) << c.name;
}

TEST(SelectionStatements, LotsAndPilesWithoutListType)
{
    EXPECT_EQ(LotListStatement(LotMode::Lots, QStringLiteral("4711"), QString()),
        QStringLiteral("SELECT DISTINCT(LOS) FROM LOGS WHERE LISTE = '4711' ORDER BY LOS"));
    EXPECT_EQ(LotListStatement(LotMode::Piles, QStringLiteral("4711"), QString()),
        QStringLiteral("SELECT DISTINCT(POLTNR) FROM LOGS WHERE LISTE = '4711' ORDER BY POLTNR"));
}

TEST(SelectionStatements, ListTypesKeepTheBlankAfterTheList)
{
    const QString head = QStringLiteral("SELECT distinct listenart.text FROM listenart inner join logs on "
                                        "listenart.listenart = logs.listenart WHERE logs.LISTE = ");
    EXPECT_EQ(ListTypesStatement(QStringLiteral("4711"), QStringLiteral("0")),
        head + QStringLiteral("'4711 '  AND listenart.LISTENART = 0"));
    EXPECT_EQ(ListTypesStatement(QStringLiteral("O'Brien"), QString()), head + QStringLiteral("'O''Brien '  "));
}

// A value holding a character Windows-1252 lacks goes in as a Unicode
// literal (N'..'); one the code page holds, umlauts, Š and € included, keeps
// its plain literal.
TEST(SelectionStatements, ValuesOutsideTheCodePageAreUnicodeLiterals)
{
    ListViewQuery list;
    list.listNumber = QString::fromUtf8("Łoś");
    const QString provisionHead = QStringLiteral(" select bl.ID_LOGS from BEREITSTELLUNG_LOGS bl inner join "
                                                 "BEREITSTELLUNG_KOPF bk on bl.ID_BEREITSTELLUNG_KOPF = bk.ID  where "
                                                 "bk.BEREITSTELLUNGSNAME = ");
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
