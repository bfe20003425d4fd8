// The demo database holds what the list browser and the report joins rely
// on: the lists and record types, and master data that the report joins find
// exactly once. (The volumes and classes come from TimberMath, tested on its
// own; the provisions and business years the window and provision tests
// print from; what the demo prints is pinned by the demo journal and
// workbook comparisons.)

#include "DemoTestDb.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

class DemoDatabaseTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(s_dir->isValid());
        s_db = std::make_unique<DemoTestDb>(writeDemoDatabase(s_dir->path(), u"forst.sqlite"_s));
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
    const auto lists = db().rows(
        u"SELECT LISTE, COUNT(DISTINCT LISTDATUM), MIN(LISTDATUM), COUNT(DISTINCT LISTENART), MIN(LISTENART), "
        u"COUNT(*) FROM LOGS GROUP BY LISTE ORDER BY LISTE"_s);
    ASSERT_EQ(lists.size(), 4u);
    std::set<QString> dates;
    for (const auto &list : lists) {
        EXPECT_EQ(list[1].toInt(), 1) << "one date per list";
        EXPECT_EQ(list[3].toInt(), 1) << "one list type per list";
        dates.insert(list[2].toString());
    }
    EXPECT_EQ(dates.size(), 4u);
    EXPECT_EQ(lists[0][0].toString(), u"4711"_s);
    EXPECT_GE(lists[0][5].toInt(), 300);
    EXPECT_EQ(lists[3][0].toString(), u"4720"_s);
    EXPECT_NE(lists[3][4], lists[0][4]) << "4720 is of another list type";

    EXPECT_EQ(db().texts(u"SELECT DISTINCT DSART FROM LOGS WHERE LISTE = '4711' ORDER BY DSART"_s),
        QStringList({u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s}));
    EXPECT_GE(count(u"SELECT COUNT(DISTINCT LOS) FROM LOGS WHERE LISTE = '4711'"_s), 3);
    EXPECT_GE(count(u"SELECT COUNT(DISTINCT POLTNR) FROM LOGS WHERE LISTE = '4711'"_s), 10);
    EXPECT_GT(count(u"SELECT COUNT(*) FROM LOGS WHERE LISTE = '4711' AND POLTNR IS NULL"_s), 0);
    EXPECT_GT(count(u"SELECT COUNT(*) FROM LOGS WHERE LISTE = '4711' AND ZUSTXT IS NOT NULL"_s), 5);
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM LOGS WHERE POLTNR IS NOT NULL "
                    u"AND (COORDINATE1 IS NULL OR COORDINATE2 IS NULL) AND LISTE = '4711'"_s),
        0);
    // Every list has exactly one head row, or the list browser's join would
    // count its records twice.
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM (SELECT LISTE FROM LOGS GROUP BY LISTE) L "
                    u"WHERE (SELECT COUNT(*) FROM LISTENKOPF K WHERE K.LISTE = L.LISTE) <> 1"_s),
        0);
    // Record numbers are unique within a list.
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM (SELECT LISTE, BLNR FROM LOGS GROUP BY LISTE, BLNR "
                    u"HAVING COUNT(*) > 1)"_s),
        0);
}

TEST_F(DemoDatabaseTest, ReportJoinsFindOneRowPerRecord)
{
    const qlonglong records = count(u"SELECT COUNT(*) FROM LOGS"_s);
    // The joins of the single-log query.
    EXPECT_EQ(
        count(u"SELECT COUNT(*) FROM LOGS LEFT JOIN WARENEINHEIT ON WARENEINHEIT.EINHEIT_ID = LOGS.ID_MASSEINHEIT "
              u"LEFT JOIN LISTENART ON LOGS.LISTENART = LISTENART.LISTENART "
              u"LEFT JOIN KUBATURKLASSE ON LOGS.KKLASSE = KUBATURKLASSE.ID "
              u"LEFT JOIN LOGS_RECH ON LOGS.ID_LOG = LOGS_RECH.ID_LOG "
              u"LEFT JOIN TRANSPORTLOGISTIK TL ON TL.ID = LOGS.ID_TRANSPORTLOGISTIK "
              u"LEFT JOIN TRANSPORTLOGISTIK_WAGGON TLW ON TLW.ID = TL.ID_TRANSPORTLOGISTIK_WAGGON "
              u"LEFT JOIN RINDENKENNZ ON LOGS.ID_RINDENKENNZ = RINDENKENNZ.ID_RINDENKENNZ"_s),
        records);
    // The joins of the condensed query: one rate at most per record.
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM LOGS LEFT JOIN HOLZART ON LOGS.HA = HOLZART.HA "
                    u"LEFT JOIN HOLZSORTE ON LOGS.HS = HOLZSORTE.HS LEFT JOIN D_MSZ ON HOLZART.ZUORD_MSZ = D_MSZ.HA "
                    u"AND HOLZSORTE.ZUORD_MSZ = D_MSZ.HS AND LOGS.STKL = D_MSZ.STKL AND LOGS.DSART = D_MSZ.DSART"_s),
        records);
    // Every code a record uses is in its master table.
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM LOGS L WHERE NOT EXISTS (SELECT 1 FROM HOLZART A WHERE A.HA = L.HA) "
                    u"OR NOT EXISTS (SELECT 1 FROM HOLZSORTE S WHERE S.HS = L.HS) "
                    u"OR NOT EXISTS (SELECT 1 FROM DSART D WHERE D.ID = L.DSART) "
                    u"OR NOT EXISTS (SELECT 1 FROM WARENEINHEIT W WHERE W.EINHEIT_ID = L.ID_MASSEINHEIT) "
                    u"OR NOT EXISTS (SELECT 1 FROM WALDORT O WHERE O.ID_WALDORT = L.ID_WALDORT) "
                    u"OR NOT EXISTS (SELECT 1 FROM VERKAUFSART V WHERE V.ID = L.ID_VERKAUFSART)"_s),
        0);
    // Single logs are paid by rate, and their rates are found.
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM LOGS WHERE DSART IN (1, 5, 6) AND MSZ IS NULL"_s), 0);
    EXPECT_GT(count(u"SELECT COUNT(*) FROM LOGS L JOIN TRANSPORTLOGISTIK TL "
                    u"ON TL.ID = L.ID_TRANSPORTLOGISTIK WHERE TL.ID_TRANSPORTLOGISTIK_WAGGON IS NOT NULL "
                    u"AND L.WAGNR IS NOT NULL"_s),
        0);
}

} // namespace tannbuch
