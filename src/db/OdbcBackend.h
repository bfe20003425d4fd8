#pragma once

#include "db/Backend.h"

#include <QString>

namespace tannbuch {

// SQL Server through unixODBC and the FreeTDS driver (by default). Qt's ODBC
// driver opens the connection; statements run on its handle through the ODBC
// calls themselves, so that every column is read in a type of our choosing
// (Qt's driver reads a real as text into a buffer too short for it and gives
// NULL, and loses long nvarchar(max) texts). The connection asks for read-only access where the server grants
// it (nothing relies on it: the program only sends reading statements) and
// gives up after the login timeout, so a server that does not answer fails
// with the driver's message instead of hanging.
//
// A statement that runs longer than the query timeout is cancelled and fails
// with a message naming the timeout; the server gives up waiting for another
// login's lock after the same time (SET LOCK_TIMEOUT).
//
// Values come back as the embedded backend gives them: whole numbers and
// flags as qlonglong, decimal, money, float and real as double (a real as the
// shortest decimal of its single-precision value), texts as QString (an empty
// text stays empty, NULL is an invalid QVariant), datetime as QDateTime,
// date as QDate.
//
// Statements run ahead (queryBatch) go to the server in batches of reading
// statements (StatementBatch), one round trip each; every answer is read as
// query() reads it, so it is the same as the statement's own. A statement
// that fails in a batch, or cannot be told apart in its answer, gets no
// result and runs alone when asked. The batch stops at a lost connection or
// a timeout, and as a whole takes no longer than the query timeout.
//
// Throws DbError with the driver's message when opening fails and for every
// failing statement; a connection lost during a statement fails with a
// message saying so. queryBatch never throws.
class OdbcBackend : public Backend
{
public:
    OdbcBackend(const QString &odbcConnectionString, int loginTimeoutSeconds, int queryTimeoutSeconds);
    ~OdbcBackend() override;

    ResultData query(const QString &sql) override;
    std::vector<std::optional<ResultData>> queryBatch(const QStringList &statements) override;
    QString name() const override { return QStringLiteral("ODBC"); }

private:
    QString m_connectionName;
    int m_queryTimeoutSeconds;
    qsizetype m_batchCharacters = 0; // the most a batch holds (StatementBatch::characterLimit)
};

} // namespace tannbuch
