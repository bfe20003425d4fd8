// The embedded database keeps prepared statements by shape, with the record
// ids of the filters bound: which numbers are taken out, and that a kept
// statement answers like a fresh one after the file changed or after a
// statement of its shape failed.

#include "common/QtPrinters.h"
#include "common/TestSupport.h"
#include "db/DbError.h"
#include "db/SqliteBackend.h"
#include "db/StatementShape.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

struct ShapeCase
{
    const char *sql;
    const char *shape; // nullptr: the statement keeps its numbers
    std::vector<qint64> values;
};

class StatementShapeTest : public ::testing::TestWithParam<ShapeCase>
{
};

TEST_P(StatementShapeTest, TakesOutOnlyTheIdsOfFilters)
{
    const ShapeCase &c = GetParam();
    const QString sql = QString::fromUtf8(c.sql);
    const StatementShape shape = StatementShape::of(sql);
    EXPECT_EQ(shape.text, c.shape ? QString::fromUtf8(c.shape) : sql);
    EXPECT_EQ(shape.values, c.values);
}

INSTANTIATE_TEST_SUITE_P(Cases, StatementShapeTest,
    ::testing::Values(ShapeCase{"SELECT A FROM T WHERE ID = 12", "SELECT A FROM T WHERE ID = ?1", {12}},
        ShapeCase{"SELECT A FROM T INNER JOIN U ON U.ID = 7 WHERE (T.ID=3)AND [N] = 5AND X = 'a'",
            "SELECT A FROM T INNER JOIN U ON U.ID = ?1 WHERE (T.ID=?2)AND [N] = ?3AND X = 'a'", {7, 3, 5}},
        ShapeCase{"SELECT A FROM (SELECT TOP 1 A FROM T WHERE ID = 4) X WHERE B = '-- = 1' ORDER BY 1",
            "SELECT A FROM (SELECT TOP 1 A FROM T WHERE ID = ?1) X WHERE B = '-- = 1' ORDER BY 1", {4}},
        // A result column is named by its text: its numbers stay.
        ShapeCase{"SELECT A = 1, (SELECT B FROM T WHERE ID = 2) FROM T", nullptr, {}},
        // Not a column compared alone with a whole number.
        ShapeCase{"SELECT A FROM T WHERE ID = 1.5 OR ID = -1 OR ID = 1 + 1 OR ISNULL(A,0) = 0 OR 1 = 1 "
                  "OR ID IN (1,2) OR ID = 99999999999999999999 OR N * ID = 3",
            nullptr, {}},
        // Parameter marks of its own, not a SELECT, malformed.
        ShapeCase{"SELECT A FROM T WHERE ID = ? AND N = 1", nullptr, {}},
        ShapeCase{"SELECT A FROM T WHERE ID = @id AND N = 1", nullptr, {}},
        ShapeCase{"UPDATE T SET A = 1 WHERE ID = 2", nullptr, {}},
        ShapeCase{"SELECT A FROM T WHERE (ID = 2", nullptr, {}},
        ShapeCase{"SELECT A FROM T WHERE ID = 2 AND B = 'x", nullptr, {}}));

// A statement matched against a known shape gives what tokenizing it would:
// its values where it has the shape, nothing where it has another.
TEST(StatementShape, MatchingAKnownShapeAgreesWithTokenizing)
{
    const struct
    {
        const char *known;
        const char *sql;
        bool same;
    } cases[] = {
        {"SELECT A FROM T WHERE ID = 12", "SELECT A FROM T WHERE ID = 7", true},
        {"SELECT A FROM T WHERE ID = 12", "SELECT A FROM T WHERE ID = 007", true},
        {"SELECT A FROM U INNER JOIN T ON U.ID = 7 WHERE (T.ID=3)AND N = 1",
            "SELECT A FROM U INNER JOIN T ON U.ID = 70 WHERE (T.ID=31)AND N = 1", true},
        {"SELECT A FROM T WHERE ID = 12", "SELECT A FROM T WHERE ID = 12.5", false},
        {"SELECT A FROM T WHERE ID = 12", "SELECT A FROM T WHERE ID = 1234567890123456789", false},
        {"SELECT A FROM T WHERE ID = 12", "SELECT A FROM T WHERE ID = 12 AND N = 1", false},
        {"SELECT A FROM T WHERE ID = 12", "SELECT A FROM T WHERE ID = x", false},
        {"SELECT A FROM T WHERE B = '?1' AND ID = 3", "SELECT A FROM T WHERE B = '55' AND ID = 4", false},
    };
    for (const auto &c : cases) {
        const StatementShape known = StatementShape::of(QString::fromUtf8(c.known));
        const QString sql = QString::fromUtf8(c.sql);
        const StatementShape direct = StatementShape::of(sql);
        const std::optional<std::vector<qint64>> matched = known.valuesOf(sql);
        EXPECT_EQ(matched.has_value(), c.same) << c.sql;
        EXPECT_EQ(direct.text == known.text, c.same) << c.sql;
        if (matched && c.same) {
            EXPECT_EQ(*matched, direct.values) << c.sql;
        }
    }
}

class StatementCacheTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(u"forst.sqlite"_s);
        testsupport::createSqliteDatabase(m_path,
            u"CREATE TABLE T (ID INTEGER PRIMARY KEY, NAME TEXT, CODE TEXT, N INTEGER);"
            u"INSERT INTO T VALUES (1, 'Fichte', '7', -4), (2, 'Tanne', '8', 9);"_s);
        m_db = std::make_unique<SqliteBackend>(m_path);
    }

    // The first value of the only row.
    QVariant value(const QString &sql)
    {
        const ResultData r = m_db->query(sql);
        EXPECT_EQ(r.rows.size(), 1u) << qPrintable(sql);
        return r.rows.empty() ? QVariant() : r.rows.front().front();
    }

    QString failure(const QString &sql) { return testsupport::queryFailure(*m_db, sql); }

    void change(const char *sql)
    {
        ASSERT_EQ(testsupport::changeSqliteDatabase(m_path, QString::fromUtf8(sql)), QString());
    }

    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<SqliteBackend> m_db;
};

// Each statement of one shape answers for its own id, also where the id is
// compared with a text column; result columns keep the text they were named by.
TEST_F(StatementCacheTest, StatementsOfOneShapeAnswerForTheirOwnIds)
{
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(value(u"SELECT NAME FROM T WHERE ID = 1"_s), QVariant(u"Fichte"_s));
        EXPECT_EQ(value(u"SELECT NAME FROM T WHERE ID = 2"_s), QVariant(u"Tanne"_s));
        EXPECT_EQ(value(u"SELECT NAME FROM T WHERE CODE = 8"_s), QVariant(u"Tanne"_s));
    }
    EXPECT_TRUE(m_db->query(u"SELECT NAME FROM T WHERE ID = 3"_s).rows.empty());
    const ResultData named = m_db->query(u"SELECT (SELECT NAME FROM T WHERE ID = 2) FROM T WHERE ID = 1"_s);
    EXPECT_EQ(named.columns, QStringList{u"(SELECT NAME FROM T WHERE ID = 2)"_s});
}

// A kept statement holds no lock between runs and reads the file as it is
// when it runs again: changed rows, new rows, a new column of "*".
TEST_F(StatementCacheTest, KeptStatementsSeeTheDataAsItIsNow)
{
    EXPECT_EQ(value(u"SELECT NAME FROM T WHERE ID = 1"_s), QVariant(u"Fichte"_s));
    EXPECT_EQ(m_db->query(u"SELECT * FROM T WHERE ID = 2"_s).columns.size(), 4);
    change("UPDATE T SET NAME = 'Kiefer' WHERE ID = 1; INSERT INTO T VALUES (3, 'Buche', '9', 1);"
           "ALTER TABLE T ADD COLUMN LOS TEXT;");
    EXPECT_EQ(value(u"SELECT NAME FROM T WHERE ID = 1"_s), QVariant(u"Kiefer"_s));
    EXPECT_EQ(value(u"SELECT NAME FROM T WHERE ID = 3"_s), QVariant(u"Buche"_s));
    EXPECT_EQ(m_db->query(u"SELECT * FROM T WHERE ID = 2"_s).columns.size(), 5);
}

// A statement that fails while running, or cannot be prepared, leaves no
// trace: the next of its shape answers, the same text fails again the same
// way, and one that failed for a missing column runs once the column exists.
TEST_F(StatementCacheTest, AFailingStatementDoesNotPoisonTheCache)
{
    const QString negativeRoot = failure(u"SELECT SQRT(N) FROM T WHERE ID = 1"_s);
    EXPECT_FALSE(negativeRoot.isEmpty());
    EXPECT_EQ(value(u"SELECT SQRT(N) FROM T WHERE ID = 2"_s).toDouble(), 3.0);
    EXPECT_EQ(failure(u"SELECT SQRT(N) FROM T WHERE ID = 1"_s), negativeRoot);
    EXPECT_EQ(value(u"SELECT SQRT(N) FROM T WHERE ID = 2"_s).toDouble(), 3.0);

    EXPECT_TRUE(failure(u"SELECT DURCH FROM T WHERE ID = 1"_s).contains(u"DURCH"_s));
    change("ALTER TABLE T ADD COLUMN DURCH INTEGER; UPDATE T SET DURCH = 42;");
    EXPECT_EQ(value(u"SELECT DURCH FROM T WHERE ID = 1"_s), QVariant(qlonglong(42)));
}

} // namespace

} // namespace tannbuch
