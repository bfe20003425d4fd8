#include "app/AccessLevel.h"
#include "db/Connection.h"
#include "db/SqliteBackend.h"
#include "report/TextLookup.h"

#include "common/TestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

class LookupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString path = m_dir.filePath(u"t.sqlite"_s);
        testsupport::createSqliteDatabase(path,
            u"CREATE TABLE STRINGS (ID_STRING INTEGER PRIMARY KEY, CUSTOM_GERMAN TEXT, GERMAN TEXT);"
            u"INSERT INTO STRINGS VALUES (716, NULL, ' Haushaltsjahr: ');"
            u"INSERT INTO STRINGS VALUES (718, 'Wirtschaftsjahr:', 'HHJ 3:');"
            u"INSERT INTO STRINGS VALUES (727, '   ', 'HAB-Datum:');"
            u"INSERT INTO STRINGS VALUES (800, NULL, NULL);"
            u"CREATE TABLE ACCESS_LEVELS (ID INTEGER PRIMARY KEY, ACCESS_LEVELS TEXT);"
            u"INSERT INTO ACCESS_LEVELS VALUES (1, '010200'), (2, '010000'), (3, '010203'), (4, '000000'),"
            u" (5, NULL);"_s);
        m_db.open(std::make_unique<SqliteBackend>(path));
        m_db.journal().setRecording(true);
    }

    QTemporaryDir m_dir;
    Connection m_db;
};

} // namespace

TEST_F(LookupTest, TextsPreferTheCustomersWording)
{
    EXPECT_EQ(GetString(m_db, 716), u"Haushaltsjahr:"_s);
    EXPECT_EQ(GetString(m_db, 718), u"Wirtschaftsjahr:"_s);
    EXPECT_EQ(GetString(m_db, 727), u"HAB-Datum:"_s) << "blank custom wording falls back";
    EXPECT_EQ(GetString(m_db, 800), QString());
    EXPECT_EQ(GetString(m_db, 9999), QString());
}

TEST_F(LookupTest, BusinessYearCaptionsFollowTheHostsIds)
{
    EXPECT_EQ(GetRelTableCaption(m_db, u"reltable3"_s), u"Wirtschaftsjahr:"_s);
    EXPECT_EQ(GetRelTableCaption(m_db, u" RELTABLE3"_s), u"HHJahr:"_s);
    EXPECT_EQ(GetRelTableCaption(m_db, QString()), u"HHJahr:"_s);
    EXPECT_EQ(RelTableCaptionId(u"RELTABLE11"_s), 0);
}

TEST_F(LookupTest, AccessLevelUsesTheShortestZeroTailPrefix)
{
    EXPECT_EQ(GetAccessLevel(m_db, u"0"_s), QString());
    EXPECT_EQ(GetAccessLevel(m_db, QString()), QString());
    EXPECT_TRUE(m_db.journal().statements().isEmpty());

    EXPECT_EQ(GetAccessLevel(m_db, u"1"_s), u"(SELECT ID FROM ACCESS_LEVELS WHERE LEFT(ACCESS_LEVELS,4) = '0102')"_s);
    EXPECT_EQ(GetAccessLevel(m_db, u"2"_s), u"(SELECT ID FROM ACCESS_LEVELS WHERE LEFT(ACCESS_LEVELS,2) = '01')"_s);
    EXPECT_EQ(GetAccessLevel(m_db, u"3"_s), u"(3)"_s);
    EXPECT_EQ(GetAccessLevel(m_db, u"4"_s), u"(SELECT ID FROM ACCESS_LEVELS WHERE LEFT(ACCESS_LEVELS,0) = '')"_s);
    // No row, or a NULL code: the id itself, no crash.
    EXPECT_EQ(GetAccessLevel(m_db, u"5"_s), u"(5)"_s);
    EXPECT_EQ(GetAccessLevel(m_db, u"99"_s), u"(99)"_s);
}

} // namespace tannbuch
