// The ODBC path: the program's connection through unixODBC and the FreeTDS
// driver to the test endpoint, which serves a SQLite file with the host's
// column types. Results must equal the embedded backend's; faults of the
// server must end in clear messages within the query timeout.

#include "common/QtPrinters.h"
#include "common/TdsMirror.h"
#include "common/TestSupport.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/SqliteBackend.h"
#include "tds/TdsEndpoint.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

// One row per case; each case fills one column of TYPEN.
const char *const TypeTable = R"(
CREATE TABLE TYPEN (ID INTEGER PRIMARY KEY, T_INT INTEGER, T_SMALLINT INTEGER, T_BIGINT INTEGER,
  T_BIT INTEGER, T_FLOAT REAL, T_REAL REAL, T_DECIMAL REAL, T_NUMERIC REAL, T_MONEY REAL,
  T_NVARCHAR TEXT, T_VARCHAR TEXT, T_NVARCHARMAX TEXT, T_DATETIME DATETIME,
  T_SMALLDATETIME DATETIME, T_DATE DATETIME);
)";

struct TypeCase
{
    const char *column;
    QString literal; // SQLite literal stored in the row
    QVariant expected;
};

QString utf8(const char *s)
{
    return QString::fromUtf8(s);
}

std::vector<TypeCase> typeCases()
{
    const QString longText = QString(5000, QLatin1Char('x')) + utf8("ä€");
    return {
        {"T_INT", u"42"_s, QVariant(qlonglong(42))},
        {"T_INT", u"-2147483648"_s, QVariant(qlonglong(-2147483648LL))},
        {"T_INT", u"NULL"_s, QVariant()},
        {"T_SMALLINT", u"-7"_s, QVariant(qlonglong(-7))},
        {"T_BIGINT", u"9000000000123"_s, QVariant(qlonglong(9000000000123LL))},
        {"T_BIT", u"1"_s, QVariant(qlonglong(1))},
        {"T_BIT", u"0"_s, QVariant(qlonglong(0))},
        {"T_BIT", u"NULL"_s, QVariant()},
        {"T_FLOAT", u"0.1"_s, QVariant(0.1)},
        {"T_FLOAT", u"-1.5e300"_s, QVariant(-1.5e300)},
        {"T_REAL", u"0.1"_s, QVariant(0.1)},
        {"T_REAL", u"1234.5"_s, QVariant(1234.5)},
        {"T_DECIMAL", u"1.234"_s, QVariant(1.234)},
        {"T_DECIMAL", u"-0.5"_s, QVariant(-0.5)},
        {"T_DECIMAL", u"0"_s, QVariant(0.0)},
        {"T_DECIMAL", u"NULL"_s, QVariant()},
        {"T_NUMERIC", u"1234567.89"_s, QVariant(1234567.89)},
        {"T_MONEY", u"12.3456"_s, QVariant(12.3456)},
        {"T_MONEY", u"-0.01"_s, QVariant(-0.01)},
        {"T_NVARCHAR", utf8("'Größe Ärger – € Łódź 𝄞'"), QVariant(utf8("Größe Ärger – € Łódź 𝄞"))},
        {"T_NVARCHAR", u"''"_s, QVariant(u""_s)},
        {"T_NVARCHAR", u"NULL"_s, QVariant()},
        {"T_VARCHAR", utf8("'Fichte ÄÖÜß €'"), QVariant(utf8("Fichte ÄÖÜß €"))},
        {"T_VARCHAR", u"''"_s, QVariant(u""_s)},
        {"T_NVARCHARMAX", QLatin1Char('\'') + longText + QLatin1Char('\''), QVariant(longText)},
        {"T_NVARCHARMAX", u"''"_s, QVariant(u""_s)},
        {"T_NVARCHARMAX", u"NULL"_s, QVariant()},
        {"T_DATETIME", u"'2024-03-05 14:30:15'"_s, QVariant(QDateTime(QDate(2024, 3, 5), QTime(14, 30, 15)))},
        {"T_DATETIME", u"'1999-12-31 00:00:00'"_s, QVariant(QDateTime(QDate(1999, 12, 31), QTime(0, 0)))},
        {"T_DATETIME", u"NULL"_s, QVariant()},
        {"T_SMALLDATETIME", u"'2024-03-05 14:30:00'"_s, QVariant(QDateTime(QDate(2024, 3, 5), QTime(14, 30)))},
        {"T_DATE", u"'2024-02-29'"_s, QVariant(QDate(2024, 2, 29))},
        {"T_DATE", u"NULL"_s, QVariant()},
    };
}

class OdbcPath : public ::testing::Test
{
protected:
    void SetUp() override
    {
        path = dir.filePath(u"typen.sqlite"_s);
        QString sql = QString::fromLatin1(TypeTable);
        const auto cases = typeCases();
        for (size_t i = 0; i < cases.size(); ++i)
            sql += u"INSERT INTO TYPEN (ID, %1) VALUES (%2, %3);\n"_s.arg(QString::fromLatin1(cases[i].column))
                       .arg(i + 1)
                       .arg(cases[i].literal);
        testsupport::createSqliteDatabase(path, sql);
        endpoint = std::make_unique<tds::Endpoint>(path);
    }

