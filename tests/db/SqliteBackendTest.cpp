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
        m_path = m_dir.filePath(QStringLiteral("forst.sqlite"));
        testsupport::createSqliteDatabase(m_path, QString::fromUtf8(testSchema));
        m_db = std::make_unique<SqliteBackend>(m_path);
    }

    // The single value of a one-row, one-column statement.
    QVariant value(const QString &sql)
    {
        const ResultData r = m_db->query(sql);
        EXPECT_EQ(r.rows.size(), 1u) << qPrintable(sql);
        if (r.rows.empty() || r.rows.front().empty())
            return QVariant(QStringLiteral("<no row>"));
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
    const QString missing = dir.filePath(QStringLiteral("fehlt.sqlite"));
    const QString message = openFailure(missing);
    EXPECT_TRUE(message.contains(QDir::toNativeSeparators(missing))) << qPrintable(message);
    EXPECT_TRUE(message.contains(QStringLiteral("unable to open"))) << qPrintable(message);
    EXPECT_FALSE(QFile::exists(missing)); // read-only: nothing is created

    const QString foreign = dir.filePath(QStringLiteral("liste.txt"));
    ASSERT_TRUE(testsupport::writeFile(foreign, QByteArray("LISTE;LOS;STK\n").repeated(40)));
    const QString notDb = openFailure(foreign);
    EXPECT_TRUE(notDb.contains(QStringLiteral("liste.txt"))) << qPrintable(notDb);
    EXPECT_TRUE(notDb.contains(QStringLiteral("not a database"))) << qPrintable(notDb);

    const QString empty = dir.filePath(QStringLiteral("leer.sqlite"));
    ASSERT_TRUE(testsupport::writeFile(empty, QByteArray()));
    EXPECT_TRUE(openFailure(empty).contains(QStringLiteral("leer.sqlite")));

    EXPECT_FALSE(openFailure(QString()).isEmpty());
    EXPECT_FALSE(openFailure(QStringLiteral(":memory:")).isEmpty());
}

TEST_F(SqliteBackendTest, OnlyReadingStatementsRunAndTheFileStaysUnchanged)
{
    const QByteArray before = fileHash(m_path);
    const QString other = m_dir.filePath(QStringLiteral("other.sqlite"));
    const QStringList refused = {
        QStringLiteral("INSERT INTO L (ID) VALUES (9)"),
        QStringLiteral("UPDATE L SET STK = 0"),
        QStringLiteral("DELETE FROM L"),
        QStringLiteral("REPLACE INTO L (ID) VALUES (1)"),
        QStringLiteral("CREATE TABLE X (A)"),
        QStringLiteral("CREATE INDEX IX ON L (STK)"),
        QStringLiteral("DROP TABLE L"),
        QStringLiteral("ALTER TABLE L ADD COLUMN Y"),
        QStringLiteral("ATTACH '%1' AS o").arg(other),
        QStringLiteral("PRAGMA user_version = 7"),
        QStringLiteral("PRAGMA journal_mode = WAL"),
        QStringLiteral("PRAGMA table_info(L)"),
        QStringLiteral("BEGIN"),
        QStringLiteral("VACUUM"),
        QStringLiteral("ANALYZE"),
        QStringLiteral("SELECT 1; DELETE FROM L"),
        QStringLiteral("SELECT 1; SELECT 2"),
        QStringLiteral("WITH x AS (SELECT 1) DELETE FROM L"),
    };
    for (const QString &sql : refused)
        EXPECT_FALSE(failure(sql).isEmpty()) << "ran: " << qPrintable(sql);

    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM L")).toLongLong(), 3);
    m_db.reset();
    EXPECT_EQ(fileHash(m_path), before);
    EXPECT_FALSE(QFile::exists(other));
    EXPECT_FALSE(QFile::exists(m_path + QStringLiteral("-journal")));
    EXPECT_FALSE(QFile::exists(m_path + QStringLiteral("-wal")));
}

