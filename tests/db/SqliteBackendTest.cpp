#include "db/SqliteBackend.h"
#include "common/QtPrinters.h"
#include "common/TestSupport.h"
#include "db/DbError.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

const char *const testSchema = R"(
BEGIN;
CREATE TABLE L (
    ID      INTEGER PRIMARY KEY,
    LISTE   TEXT COLLATE NOCASE,
    LOS     TEXT COLLATE NOCASE,
    HA      TEXT COLLATE NOCASE,
    K       TEXT COLLATE NOCASE,
    LAENGE  REAL,
    STK     INTEGER,
    DATUM   DATETIME,
    BILD    BLOB
);
INSERT INTO L VALUES (1, '4711', '1',  'Äste', '2023/24', 4,   3, '2024-01-05 10:00:00', x'0102');
INSERT INTO L VALUES (2, '4711', NULL, 'äSTE ', '2024',  12,  4, '2024-01-05',          NULL);
INSERT INTO L VALUES (3, '4712', 'a ', 'Fi',   '12.5',  4.5, 0, '2024-02-10 08:30:00', NULL);
CREATE TABLE H (ID_LOG INTEGER, HEIGHT REAL);
INSERT INTO H VALUES (7, 1.0), (7, 1.01);
CREATE TABLE P (NAME TEXT COLLATE NOCASE, ID_L INTEGER);
INSERT INTO P VALUES ('a', 1), ('a', 3), ('a', NULL), ('b', 2);
COMMIT;
)";

class SqliteBackendTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(u"forst.sqlite"_s);
        testsupport::createSqliteDatabase(m_path, QString::fromUtf8(testSchema));
        m_db = std::make_unique<SqliteBackend>(m_path);
    }

    // The single value of a one-row, one-column statement.
    QVariant value(const QString &sql)
    {
        const ResultData r = m_db->query(sql);
        EXPECT_EQ(r.rows.size(), 1u) << qPrintable(sql);
        if (r.rows.empty() || r.rows.front().empty())
            return QVariant(u"<no row>"_s);
        return r.rows.front().front();
    }

    // The first column of every row.
    QVariantList column(const QString &sql)
    {
        QVariantList values;
        for (const auto &row : m_db->query(sql).rows)
            values << row.front();
        return values;
    }

    QString failure(const QString &sql) { return testsupport::queryFailure(*m_db, sql); }

    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<SqliteBackend> m_db;
};

QByteArray fileHash(const QString &path)
{
    return QCryptographicHash::hash(testsupport::readFile(path), QCryptographicHash::Sha256);
}

QString openFailure(const QString &path)
{
    try {
        SqliteBackend db(path);
    } catch (const DbError &e) {
        return e.message();
    }
    return QString();
}

} // namespace

TEST(SqliteBackendOpen, MissingEmptyAndForeignFilesFailNamingTheFile)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(u"fehlt.sqlite"_s);
    const QString message = openFailure(missing);
    EXPECT_TRUE(message.contains(QDir::toNativeSeparators(missing))) << qPrintable(message);
    EXPECT_TRUE(message.contains(u"unable to open"_s)) << qPrintable(message);
    EXPECT_FALSE(QFile::exists(missing)); // read-only: nothing is created

    const QString foreign = dir.filePath(u"liste.txt"_s);
    ASSERT_TRUE(testsupport::writeFile(foreign, QByteArray("LISTE;LOS;STK\n").repeated(40)));
    const QString notDb = openFailure(foreign);
    EXPECT_TRUE(notDb.contains(u"liste.txt"_s)) << qPrintable(notDb);
    EXPECT_TRUE(notDb.contains(u"not a database"_s)) << qPrintable(notDb);

    const QString empty = dir.filePath(u"leer.sqlite"_s);
    ASSERT_TRUE(testsupport::writeFile(empty, QByteArray()));
    EXPECT_TRUE(openFailure(empty).contains(u"leer.sqlite"_s));

    EXPECT_FALSE(openFailure(QString()).isEmpty());
    EXPECT_FALSE(openFailure(u":memory:"_s).isEmpty());
}