    // A connection over the endpoint with a short query timeout.
    void open(int queryTimeout = 60)
    {
        db.setQueryTimeout(queryTimeout);
        db.open(endpoint->connectionString());
    }

    // The message of the DbError the statement raises; empty when it runs.
    QString failure(const QString &sql)
    {
        try {
            db.execute(sql);
        } catch (const DbError &e) {
            return e.message();
        }
        return QString();
    }

    QTemporaryDir dir;
    QString path;
    std::unique_ptr<tds::Endpoint> endpoint;
    Connection db;
};

// Each statement alone, then all run ahead in one batch and answered from
// memory: the same kinds and values.
TEST_F(OdbcPath, EveryHostTypeArrivesAsTheEmbeddedBackendGivesIt)
{
    open();
    SqliteBackend embedded(path);
    const auto cases = typeCases();
    QStringList statements;
    for (size_t i = 0; i < cases.size(); ++i)
        statements << u"SELECT %1 FROM TYPEN WHERE ID = %2"_s.arg(QString::fromLatin1(cases[i].column)).arg(i + 1);
    for (const bool ahead : {false, true}) {
        if (ahead) {
            db.prefetch(statements);
            ASSERT_EQ(db.prefetched().size(), statements.size());
        }
        for (size_t i = 0; i < cases.size(); ++i) {
            const TypeCase &c = cases[i];
            SCOPED_TRACE(std::string(c.column) + " = " + c.literal.left(40).toStdString() + (ahead ? " ahead" : ""));
            const QString &sql = statements[qsizetype(i)];
            Recordset rs = db.execute(sql);
            ASSERT_FALSE(rs.eof());
            const QVariant got = rs.value(0);
            EXPECT_EQ(got.typeId(), c.expected.typeId()) << got.typeName();
            EXPECT_EQ(got, c.expected);
            const ResultData direct = embedded.query(sql);
            EXPECT_EQ(direct.rows.at(0).at(0), c.expected) << "embedded";
        }
    }
}

TEST_F(OdbcPath, ExpressionsGoOutWithTypesOfTheirValues)
{
    open();
    SqliteBackend embedded(path);
    for (const char *sql : {"SELECT COUNT(*) AS N, SUM(T_DECIMAL) AS S, MAX(T_NVARCHAR) AS M, MIN(T_DATE) FROM TYPEN",
             "SELECT T_INT * 2 AS DOUBLED, T_DECIMAL + 1 FROM TYPEN ORDER BY ID",
             "SELECT ISNULL(T_NVARCHAR, '') AS T, ISNULL(T_DECIMAL, 0) AS D FROM TYPEN ORDER BY ID"}) {
        SCOPED_TRACE(sql);
        const ResultData direct = embedded.query(QString::fromLatin1(sql));
        Recordset rs = db.execute(QString::fromLatin1(sql));
        ResultData odbc;
        odbc.columns = direct.columns;
        for (; !rs.eof(); rs.moveNext()) {
            std::vector<QVariant> row;
            for (int i = 0; i < direct.columns.size(); ++i)
                row.push_back(rs.value(i));
            odbc.rows.push_back(row);
        }
        EXPECT_EQ(testsupport::resultDifference(odbc, direct), QString());
    }
}

// The login asks for read-only access (a server may grant it or not: the
// program sends only reading statements either way), and the wait for a lock
// is bounded by the query timeout.
TEST_F(OdbcPath, TheLoginAsksForReadOnlyAccessAndBoundsTheLockWait)
{
    open(7);
    EXPECT_EQ(endpoint->logins(), 1);
    EXPECT_EQ(endpoint->readOnlyLogins(), 1);
    EXPECT_EQ(endpoint->batches(), QStringList{u"SET LOCK_TIMEOUT 7000"_s});
}

TEST_F(OdbcPath, AStalledStatementIsCancelledAfterTheQueryTimeout)
{
    open(1);
    endpoint->setFaults({.stallOn = u"T_INT"_s});
    const QString message = failure(u"SELECT T_INT FROM TYPEN"_s);
    EXPECT_TRUE(message.contains(u"nicht innerhalb von einer Sekunde"_s)) << qPrintable(message);
    EXPECT_EQ(endpoint->cancels(), 1);
    // The connection serves the next statement.
    endpoint->setFaults({});
    EXPECT_EQ(db.execute(u"SELECT T_INT FROM TYPEN WHERE ID = 1"_s).value(0), qlonglong(42));
}

TEST_F(OdbcPath, AConnectionLostInTheMiddleOfAResultFails)
{
    open();
    endpoint->setFaults({.dropOn = u"FROM TYPEN"_s, .dropAfterRows = 3});
    const QString message = failure(u"SELECT ID, T_NVARCHARMAX FROM TYPEN"_s);
    EXPECT_TRUE(message.contains(u"Verbindung"_s)) << qPrintable(message);
}

TEST_F(OdbcPath, AServerErrorCarriesTheServersMessage)
{
    open();
    endpoint->setFaults(
        {.failOn = u"TYPEN"_s, .errorNumber = 208, .errorMessage = utf8("Ungültiger Objektname 'TYPEN'.")});
    const QString message = failure(u"SELECT T_INT FROM TYPEN"_s);
    EXPECT_TRUE(message.contains(utf8("Ungültiger Objektname 'TYPEN'."))) << qPrintable(message);
}

} // namespace

} // namespace tannbuch
