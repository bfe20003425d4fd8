#include "db/Recordset.h"
#include "common/QtPrinters.h"
#include "common/TestSupport.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/SqliteBackend.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tannbuch {

namespace {

// Results as the program reads them: through a Connection on the embedded
// database.
class RecordsetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        const QString path = m_dir.filePath(QStringLiteral("forst.sqlite"));
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
    Recordset rs = m_db.openStatic(QStringLiteral("SELECT ID_LOG, ID_MANTEL FROM LOGS ORDER BY ID_LOG"));
    ASSERT_FALSE(rs.eof());
    EXPECT_FALSE(rs.bof());
    EXPECT_EQ(rs.field(QStringLiteral("ID_LOG")).toInt(), 1);

    rs.moveNext();
    rs.moveNext();
    EXPECT_EQ(rs.field(QStringLiteral("ID_LOG")).toInt(), 3);
    rs.moveNext(); // past the last record: end of data
    EXPECT_TRUE(rs.eof());
    EXPECT_FALSE(rs.bof());
    EXPECT_THROW(rs.field(QStringLiteral("ID_LOG")), DbError);
    EXPECT_THROW(rs.moveNext(), DbError);
    rs.movePrevious();
    EXPECT_FALSE(rs.eof());
    EXPECT_EQ(rs.field(QStringLiteral("ID_LOG")).toInt(), 3);
    EXPECT_EQ(rs.field(QStringLiteral("ID_MANTEL")).toInt(), 11);

    rs.movePrevious();
    EXPECT_EQ(rs.field(QStringLiteral("ID_MANTEL")).toInt(), 10);
    rs.movePrevious();
    rs.movePrevious(); // before the first record
    EXPECT_TRUE(rs.bof());
    EXPECT_FALSE(rs.eof());
    EXPECT_THROW(rs.value(0), DbError);
    EXPECT_THROW(rs.movePrevious(), DbError);
    rs.moveNext();
    EXPECT_EQ(rs.field(QStringLiteral("ID_LOG")).toInt(), 1);
}

TEST_F(RecordsetTest, NullAndEmptyTextAreTwoThings)
{
    Recordset rs = m_db.execute(QStringLiteral("SELECT LOS, LISTDATUM FROM LOGS WHERE ID_LOG >= 2 ORDER BY ID_LOG"));
    EXPECT_FALSE(rs.isNull(QStringLiteral("LOS")));
    EXPECT_EQ(rs.field(QStringLiteral("LOS")), QVariant(QString()));
    EXPECT_EQ(rs.text(QStringLiteral("LOS")), QString());
    EXPECT_EQ(rs.text(QStringLiteral("LISTDATUM")), QStringLiteral("2024-01-05T10:30:00"));
    rs.moveNext();
    EXPECT_TRUE(rs.isNull(QStringLiteral("LOS")));
    EXPECT_TRUE(isDbNull(rs.field(QStringLiteral("LOS"))));
    EXPECT_EQ(rs.text(QStringLiteral("LOS")), QString()); // NULL reads as an empty text
    EXPECT_TRUE(rs.isNull(QStringLiteral("LISTDATUM")));
}

TEST_F(RecordsetTest, FieldNamesMatchIgnoringCase)
{
    Recordset rs = m_db.execute(QStringLiteral(
        "SELECT DISTINCT L.LISTE, min(L.LISTDATUM) as listdatum, sum(kubatur) Kubatur FROM LOGS L group by L.LISTE"));
    EXPECT_EQ(rs.field(QStringLiteral("liste")).toString(), QStringLiteral("4711"));
    EXPECT_EQ(rs.field(QStringLiteral("LISTDATUM")), QVariant(QDate(2024, 1, 5)));
    EXPECT_DOUBLE_EQ(rs.field(QStringLiteral("KUBATUR")).toDouble(), 7.5);
    EXPECT_EQ(rs.text(QStringLiteral("ListDatum")), QStringLiteral("2024-01-05"));
    EXPECT_TRUE(rs.hasField(QStringLiteral("kubatur")));
    EXPECT_FALSE(rs.hasField(QStringLiteral("STK")));
    EXPECT_THROW(rs.field(QStringLiteral("STK")), DbError);
}

TEST_F(RecordsetTest, SelectStarKeepsTheTablesColumnOrder)
{
    Recordset rs = m_db.execute(QStringLiteral("SELECT * FROM LOGS WHERE ID_LOG = 1"));
    QStringList names;
    for (int i = 0; i < rs.fieldCount(); ++i)
        names << rs.fieldName(i);
    EXPECT_EQ(names,
        QStringList({QStringLiteral("ID_LOG"), QStringLiteral("LISTE"), QStringLiteral("LOS"),
            QStringLiteral("ID_MANTEL"), QStringLiteral("KUBATUR"), QStringLiteral("LISTDATUM")}));
    EXPECT_EQ(rs.value(4).toDouble(), 1.5);
    EXPECT_THROW(rs.fieldName(6), DbError);
}

TEST_F(RecordsetTest, EmptyResultIsAtBothEnds)
{
    Recordset rs = m_db.execute(QStringLiteral("SELECT * FROM LOGS WHERE LISTE = '9999'"));
    EXPECT_TRUE(rs.eof());
    EXPECT_TRUE(rs.bof());
    EXPECT_TRUE(rs.isEmpty());
    EXPECT_EQ(rs.fieldCount(), 6); // the columns are known all the same
    EXPECT_THROW(rs.field(QStringLiteral("LISTE")), DbError);
    EXPECT_THROW(rs.moveNext(), DbError);
}

} // namespace tannbuch
