// The demo database holds what the list browser and the report joins rely
// on: one head row per list, and master data that the report joins find
// exactly once. (The volumes and classes come from TimberMath, tested on its
// own; the lists, provisions and business years the window and provision
// tests print from; what the demo prints is pinned by the demo journal and
// workbook comparisons.)

#include "DemoTestDb.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

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

TEST_F(DemoDatabaseTest, ListsHaveOneHeadRowUniqueRecordNumbersAndPilesWithCoordinates)
{
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