TEST_F(SqliteBackendTest, ValuesComeBackTypedAndStoredDatesAsDates)
{
    const ResultData r = m_db->query(
        QStringLiteral("SELECT ID, LAENGE, LISTE, LOS, '' AS LEER, BILD, DATUM FROM L WHERE ID <= 2 ORDER BY ID"));
    ASSERT_EQ(r.rows.size(), 2u);
    const auto &first = r.rows[0];
    EXPECT_EQ(first[0].typeId(), QMetaType::LongLong);
    EXPECT_EQ(first[1].typeId(), QMetaType::Double);
    EXPECT_EQ(first[2], QVariant(QStringLiteral("4711")));
    EXPECT_EQ(first[4].typeId(), QMetaType::QString);
    EXPECT_TRUE(first[4].toString().isEmpty());
    EXPECT_TRUE(first[4].isValid()); // an empty text is not NULL
    EXPECT_EQ(first[5], QVariant(QByteArray("\x01\x02", 2)));
    EXPECT_EQ(first[6], QVariant(QDateTime(QDate(2024, 1, 5), QTime(10, 0))));
    EXPECT_FALSE(r.rows[1][3].isValid()); // NULL
    EXPECT_FALSE(r.rows[1][5].isValid());
    EXPECT_EQ(r.rows[1][6], QVariant(QDate(2024, 1, 5)));

    // Also where SQLite has lost the column's type.
    EXPECT_EQ(value(QStringLiteral("SELECT MIN(DATUM) FROM L")), QVariant(QDate(2024, 1, 5)));
    EXPECT_EQ(value(QStringLiteral("SELECT MAX(DATUM) FROM L")), QVariant(QDateTime(QDate(2024, 2, 10), QTime(8, 30))));
    EXPECT_EQ(column(QStringLiteral("SELECT DISTINCT(DATUM) FROM L ORDER BY DATUM")).size(), 3);
    // Only exact shapes of real days are dates.
    EXPECT_EQ(value(QStringLiteral("SELECT '2024-02-30'")), QVariant(QStringLiteral("2024-02-30")));
    EXPECT_EQ(value(QStringLiteral("SELECT '2024-01-05T10:00:00'")), QVariant(QStringLiteral("2024-01-05T10:00:00")));
    EXPECT_TRUE(m_db->query(QStringLiteral("  ")).columns.isEmpty());
}

TEST_F(SqliteBackendTest, ColumnNamesInSelectOrderWithEveryKindOfAlias)
{
    const ResultData r = m_db->query(QStringLiteral(
        "SELECT K AS [TL.K], LAENGE \"Länge (m)\", STK AS 'Stück (STK)', SUM(STK) S, L.* FROM L GROUP BY ID"));
    EXPECT_EQ(r.columns,
        QStringList({QStringLiteral("TL.K"), QStringLiteral("Länge (m)"), QStringLiteral("Stück (STK)"),
            QStringLiteral("S"), QStringLiteral("ID"), QStringLiteral("LISTE"), QStringLiteral("LOS"),
            QStringLiteral("HA"), QStringLiteral("K"), QStringLiteral("LAENGE"), QStringLiteral("STK"),
            QStringLiteral("DATUM"), QStringLiteral("BILD")}));
    EXPECT_EQ(m_db->query(QStringLiteral("SELECT DISTINCT(LOS) FROM L")).columns, QStringList{QStringLiteral("LOS")});
    // A double-quoted name is a name, as in SQL Server: unknown ones fail.
    EXPECT_FALSE(failure(QStringLiteral("SELECT \"NOPE\" FROM L")).isEmpty());
}

TEST_F(SqliteBackendTest, TextComparisonIgnoresCaseAndTrailingBlanks)
{
    EXPECT_EQ(column(QStringLiteral("SELECT ID FROM L WHERE HA = 'ÄSTE' ORDER BY ID")), QVariantList({1, 2}));
    EXPECT_EQ(column(QStringLiteral("SELECT ID FROM L WHERE HA LIKE 'äs%' ORDER BY ID")), QVariantList({1, 2}));
    EXPECT_EQ(column(QStringLiteral("SELECT COUNT(*) FROM L GROUP BY HA ORDER BY 1")), QVariantList({1, 2}));
    // Function results and literals compare the same way.
    EXPECT_EQ(column(QStringLiteral("SELECT ID FROM L WHERE ISNULL(LOS,'') = 'A'")), QVariantList({3}));
    EXPECT_EQ(column(QStringLiteral("SELECT ID FROM L WHERE left(HA,2) = 'ÄS' ORDER BY ID")), QVariantList({1, 2}));
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) WHERE 'Fichte' = 'FICHTE  '")).toInt(), 1);
}

