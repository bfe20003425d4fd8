// The statements the head block sends, compared whole to the last blank.

#include "common/ReportBench.h"

#include "report/head/CustomerLines.h"
#include "report/head/ListHead.h"
#include "report/single/ForestLocation.h"

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

using namespace reportbench;

namespace {

void expectStatements(const QStringList &sent, const QStringList &expected)
{
    for (qsizetype i = 0; i < std::max(sent.size(), expected.size()); ++i)
        EXPECT_EQ(sent.value(i, u"(none)"_s), expected.value(i, u"(none)"_s)) << "statement " << i + 1;
}

} // namespace

TEST(HeadStatements, EveryPartSwitchedOn)
{
    Bench bench;
    ReportSettings &st = bench.settings;
    st.lReltable[1] = st.lReltable[10] = st.lVerkaufsart = st.lAdresse[0] = st.lAdresse[2] = true;
    st.lZusKopf = st.lZInfo = st.lWagNrStammbemerkung = true;
    bench.selection.filter = s("LOGS.LISTE = '47''11'");
    bench.selection.listNumber = s("47'11");
    WriteListHead(bench.run, bench.selection, bench.cursor);
    expectStatements(bench.statements(),
        {s("SELECT DISTINCT(LOS) FROM LOGS WHERE LOGS.LISTE = '47''11' ORDER BY LOS"),
            s("SELECT DISTINCT(LISTDATUM) FROM LOGS WHERE LOGS.LISTE = '47''11' ORDER BY LISTDATUM"),
            s("SELECT DISTINCT(LISTZUSTXT) FROM LOGS WHERE LOGS.LISTE = '47''11' ORDER BY LISTZUSTXT"),
            s("SELECT DISTINCT(LISTENKOPFZUSTXT) FROM LISTENKOPF INNER JOIN LOGS ON LOGS.LISTE = LISTENKOPF.LISTE "
              "WHERE LOGS.LISTE = '47''11' ORDER BY LISTENKOPFZUSTXT"),
            s("SELECT * FROM RELTABLE WHERE ID IN (SELECT DISTINCT(RELTABLE1) FROM LOGS WHERE LOGS.LISTE = '47''11')"),
            s("SELECT * FROM RELTABLE WHERE ID IN (SELECT DISTINCT(RELTABLE10) FROM LOGS WHERE LOGS.LISTE = '47''11')"),
            s("SELECT * FROM VERKAUFSART WHERE ID IN (SELECT DISTINCT ISNULL(ID_VERKAUFSART,0) FROM LOGS WHERE "
              "LOGS.LISTE = '47''11')"),
            s("SELECT * FROM PERSONAL WHERE ID_PERSONAL IN (SELECT DISTINCT(R_KUNDE) FROM LOGS_RECH INNER JOIN LOGS  "
              "ON "
              "LOGS_RECH.ID_LOG=LOGS.ID_LOG WHERE LOGS.LISTE = '47''11' AND NOT R_KUNDE IS NULL) ORDER BY "
              "KURZBEZEICHNUNG"),
            s("SELECT * FROM PERSONAL WHERE ID_PERSONAL IN (SELECT DISTINCT(A2_KUNDE) FROM LOGS_RECH  INNER JOIN LOGS  "
              "ON LOGS_RECH.ID_LOG=LOGS.ID_LOG WHERE LOGS.LISTE = '47''11' AND NOT A2_KUNDE IS NULL) ORDER BY "
              "KURZBEZEICHNUNG"),
            s("SELECT * FROM LISTENKOPF WHERE LISTE = '47''11'"),
            s("SELECT DISTINCT ZUSTEXT1, ZUSTEXT2, ZUSTEXT3, ZUSTEXT4, ZUSTEXT5, COORDINATE1, COORDINATE2 FROM LOGS "
              "WHERE LOGS.LISTE = '47''11' "),
            s("SELECT DISTINCT WAGNR, ZUSTXT FROM LOGS WHERE LOGS.LISTE = '47''11' ")});
}

TEST(HeadStatements, SwitchedOffPartsSendNothing)
{
    Bench bench;
    WriteListHead(bench.run, bench.selection, bench.cursor);
    EXPECT_EQ(bench.statements().size(), 4);
    // An empty list still gets its title, the empty lots row and the closing blank row.
    EXPECT_EQ(bench.cursor.row, StartRow + 3);
}

TEST(HeadStatements, CustomerQueryOfTheLastRole)
{
    EXPECT_EQ(customerQuery(8, u"LOGS.LOS = 'A'"_s),
        s("SELECT * FROM PERSONAL WHERE ID_PERSONAL IN (SELECT DISTINCT(A8_KUNDE) FROM LOGS_RECH  INNER JOIN LOGS  "
          "ON LOGS_RECH.ID_LOG=LOGS.ID_LOG WHERE LOGS.LOS = 'A' AND NOT A8_KUNDE IS NULL) ORDER BY KURZBEZEICHNUNG"));
}

TEST(HeadStatements, ForestLocationAskedOnlyForRealIds)
{
    Bench bench;
    WriteForestLocation(bench.run, bench.cursor, 0);
    WriteForestLocation(bench.run, bench.cursor, -4);
    WriteForestLocation(bench.run, bench.cursor, 17);
    expectStatements(bench.statements(), {s("SELECT * FROM WALDORT WHERE ID_WALDORT = 17")});
    EXPECT_EQ(bench.cursor.row, StartRow) << "an id without a row writes nothing";
}

} // namespace tannbuch