TEST_F(SqliteBackendTest, OnlyReadingStatementsRunAndTheFileStaysUnchanged)
{
    const QByteArray before = fileHash(m_path);
    const QString other = m_dir.filePath(u"other.sqlite"_s);
    const QStringList refused = {u"INSERT INTO L (ID) VALUES (9)"_s, u"UPDATE L SET STK = 0"_s, u"DELETE FROM L"_s,
        u"REPLACE INTO L (ID) VALUES (1)"_s, u"CREATE TABLE X (A)"_s, u"CREATE INDEX IX ON L (STK)"_s,
        u"DROP TABLE L"_s, u"ALTER TABLE L ADD COLUMN Y"_s, u"ATTACH '%1' AS o"_s.arg(other),
        u"PRAGMA user_version = 7"_s, u"PRAGMA journal_mode = WAL"_s, u"PRAGMA table_info(L)"_s, u"BEGIN"_s,
        u"VACUUM"_s, u"ANALYZE"_s, u"SELECT 1; DELETE FROM L"_s, u"SELECT 1; SELECT 2"_s,
        u"WITH x AS (SELECT 1) DELETE FROM L"_s};
    for (const QString &sql : refused)
        EXPECT_FALSE(failure(sql).isEmpty()) << "ran: " << qPrintable(sql);

    EXPECT_EQ(value(u"SELECT COUNT(*) FROM L"_s).toLongLong(), 3);
    m_db.reset();
    EXPECT_EQ(fileHash(m_path), before);
    EXPECT_FALSE(QFile::exists(other));
    EXPECT_FALSE(QFile::exists(m_path + u"-journal"_s));
    EXPECT_FALSE(QFile::exists(m_path + u"-wal"_s));
}

TEST_F(SqliteBackendTest, ValuesComeBackTypedAndStoredDatesAsDates)
{
    const ResultData r
        = m_db->query(u"SELECT ID, LAENGE, LISTE, LOS, '' AS LEER, BILD, DATUM FROM L WHERE ID <= 2 ORDER BY ID"_s);
    ASSERT_EQ(r.rows.size(), 2u);
    const auto &first = r.rows[0];
    EXPECT_EQ(first[0].typeId(), QMetaType::LongLong);
    EXPECT_EQ(first[1].typeId(), QMetaType::Double);
    EXPECT_EQ(first[2], QVariant(u"4711"_s));
    EXPECT_EQ(first[4].typeId(), QMetaType::QString);
    EXPECT_TRUE(first[4].toString().isEmpty());
    EXPECT_TRUE(first[4].isValid()); // an empty text is not NULL
    EXPECT_EQ(first[5], QVariant(QByteArray("\x01\x02", 2)));
    EXPECT_EQ(first[6], QVariant(QDateTime(QDate(2024, 1, 5), QTime(10, 0))));
    EXPECT_FALSE(r.rows[1][3].isValid()); // NULL
    EXPECT_FALSE(r.rows[1][5].isValid());
    EXPECT_EQ(r.rows[1][6], QVariant(QDate(2024, 1, 5)));

    // Also where SQLite has lost the column's type.
    EXPECT_EQ(value(u"SELECT MIN(DATUM) FROM L"_s), QVariant(QDate(2024, 1, 5)));
    EXPECT_EQ(value(u"SELECT MAX(DATUM) FROM L"_s), QVariant(QDateTime(QDate(2024, 2, 10), QTime(8, 30))));
    EXPECT_EQ(column(u"SELECT DISTINCT(DATUM) FROM L ORDER BY DATUM"_s).size(), 3);
    // Only exact shapes of real days are dates.
    EXPECT_EQ(value(u"SELECT '2024-02-30'"_s), QVariant(u"2024-02-30"_s));
    EXPECT_EQ(value(u"SELECT '2024-01-05T10:00:00'"_s), QVariant(u"2024-01-05T10:00:00"_s));
    EXPECT_TRUE(m_db->query(u"  "_s).columns.isEmpty());
}