TEST_F(SqliteBackendTest, FunctionsGiveSqlServersAnswers)
{
    EXPECT_EQ(value(QStringLiteral("SELECT LEFT(K,4) FROM L WHERE ID = 1")), QVariant(QStringLiteral("2023")));
    EXPECT_EQ(value(QStringLiteral("SELECT LEFT(12345, 2)")), QVariant(QStringLiteral("12")));
    EXPECT_EQ(value(QStringLiteral("SELECT RIGHT(LAENGE, 2) FROM L WHERE ID = 3")), QVariant(QStringLiteral(".5")));
    EXPECT_FALSE(value(QStringLiteral("SELECT LEFT(LOS, 2) FROM L WHERE ID = 2")).isValid());
    EXPECT_TRUE(failure(QStringLiteral("SELECT LEFT('abc', -1)")).contains(QStringLiteral("LEFT")));

    EXPECT_EQ(column(QStringLiteral("SELECT ID FROM L WHERE ISNUMERIC(K) = 1 ORDER BY ID")), QVariantList({2, 3}));
    EXPECT_EQ(value(QStringLiteral("SELECT ISNUMERIC(LOS) FROM L WHERE ID = 2")).toInt(), 0);

    EXPECT_EQ(column(QStringLiteral("SELECT cast(LAENGE as nvarchar(15)) FROM L ORDER BY ID")),
        QVariantList({QStringLiteral("4"), QStringLiteral("12"), QStringLiteral("4.5")}));
    EXPECT_EQ(value(QStringLiteral("SELECT cast('abcdef' as nvarchar(3))")), QVariant(QStringLiteral("abc")));
    EXPECT_EQ(value(QStringLiteral("SELECT cast(12 as nchar(4))")), QVariant(QStringLiteral("12  ")));
    EXPECT_FALSE(value(QStringLiteral("SELECT convert(nvarchar(10), LOS, 104) FROM L WHERE ID = 2")).isValid());
    EXPECT_EQ(value(QStringLiteral("SELECT convert(smalldatetime,'5.1.24 10:00:30',104)")),
        QVariant(QDateTime(QDate(2024, 1, 5), QTime(10, 1))));
    EXPECT_FALSE(failure(QStringLiteral("SELECT convert(smalldatetime,'01.01.1800',104)")).isEmpty());

    EXPECT_EQ(value(QStringLiteral("SELECT ROUND(-2.5, 0)")).toDouble(), -3.0);
    EXPECT_EQ(value(QStringLiteral("SELECT ROUND(15, -1)")), QVariant(qlonglong(20)));
    EXPECT_EQ(value(QStringLiteral("SELECT ROUND(SUM(HEIGHT)/COUNT(*),2) FROM H WHERE ID_LOG = 7")).toDouble(), 1.01);
    EXPECT_FALSE(failure(QStringLiteral("SELECT SQRT(-1)")).isEmpty());

    EXPECT_EQ(column(QStringLiteral("SELECT TOP 2 ID FROM L ORDER BY LAENGE DESC")), QVariantList({2, 3}));
}

TEST_F(SqliteBackendTest, PlusJoinsTextsAndAddsNumbers)
{
    EXPECT_EQ(
        value(QStringLiteral("SELECT LISTE + '/' + LOS FROM L WHERE ID = 1")), QVariant(QStringLiteral("4711/1")));
    EXPECT_FALSE(value(QStringLiteral("SELECT LISTE + '/' + LOS FROM L WHERE ID = 2")).isValid());
    EXPECT_EQ(value(QStringLiteral("SELECT LAENGE + STK FROM L WHERE ID = 1")).toDouble(), 7.0);
    EXPECT_EQ(value(QStringLiteral("SELECT STK + 1 FROM L WHERE ID = 1")), QVariant(qlonglong(4)));
    EXPECT_EQ(value(QStringLiteral("SELECT '12' + STK FROM L WHERE ID = 1")), QVariant(qlonglong(15)));
    EXPECT_FALSE(failure(QStringLiteral("SELECT 'x' + STK FROM L WHERE ID = 1")).isEmpty());
}

