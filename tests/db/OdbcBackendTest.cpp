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
        {"T_INT", QStringLiteral("42"), QVariant(qlonglong(42))},
        {"T_INT", QStringLiteral("-2147483648"), QVariant(qlonglong(-2147483648LL))},
        {"T_INT", QStringLiteral("NULL"), QVariant()},
        {"T_SMALLINT", QStringLiteral("-7"), QVariant(qlonglong(-7))},
        {"T_BIGINT", QStringLiteral("9000000000123"), QVariant(qlonglong(9000000000123LL))},
        {"T_BIT", QStringLiteral("1"), QVariant(qlonglong(1))},
        {"T_BIT", QStringLiteral("0"), QVariant(qlonglong(0))},
        {"T_BIT", QStringLiteral("NULL"), QVariant()},
        {"T_FLOAT", QStringLiteral("0.1"), QVariant(0.1)},
        {"T_FLOAT", QStringLiteral("-1.5e300"), QVariant(-1.5e300)},
        {"T_REAL", QStringLiteral("0.1"), QVariant(0.1)},
        {"T_REAL", QStringLiteral("1234.5"), QVariant(1234.5)},
        {"T_DECIMAL", QStringLiteral("1.234"), QVariant(1.234)},
        {"T_DECIMAL", QStringLiteral("-0.5"), QVariant(-0.5)},
        {"T_DECIMAL", QStringLiteral("0"), QVariant(0.0)},
        {"T_DECIMAL", QStringLiteral("NULL"), QVariant()},
        {"T_NUMERIC", QStringLiteral("1234567.89"), QVariant(1234567.89)},
        {"T_MONEY", QStringLiteral("12.3456"), QVariant(12.3456)},
        {"T_MONEY", QStringLiteral("-0.01"), QVariant(-0.01)},
        {"T_NVARCHAR", utf8("'Größe Ärger – € Łódź 𝄞'"), QVariant(utf8("Größe Ärger – € Łódź 𝄞"))},
        {"T_NVARCHAR", QStringLiteral("''"), QVariant(QStringLiteral(""))},
        {"T_NVARCHAR", QStringLiteral("NULL"), QVariant()},
        {"T_VARCHAR", utf8("'Fichte ÄÖÜß €'"), QVariant(utf8("Fichte ÄÖÜß €"))},
        {"T_VARCHAR", QStringLiteral("''"), QVariant(QStringLiteral(""))},
        {"T_NVARCHARMAX", QLatin1Char('\'') + longText + QLatin1Char('\''), QVariant(longText)},
        {"T_NVARCHARMAX", QStringLiteral("''"), QVariant(QStringLiteral(""))},
        {"T_NVARCHARMAX", QStringLiteral("NULL"), QVariant()},
        {"T_DATETIME", QStringLiteral("'2024-03-05 14:30:15'"),
            QVariant(QDateTime(QDate(2024, 3, 5), QTime(14, 30, 15)))},
        {"T_DATETIME", QStringLiteral("'1999-12-31 00:00:00'"), QVariant(QDateTime(QDate(1999, 12, 31), QTime(0, 0)))},
        {"T_DATETIME", QStringLiteral("NULL"), QVariant()},
        {"T_SMALLDATETIME", QStringLiteral("'2024-03-05 14:30:00'"),
            QVariant(QDateTime(QDate(2024, 3, 5), QTime(14, 30)))},
        {"T_DATE", QStringLiteral("'2024-02-29'"), QVariant(QDate(2024, 2, 29))},
        {"T_DATE", QStringLiteral("NULL"), QVariant()},
    };
}

class OdbcPath : public ::testing::Test
{
protected:
    void SetUp() override
    {
        path = dir.filePath(QStringLiteral("typen.sqlite"));
        QString sql = QString::fromLatin1(TypeTable);
        const auto cases = typeCases();
        for (size_t i = 0; i < cases.size(); ++i)
            sql += QStringLiteral("INSERT INTO TYPEN (ID, %1) VALUES (%2, %3);\n")
                       .arg(QString::fromLatin1(cases[i].column))
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
        statements << QStringLiteral("SELECT %1 FROM TYPEN WHERE ID = %2")
                          .arg(QString::fromLatin1(cases[i].column))
                          .arg(i + 1);
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
    EXPECT_EQ(endpoint->batches(), QStringList{QStringLiteral("SET LOCK_TIMEOUT 7000")});
}

TEST_F(OdbcPath, AStalledStatementIsCancelledAfterTheQueryTimeout)
{
    open(1);
    endpoint->setFaults({.stallOn = QStringLiteral("T_INT")});
    const QString message = failure(QStringLiteral("SELECT T_INT FROM TYPEN"));
    EXPECT_TRUE(message.contains(QStringLiteral("nicht innerhalb von einer Sekunde"))) << qPrintable(message);
    EXPECT_EQ(endpoint->cancels(), 1);
    // The connection serves the next statement.
    endpoint->setFaults({});
    EXPECT_EQ(db.execute(QStringLiteral("SELECT T_INT FROM TYPEN WHERE ID = 1")).value(0), qlonglong(42));
}

TEST_F(OdbcPath, AConnectionLostInTheMiddleOfAResultFails)
{
    open();
    endpoint->setFaults({.dropOn = QStringLiteral("FROM TYPEN"), .dropAfterRows = 3});
    const QString message = failure(QStringLiteral("SELECT ID, T_NVARCHARMAX FROM TYPEN"));
    EXPECT_TRUE(message.contains(QStringLiteral("Verbindung"))) << qPrintable(message);
}

TEST_F(OdbcPath, AServerErrorCarriesTheServersMessage)
{
    open();
    endpoint->setFaults({.failOn = QStringLiteral("TYPEN"),
        .errorNumber = 208,
        .errorMessage = utf8("Ungültiger Objektname 'TYPEN'.")});
    const QString message = failure(QStringLiteral("SELECT T_INT FROM TYPEN"));
    EXPECT_TRUE(message.contains(utf8("Ungültiger Objektname 'TYPEN'."))) << qPrintable(message);
}

} // namespace

} // namespace tannbuch