TEST_F(SqliteBackendTest, ColumnNamesInSelectOrderWithEveryKindOfAlias)
{
    const ResultData r = m_db->query(QStringLiteral(
        "SELECT K AS [TL.K], LAENGE \"Länge (m)\", STK AS 'Stück (STK)', SUM(STK) S, L.* FROM L GROUP BY ID"));
    EXPECT_EQ(r.columns,
        QStringList({u"TL.K"_s, u"Länge (m)"_s, u"Stück (STK)"_s, u"S"_s, u"ID"_s, u"LISTE"_s, u"LOS"_s, u"HA"_s,
            u"K"_s, u"LAENGE"_s, u"STK"_s, u"DATUM"_s, u"BILD"_s}));
    EXPECT_EQ(m_db->query(u"SELECT DISTINCT(LOS) FROM L"_s).columns, QStringList{u"LOS"_s});
    // A double-quoted name is a name, as in SQL Server: unknown ones fail.
    EXPECT_FALSE(failure(u"SELECT \"NOPE\" FROM L"_s).isEmpty());
}

TEST_F(SqliteBackendTest, TextComparisonIgnoresCaseAndTrailingBlanks)
{
    EXPECT_EQ(column(u"SELECT ID FROM L WHERE HA = 'ÄSTE' ORDER BY ID"_s), QVariantList({1, 2}));
    EXPECT_EQ(column(u"SELECT ID FROM L WHERE HA LIKE 'äs%' ORDER BY ID"_s), QVariantList({1, 2}));
    EXPECT_EQ(column(u"SELECT COUNT(*) FROM L GROUP BY HA ORDER BY 1"_s), QVariantList({1, 2}));
    // Function results and literals compare the same way.
    EXPECT_EQ(column(u"SELECT ID FROM L WHERE ISNULL(LOS,'') = 'A'"_s), QVariantList({3}));
    EXPECT_EQ(column(u"SELECT ID FROM L WHERE left(HA,2) = 'ÄS' ORDER BY ID"_s), QVariantList({1, 2}));
    EXPECT_EQ(value(u"SELECT COUNT(*) WHERE 'Fichte' = 'FICHTE  '"_s).toInt(), 1);
}

TEST_F(SqliteBackendTest, FunctionsGiveSqlServersAnswers)
{
    EXPECT_EQ(value(u"SELECT LEFT(K,4) FROM L WHERE ID = 1"_s), QVariant(u"2023"_s));
    EXPECT_EQ(value(u"SELECT LEFT(12345, 2)"_s), QVariant(u"12"_s));
    EXPECT_EQ(value(u"SELECT RIGHT(LAENGE, 2) FROM L WHERE ID = 3"_s), QVariant(u".5"_s));
    EXPECT_FALSE(value(u"SELECT LEFT(LOS, 2) FROM L WHERE ID = 2"_s).isValid());
    EXPECT_TRUE(failure(u"SELECT LEFT('abc', -1)"_s).contains(u"LEFT"_s));

    EXPECT_EQ(column(u"SELECT ID FROM L WHERE ISNUMERIC(K) = 1 ORDER BY ID"_s), QVariantList({2, 3}));
    EXPECT_EQ(value(u"SELECT ISNUMERIC(LOS) FROM L WHERE ID = 2"_s).toInt(), 0);

    EXPECT_EQ(
        column(u"SELECT cast(LAENGE as nvarchar(15)) FROM L ORDER BY ID"_s), QVariantList({u"4"_s, u"12"_s, u"4.5"_s}));
    EXPECT_EQ(value(u"SELECT cast('abcdef' as nvarchar(3))"_s), QVariant(u"abc"_s));
    EXPECT_EQ(value(u"SELECT cast(12 as nchar(4))"_s), QVariant(u"12  "_s));
    EXPECT_FALSE(value(u"SELECT convert(nvarchar(10), LOS, 104) FROM L WHERE ID = 2"_s).isValid());
    EXPECT_EQ(value(u"SELECT convert(smalldatetime,'5.1.24 10:00:30',104)"_s),
        QVariant(QDateTime(QDate(2024, 1, 5), QTime(10, 1))));
    EXPECT_FALSE(failure(u"SELECT convert(smalldatetime,'01.01.1800',104)"_s).isEmpty());

    EXPECT_EQ(value(u"SELECT ROUND(-2.5, 0)"_s).toDouble(), -3.0);
    EXPECT_EQ(value(u"SELECT ROUND(15, -1)"_s), QVariant(qlonglong(20)));
    EXPECT_EQ(value(u"SELECT ROUND(SUM(HEIGHT)/COUNT(*),2) FROM H WHERE ID_LOG = 7"_s).toDouble(), 1.01);
    EXPECT_FALSE(failure(u"SELECT SQRT(-1)"_s).isEmpty());

    EXPECT_EQ(column(u"SELECT TOP 2 ID FROM L ORDER BY LAENGE DESC"_s), QVariantList({2, 3}));
}