TEST_F(SqliteBackendTest, MalformedStatementsFailWithSqlitesMessage)
{
    EXPECT_FALSE(failure(QStringLiteral("SELECT ISNULL(LOS,'' FROM L")).isEmpty());
    EXPECT_FALSE(failure(QStringLiteral("SELECT 'abc FROM L")).isEmpty());
    EXPECT_FALSE(failure(QStringLiteral("SELECT TOP 1 ID FROM L UNION SELECT 2")).isEmpty());
    EXPECT_TRUE(failure(QStringLiteral("SELECT NOPE FROM L")).contains(QStringLiteral("NOPE")));
}

// A provision's long id list: answered through a temporary table, the same
// rows as the inline list, also when the same list comes again; a number
// beyond 64 bits keeps the list inline. The database file stays untouched.
TEST_F(SqliteBackendTest, LongNumberListsGiveTheSameRowsAndLeaveTheFileAlone)
{
    QStringList ids;
    for (int i = 3; i <= 200; ++i)
        ids << QString::number(i);
    const QString list = QStringLiteral("1, ") + ids.join(QStringLiteral(","));
    const QString sql = QStringLiteral("SELECT COUNT(*) FROM L WHERE LISTE = '4711' AND ID IN (%1) ");
    const QByteArray before = fileHash(m_path);
    EXPECT_EQ(value(sql.arg(list)).toInt(), 1);
    // The temporary table really answers, not the inline list as a fallback.
    QString plan;
    for (const auto &row : m_db->query(QStringLiteral("EXPLAIN QUERY PLAN ") + sql.arg(list)).rows)
        plan += row.back().toString() + u'\n';
    EXPECT_TRUE(plan.contains(QStringLiteral("tannbuch_in_"))) << plan.toStdString();
    EXPECT_EQ(value(sql.arg(list) + QStringLiteral("OR ID = 2")).toInt(), 2);
    EXPECT_EQ(value(sql.arg(list + QStringLiteral(",2"))).toInt(), 2);
    EXPECT_EQ(value(sql.arg(list + QStringLiteral(",2,123456789012345678901234"))).toInt(), 2);
    EXPECT_EQ(fileHash(m_path), before);
    // Writing stays refused.
    EXPECT_THROW(m_db->query(QStringLiteral("CREATE TEMP TABLE x (a)")), DbError);
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
    const QString tail = QStringLiteral("\n-- ") + QString(200, u'x'); // long enough to be looked at
    const auto planNamesATable = [this](const QString &sql) {
        QString plan;
        for (const auto &row : m_db->query(QStringLiteral("EXPLAIN QUERY PLAN ") + sql).rows)
            plan += row.back().toString();
        return plan.contains(QStringLiteral("tannbuch_in_"));
    };
    for (const auto &c : cases) {
        const QString sql = QStringLiteral("SELECT COUNT(*) FROM L WHERE ") + QString::fromUtf8(c.condition) + tail;
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
        const QString path = dir.filePath(QStringLiteral("forst.sqlite"));
        testsupport::createSqliteDatabase(path,
            QStringLiteral("CREATE TABLE BIG (T TEXT);"
                           "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 3000) "
                           "INSERT INTO BIG SELECT hex(zeroblob(200)) FROM c;"));
        SqliteBackend db(path);
        ASSERT_EQ(db.query(QStringLiteral("SELECT COUNT(*) FROM BIG")).rows.front().front().toInt(), 3000);

        QFile file(path);
        const qint64 size = keep >= 0 ? keep : file.size() / -keep;
        ASSERT_TRUE(file.resize(size));
        for (int again = 0; again < 2; ++again) {
            try {
                db.query(QStringLiteral("SELECT SUM(LENGTH(T)) FROM BIG"));
                ADD_FAILURE() << "a file cut to " << size << " bytes answered";
            } catch (const DbError &e) {
                EXPECT_TRUE(e.message().contains(QStringLiteral("beschädigt")))
                    << size << ": " << e.message().toStdString();
                EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(path))) << e.message().toStdString();
            }
        }
    }
}

} // namespace tannbuch
