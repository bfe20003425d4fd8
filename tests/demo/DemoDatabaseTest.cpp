// The demo database holds what the list browser and the report joins rely
// on: the lists and record types, the provisions, the business years, and
// master data that the report joins find exactly once. (The volumes and
// classes come from TimberMath, tested on its own; what the demo prints is
// pinned by the demo journal and workbook comparisons.)

#include "DemoTestDb.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace tannbuch {

namespace {

class DemoDatabaseTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(s_dir->isValid());
        s_db = std::make_unique<DemoTestDb>(writeDemoDatabase(s_dir->path(), QStringLiteral("forst.sqlite")));
    }

    static void TearDownTestSuite()
    {
        s_db.reset();
        s_dir.reset();
    }

    const DemoTestDb &db() const { return *s_db; }
    qlonglong count(const QString &sql) const { return db().value(sql).toLongLong(); }

    static std::unique_ptr<QTemporaryDir> s_dir;
    static std::unique_ptr<DemoTestDb> s_db;
};

std::unique_ptr<QTemporaryDir> DemoDatabaseTest::s_dir;
std::unique_ptr<DemoTestDb> DemoDatabaseTest::s_db;

} // namespace

TEST_F(DemoDatabaseTest, ListsHaveTheirDatesTypesAndEveryRecordType)
{
    const auto lists = db().rows(QStringLiteral(
        "SELECT LISTE, COUNT(DISTINCT LISTDATUM), MIN(LISTDATUM), COUNT(DISTINCT LISTENART), MIN(LISTENART), "
        "COUNT(*) FROM LOGS GROUP BY LISTE ORDER BY LISTE"));
    ASSERT_EQ(lists.size(), 4u);
    std::set<QString> dates;
    for (const auto &list : lists) {
        EXPECT_EQ(list[1].toInt(), 1) << "one date per list";
        EXPECT_EQ(list[3].toInt(), 1) << "one list type per list";
        dates.insert(list[2].toString());
    }
    EXPECT_EQ(dates.size(), 4u);
    EXPECT_EQ(lists[0][0].toString(), QStringLiteral("4711"));
    EXPECT_GE(lists[0][5].toInt(), 300);
    EXPECT_EQ(lists[3][0].toString(), QStringLiteral("4720"));
    EXPECT_NE(lists[3][4], lists[0][4]) << "4720 is of another list type";

    EXPECT_EQ(db().texts(QStringLiteral("SELECT DISTINCT DSART FROM LOGS WHERE LISTE = '4711' ORDER BY DSART")),
        QStringList({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
            QStringLiteral("5"), QStringLiteral("6")}));
    EXPECT_GE(count(QStringLiteral("SELECT COUNT(DISTINCT LOS) FROM LOGS WHERE LISTE = '4711'")), 3);
    EXPECT_GE(count(QStringLiteral("SELECT COUNT(DISTINCT POLTNR) FROM LOGS WHERE LISTE = '4711'")), 10);
    EXPECT_GT(count(QStringLiteral("SELECT COUNT(*) FROM LOGS WHERE LISTE = '4711' AND POLTNR IS NULL")), 0);
    EXPECT_GT(count(QStringLiteral("SELECT COUNT(*) FROM LOGS WHERE LISTE = '4711' AND ZUSTXT IS NOT NULL")), 5);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LOGS WHERE POLTNR IS NOT NULL "
                                   "AND (COORDINATE1 IS NULL OR COORDINATE2 IS NULL) AND LISTE = '4711'")),
        0);
    // Every list has exactly one head row, or the list browser's join would
    // count its records twice.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM (SELECT LISTE FROM LOGS GROUP BY LISTE) L "
                                   "WHERE (SELECT COUNT(*) FROM LISTENKOPF K WHERE K.LISTE = L.LISTE) <> 1")),
        0);
    // Record numbers are unique within a list.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM (SELECT LISTE, BLNR FROM LOGS GROUP BY LISTE, BLNR "
                                   "HAVING COUNT(*) > 1)")),
        0);
}

TEST_F(DemoDatabaseTest, ProvisionDemoHoldsExactlyList4711)
{
    const QString provision = QStringLiteral(
        "SELECT BL.ID_LOGS FROM BEREITSTELLUNG_LOGS BL INNER JOIN BEREITSTELLUNG_KOPF BK "
        "ON BL.ID_BEREITSTELLUNG_KOPF = BK.ID WHERE BK.BEREITSTELLUNGSNAME = '%1' ORDER BY BL.ID_LOGS");
    EXPECT_EQ(db().texts(provision.arg(QStringLiteral("DEMO"))),
        db().texts(QStringLiteral("SELECT ID_LOG FROM LOGS WHERE LISTE = '4711' ORDER BY ID_LOG")));
    EXPECT_EQ(db().texts(provision.arg(QStringLiteral("TEILABFUHR"))),
        db().texts(QStringLiteral("SELECT ID_LOG FROM LOGS WHERE LISTE = '4711' AND LOS = '2' ORDER BY ID_LOG")));
    EXPECT_TRUE(db().texts(provision.arg(QStringLiteral("LEER"))).isEmpty());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM BEREITSTELLUNG_KOPF WHERE BEREITSTELLUNGSNAME = 'LEER'")), 1);
}