TEST_F(SqliteBackendTest, PlusJoinsTextsAndAddsNumbers)
{
    EXPECT_EQ(value(u"SELECT LISTE + '/' + LOS FROM L WHERE ID = 1"_s), QVariant(u"4711/1"_s));
    EXPECT_FALSE(value(u"SELECT LISTE + '/' + LOS FROM L WHERE ID = 2"_s).isValid());
    EXPECT_EQ(value(u"SELECT LAENGE + STK FROM L WHERE ID = 1"_s).toDouble(), 7.0);
    EXPECT_EQ(value(u"SELECT STK + 1 FROM L WHERE ID = 1"_s), QVariant(qlonglong(4)));
    EXPECT_EQ(value(u"SELECT '12' + STK FROM L WHERE ID = 1"_s), QVariant(qlonglong(15)));
    EXPECT_FALSE(failure(u"SELECT 'x' + STK FROM L WHERE ID = 1"_s).isEmpty());
}

TEST_F(SqliteBackendTest, MalformedStatementsFailWithSqlitesMessage)
{
    EXPECT_FALSE(failure(u"SELECT ISNULL(LOS,'' FROM L"_s).isEmpty());
    EXPECT_FALSE(failure(u"SELECT 'abc FROM L"_s).isEmpty());
    EXPECT_FALSE(failure(u"SELECT TOP 1 ID FROM L UNION SELECT 2"_s).isEmpty());
    EXPECT_TRUE(failure(u"SELECT NOPE FROM L"_s).contains(u"NOPE"_s));
}

// A provision's long id list: answered through a temporary table, the same
// rows as the inline list, also when the same list comes again; a number
// beyond 64 bits keeps the list inline. The database file stays untouched.
TEST_F(SqliteBackendTest, LongNumberListsGiveTheSameRowsAndLeaveTheFileAlone)
{
    QStringList ids;
    for (int i = 3; i <= 200; ++i)
        ids << QString::number(i);
    const QString list = u"1, "_s + ids.join(u","_s);
    const QString sql = u"SELECT COUNT(*) FROM L WHERE LISTE = '4711' AND ID IN (%1) "_s;
    const QByteArray before = fileHash(m_path);
    EXPECT_EQ(value(sql.arg(list)).toInt(), 1);
    // The temporary table really answers, not the inline list as a fallback.
    QString plan;
    for (const auto &row : m_db->query(u"EXPLAIN QUERY PLAN "_s + sql.arg(list)).rows)
        plan += row.back().toString() + u'\n';
    EXPECT_TRUE(plan.contains(u"tannbuch_in_"_s)) << plan.toStdString();
    EXPECT_EQ(value(sql.arg(list) + u"OR ID = 2"_s).toInt(), 2);
    EXPECT_EQ(value(sql.arg(list + u",2"_s)).toInt(), 2);
    EXPECT_EQ(value(sql.arg(list + u",2,123456789012345678901234"_s)).toInt(), 2);
    EXPECT_EQ(fileHash(m_path), before);
    // Writing stays refused.
    EXPECT_THROW(m_db->query(u"CREATE TEMP TABLE x (a)"_s), DbError);
}

