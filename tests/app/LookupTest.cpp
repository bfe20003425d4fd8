#include "app/AccessLevel.h"
#include "db/Connection.h"
#include "db/SqliteBackend.h"
#include "report/TextLookup.h"

#include "common/TestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tannbuch {

namespace {

class LookupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString path = m_dir.filePath(QStringLiteral("t.sqlite"));
        testsupport::createSqliteDatabase(path,
            QStringLiteral(
                "CREATE TABLE STRINGS (ID_STRING INTEGER PRIMARY KEY, CUSTOM_GERMAN TEXT, GERMAN TEXT);"
                "INSERT INTO STRINGS VALUES (716, NULL, ' Haushaltsjahr: ');"
                "INSERT INTO STRINGS VALUES (718, 'Wirtschaftsjahr:', 'HHJ 3:');"
                "INSERT INTO STRINGS VALUES (727, '   ', 'HAB-Datum:');"
                "INSERT INTO STRINGS VALUES (800, NULL, NULL);"
                "CREATE TABLE ACCESS_LEVELS (ID INTEGER PRIMARY KEY, ACCESS_LEVELS TEXT);"
                "INSERT INTO ACCESS_LEVELS VALUES (1, '010200'), (2, '010000'), (3, '010203'), (4, '000000'),"
                " (5, NULL);"));
        m_db.open(std::make_unique<SqliteBackend>(path));
        m_db.journal().setRecording(true);
    }

    QTemporaryDir m_dir;
    Connection m_db;
};

} // namespace

TEST_F(LookupTest, TextsPreferTheCustomersWording)
{
    EXPECT_EQ(GetString(m_db, 716), QStringLiteral("Haushaltsjahr:"));
    EXPECT_EQ(GetString(m_db, 718), QStringLiteral("Wirtschaftsjahr:"));
    EXPECT_EQ(GetString(m_db, 727), QStringLiteral("HAB-Datum:")) << "blank custom wording falls back";
    EXPECT_EQ(GetString(m_db, 800), QString());
    EXPECT_EQ(GetString(m_db, 9999), QString());
}

TEST_F(LookupTest, BusinessYearCaptionsFollowTheHostsIds)
{
    EXPECT_EQ(GetRelTableCaption(m_db, QStringLiteral("reltable3")), QStringLiteral("Wirtschaftsjahr:"));
    EXPECT_EQ(GetRelTableCaption(m_db, QStringLiteral(" RELTABLE3")), QStringLiteral("HHJahr:"));
    EXPECT_EQ(GetRelTableCaption(m_db, QString()), QStringLiteral("HHJahr:"));
    EXPECT_EQ(RelTableCaptionId(QStringLiteral("RELTABLE11")), 0);
}

TEST_F(LookupTest, AccessLevelUsesTheShortestZeroTailPrefix)
{
    EXPECT_EQ(GetAccessLevel(m_db, QStringLiteral("0")), QString());
    EXPECT_EQ(GetAccessLevel(m_db, QString()), QString());
    EXPECT_TRUE(m_db.journal().statements().isEmpty());

    EXPECT_EQ(GetAccessLevel(m_db, QStringLiteral("1")),
        QStringLiteral("(SELECT ID FROM ACCESS_LEVELS WHERE LEFT(ACCESS_LEVELS,4) = '0102')"));
    EXPECT_EQ(GetAccessLevel(m_db, QStringLiteral("2")),
        QStringLiteral("(SELECT ID FROM ACCESS_LEVELS WHERE LEFT(ACCESS_LEVELS,2) = '01')"));
    EXPECT_EQ(GetAccessLevel(m_db, QStringLiteral("3")), QStringLiteral("(3)"));
    EXPECT_EQ(GetAccessLevel(m_db, QStringLiteral("4")),
        QStringLiteral("(SELECT ID FROM ACCESS_LEVELS WHERE LEFT(ACCESS_LEVELS,0) = '')"));
    // No row, or a NULL code: the id itself, no crash.
    EXPECT_EQ(GetAccessLevel(m_db, QStringLiteral("5")), QStringLiteral("(5)"));
    EXPECT_EQ(GetAccessLevel(m_db, QStringLiteral("99")), QStringLiteral("(99)"));
}

} // namespace tannbuch