TEST_F(DemoDatabaseTest, NewestOpenNumericBusinessYearIsList4711s)
{
    // The newest year the list browser offers: kind 1, not disabled, a
    // plain number.
    const auto newest = db().rows(
        QStringLiteral("SELECT ID, KURZNAME FROM RELTABLE WHERE RELTABLE_ID = 1 AND IFNULL(DISABLE, 0) = 0 "
                       "AND KURZNAME <> '' AND KURZNAME NOT GLOB '*[^0-9]*' ORDER BY KURZNAME DESC LIMIT 1"));
    ASSERT_EQ(newest.size(), 1u);
    EXPECT_EQ(db().texts(QStringLiteral("SELECT DISTINCT RELTABLE1 FROM LOGS WHERE LISTE = '4711'")),
        QStringList{newest[0][0].toString()});

    // The rows that must not win: a newer disabled year and a year that is
    // not a plain number.
    const QString year = newest[0][1].toString();
    EXPECT_GT(count(QStringLiteral("SELECT COUNT(*) FROM RELTABLE WHERE RELTABLE_ID = 1 AND DISABLE = 1 "
                                   "AND KURZNAME > '%1'")
                        .arg(year)),
        0);
    EXPECT_GT(
        count(QStringLiteral("SELECT COUNT(*) FROM RELTABLE WHERE RELTABLE_ID = 1 AND KURZNAME GLOB '*[^0-9]*'")), 0);
    EXPECT_GE(count(QStringLiteral("SELECT COUNT(DISTINCT KURZNAME) FROM RELTABLE WHERE RELTABLE_ID = 1 "
                                   "AND KURZNAME NOT GLOB '*[^0-9]*'")),
        4);
    // Every record has a business year, or the browser's inner join drops it.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LOGS L LEFT JOIN RELTABLE R ON R.ID = L.RELTABLE1 "
                                   "WHERE R.RELTABLE_ID IS NOT 1")),
        0);
}

TEST_F(DemoDatabaseTest, ReportJoinsFindOneRowPerRecord)
{
    const qlonglong records = count(QStringLiteral("SELECT COUNT(*) FROM LOGS"));
    // The joins of the single-log query.
    EXPECT_EQ(count(QStringLiteral(
                  "SELECT COUNT(*) FROM LOGS LEFT JOIN WARENEINHEIT ON WARENEINHEIT.EINHEIT_ID = LOGS.ID_MASSEINHEIT "
                  "LEFT JOIN LISTENART ON LOGS.LISTENART = LISTENART.LISTENART "
                  "LEFT JOIN KUBATURKLASSE ON LOGS.KKLASSE = KUBATURKLASSE.ID "
                  "LEFT JOIN LOGS_RECH ON LOGS.ID_LOG = LOGS_RECH.ID_LOG "
                  "LEFT JOIN TRANSPORTLOGISTIK TL ON TL.ID = LOGS.ID_TRANSPORTLOGISTIK "
                  "LEFT JOIN TRANSPORTLOGISTIK_WAGGON TLW ON TLW.ID = TL.ID_TRANSPORTLOGISTIK_WAGGON "
                  "LEFT JOIN RINDENKENNZ ON LOGS.ID_RINDENKENNZ = RINDENKENNZ.ID_RINDENKENNZ")),
        records);
    // The joins of the condensed query: one rate at most per record.
    EXPECT_EQ(count(QStringLiteral(
                  "SELECT COUNT(*) FROM LOGS LEFT JOIN HOLZART ON LOGS.HA = HOLZART.HA "
                  "LEFT JOIN HOLZSORTE ON LOGS.HS = HOLZSORTE.HS LEFT JOIN D_MSZ ON HOLZART.ZUORD_MSZ = D_MSZ.HA "
                  "AND HOLZSORTE.ZUORD_MSZ = D_MSZ.HS AND LOGS.STKL = D_MSZ.STKL AND LOGS.DSART = D_MSZ.DSART")),
        records);
    // Every code a record uses is in its master table.
    EXPECT_EQ(
        count(QStringLiteral("SELECT COUNT(*) FROM LOGS L WHERE NOT EXISTS (SELECT 1 FROM HOLZART A WHERE A.HA = L.HA) "
                             "OR NOT EXISTS (SELECT 1 FROM HOLZSORTE S WHERE S.HS = L.HS) "
                             "OR NOT EXISTS (SELECT 1 FROM DSART D WHERE D.ID = L.DSART) "
                             "OR NOT EXISTS (SELECT 1 FROM WARENEINHEIT W WHERE W.EINHEIT_ID = L.ID_MASSEINHEIT) "
                             "OR NOT EXISTS (SELECT 1 FROM WALDORT O WHERE O.ID_WALDORT = L.ID_WALDORT) "
                             "OR NOT EXISTS (SELECT 1 FROM VERKAUFSART V WHERE V.ID = L.ID_VERKAUFSART)")),
        0);
    // Single logs are paid by rate, and their rates are found.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LOGS WHERE DSART IN (1, 5, 6) AND MSZ IS NULL")), 0);
    EXPECT_GT(count(QStringLiteral("SELECT COUNT(*) FROM LOGS L JOIN TRANSPORTLOGISTIK TL "
                                   "ON TL.ID = L.ID_TRANSPORTLOGISTIK WHERE TL.ID_TRANSPORTLOGISTIK_WAGGON IS NOT NULL "
                                   "AND L.WAGNR IS NOT NULL")),
        0);
}

} // namespace tannbuch