// Inside a snapshot a subquery after IN that stands on its own and answers
// whole numbers is kept in a table from its second coming on and answers
// as it did (its NULL too); one that names the statement around it, or
// answers texts, stays as it is. The table goes with the snapshot.
TEST_F(SqliteBackendTest, SubqueriesThatStandAloneAreKeptForTheSnapshot)
{
    const struct
    {
        const char *condition;
        int count;
        bool kept;
    } cases[] = {
        {"L.ID IN (SELECT ID_L FROM P WHERE NAME = 'A')", 2, true},
        {"ID NOT IN (SELECT ID_L FROM P WHERE NAME = 'a')", 0, true},
        {"ID IN (SELECT ID_L FROM P WHERE P.NAME = L.LOS)", 1, false},
        {"LISTE IN (SELECT NAME FROM P)", 0, false},
    };
    const QString tail = u"\n-- "_s + QString(200, u'x'); // long enough to be looked at
    const auto planNamesATable = [this](const QString &sql) {
        QString plan;
        for (const auto &row : m_db->query(u"EXPLAIN QUERY PLAN "_s + sql).rows)
            plan += row.back().toString();
        return plan.contains(u"tannbuch_in_"_s);
    };
    for (const auto &c : cases) {
        const QString sql = u"SELECT COUNT(*) FROM L WHERE "_s + QString::fromUtf8(c.condition) + tail;
        SCOPED_TRACE(c.condition);
        EXPECT_EQ(value(sql).toInt(), c.count);
        EXPECT_FALSE(planNamesATable(sql)) << "outside a snapshot";
        m_db->beginSnapshot();
        EXPECT_EQ(value(sql).toInt(), c.count);
        EXPECT_EQ(planNamesATable(sql), c.kept);
        EXPECT_EQ(value(sql).toInt(), c.count);
        m_db->endSnapshot();
        EXPECT_FALSE(planNamesATable(sql)) << "after the snapshot";
        EXPECT_EQ(value(sql).toInt(), c.count);
    }
}

// The host cuts the file short between two statements (a restore, a full
// disk): the next statement fails with a message that names the file and
// says it is damaged, whatever is left of it; nothing crashes.
TEST(SqliteBackendDamage, FileCutShortBetweenStatementsIsToldNotACrash)
{
    for (const qint64 keep : {qint64(0), qint64(100), qint64(4096), qint64(3 * 4096), qint64(-2)}) {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"forst.sqlite"_s);
        testsupport::createSqliteDatabase(path,
            u"CREATE TABLE BIG (T TEXT);"
            u"WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 3000) "
            u"INSERT INTO BIG SELECT hex(zeroblob(200)) FROM c;"_s);
        SqliteBackend db(path);
        ASSERT_EQ(db.query(u"SELECT COUNT(*) FROM BIG"_s).rows.front().front().toInt(), 3000);

        QFile file(path);
        const qint64 size = keep >= 0 ? keep : file.size() / -keep;
        ASSERT_TRUE(file.resize(size));
        for (int again = 0; again < 2; ++again) {
            try {
                db.query(u"SELECT SUM(LENGTH(T)) FROM BIG"_s);
                ADD_FAILURE() << "a file cut to " << size << " bytes answered";
            } catch (const DbError &e) {
                EXPECT_TRUE(e.message().contains(u"beschädigt"_s)) << size << ": " << e.message().toStdString();
                EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(path))) << e.message().toStdString();
            }
        }
    }
}

} // namespace tannbuch
