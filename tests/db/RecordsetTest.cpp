#include "db/Recordset.h"
#include "common/QtPrinters.h"
#include "common/TestSupport.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/SqliteBackend.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

// Results as the program reads them: through a Connection on the embedded
// database.
class RecordsetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        const QString path = m_dir.filePath(u"forst.sqlite"_s);
        testsupport::createSqliteDatabase(path, QStringLiteral(R"(
            BEGIN;
            CREATE TABLE LOGS (ID_LOG INTEGER PRIMARY KEY, LISTE TEXT COLLATE NOCASE, LOS TEXT COLLATE NOCASE,
                               ID_MANTEL INTEGER, KUBATUR REAL, LISTDATUM DATETIME);
            INSERT INTO LOGS VALUES (1, '4711', '1', 10, 1.5, '2024-01-05');
            INSERT INTO LOGS VALUES (2, '4711', '',  10, 2.5, '2024-01-05 10:30:00');
            INSERT INTO LOGS VALUES (3, '4711', NULL, 11, 3.5, NULL);
            COMMIT;
        )"));
        m_db.open(std::make_unique<SqliteBackend>(path));
    }

    QTemporaryDir m_dir;
    Connection m_db;
};

} // namespace

// The jacket look-ahead steps one record ahead and back again on the
// single-log result; it must find the row it left, with the same values.
TEST_F(RecordsetTest, StaticCursorMovesForwardAndBackToTheSameRow)
{
    Recordset rs = m_db.openStatic(u"SELECT ID_LOG, ID_MANTEL FROM LOGS ORDER BY ID_LOG"_s);
    ASSERT_FALSE(rs.eof());
    EXPECT_FALSE(rs.bof());
    EXPECT_EQ(rs.field(u"ID_LOG"_s).toInt(), 1);

    rs.moveNext();
    rs.moveNext();
    EXPECT_EQ(rs.field(u"ID_LOG"_s).toInt(), 3);
    rs.moveNext(); // past the last record: end of data
    EXPECT_TRUE(rs.eof());
    EXPECT_FALSE(rs.bof());
    EXPECT_THROW(rs.field(u"ID_LOG"_s), DbError);
    EXPECT_THROW(rs.moveNext(), DbError);
    rs.movePrevious();
    EXPECT_FALSE(rs.eof());
    EXPECT_EQ(rs.field(u"ID_LOG"_s).toInt(), 3);
    EXPECT_EQ(rs.field(u"ID_MANTEL"_s).toInt(), 11);

    rs.movePrevious();
    EXPECT_EQ(rs.field(u"ID_MANTEL"_s).toInt(), 10);
    rs.movePrevious();
    rs.movePrevious(); // before the first record
    EXPECT_TRUE(rs.bof());
    EXPECT_FALSE(rs.eof());
    EXPECT_THROW(rs.value(0), DbError);
    EXPECT_THROW(rs.movePrevious(), DbError);
    rs.moveNext();
    EXPECT_EQ(rs.field(u"ID_LOG"_s).toInt(), 1);
}

TEST_F(RecordsetTest, NullAndEmptyTextAreTwoThings)
{
    Recordset rs = m_db.execute(u"SELECT LOS, LISTDATUM FROM LOGS WHERE ID_LOG >= 2 ORDER BY ID_LOG"_s);
    EXPECT_FALSE(rs.isNull(u"LOS"_s));
    EXPECT_EQ(rs.field(u"LOS"_s), QVariant(QString()));
    EXPECT_EQ(rs.text(u"LOS"_s), QString());
    EXPECT_EQ(rs.text(u"LISTDATUM"_s), u"2024-01-05T10:30:00"_s);
    rs.moveNext();
    EXPECT_TRUE(rs.isNull(u"LOS"_s));
    EXPECT_TRUE(isDbNull(rs.field(u"LOS"_s)));
    EXPECT_EQ(rs.text(u"LOS"_s), QString()); // NULL reads as an empty text
    EXPECT_TRUE(rs.isNull(u"LISTDATUM"_s));
}

TEST_F(RecordsetTest, FieldNamesMatchIgnoringCase)
{
    Recordset rs = m_db.execute(QStringLiteral(
        "SELECT DISTINCT L.LISTE, min(L.LISTDATUM) as listdatum, sum(kubatur) Kubatur FROM LOGS L group by L.LISTE"));
    EXPECT_EQ(rs.field(u"liste"_s).toString(), u"4711"_s);
    EXPECT_EQ(rs.field(u"LISTDATUM"_s), QVariant(QDate(2024, 1, 5)));
    EXPECT_DOUBLE_EQ(rs.field(u"KUBATUR"_s).toDouble(), 7.5);
    EXPECT_EQ(rs.text(u"ListDatum"_s), u"2024-01-05"_s);
    EXPECT_TRUE(rs.hasField(u"kubatur"_s));
    EXPECT_FALSE(rs.hasField(u"STK"_s));
    EXPECT_THROW(rs.field(u"STK"_s), DbError);
}

TEST_F(RecordsetTest, EmptyResultIsAtBothEnds)
{
    Recordset rs = m_db.execute(u"SELECT * FROM LOGS WHERE LISTE = '9999'"_s);
    EXPECT_TRUE(rs.eof());
    EXPECT_TRUE(rs.bof());
    EXPECT_TRUE(rs.isEmpty());
    EXPECT_EQ(rs.fieldCount(), 6); // the columns are known all the same
    EXPECT_EQ(rs.fieldName(5), u"LISTDATUM"_s);
    EXPECT_THROW(rs.fieldName(6), DbError);
    EXPECT_THROW(rs.field(u"LISTE"_s), DbError);
    EXPECT_THROW(rs.moveNext(), DbError);
}

} // namespace tannbuch
