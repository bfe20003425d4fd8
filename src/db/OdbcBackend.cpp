#include "OdbcBackend.h"

#include "db/DbError.h"
#include "db/StatementBatch.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <charconv>
#include <iterator>
#include <string>

namespace tannbuch {

namespace {

QAtomicInt connectionCounter;

QString errorText(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    const QString driver = error.driverText().trimmed();
    if (text.isEmpty())
        return driver;
    if (!driver.isEmpty() && !text.contains(driver))
        text = driver + QStringLiteral(": ") + text;
    return text;
}

QString fromWide(const SQLWCHAR *text, qsizetype units)
{
    static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the driver manager's wide characters are UTF-16");
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(text), units);
}

// The text the driver wrote into a fixed buffer, `length` units long; a
// text longer than the buffer was cut before its closing 0.
template <size_t Size> QString fromWideBuffer(const SQLWCHAR (&buffer)[Size], SQLSMALLINT length)
{
    return fromWide(buffer, std::min<qsizetype>(length, qsizetype(Size) - 1));
}

// The driver's diagnostics of a handle: the messages, and the SQLSTATEs.
struct Diagnostics
{
    QString text;
    QStringList states;
};

Diagnostics diagnostics(SQLSMALLINT handleType, SQLHANDLE handle)
{
    Diagnostics d;
    for (SQLSMALLINT record = 1; record <= 8; ++record) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLWCHAR message[1024] = {};
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLGetDiagRecW(
            handleType, handle, record, state, &native, message, SQLSMALLINT(std::size(message)), &length);
        if (!SQL_SUCCEEDED(rc))
            break;
        d.states << fromWide(state, 5);
        const QString text = fromWideBuffer(message, length);
        if (!d.text.contains(text))
            d.text += (d.text.isEmpty() ? QString() : QStringLiteral("\n")) + text.trimmed();
    }
    return d;
}

// The message for a failed statement: a cancelled one names the timeout, a
// lost connection says so; others carry the server's or driver's text.
QString statementError(const Diagnostics &d, int queryTimeoutSeconds, bool connectionLost = false)
{
    // ODBC 3 and ODBC 2 names of a timeout.
    if (d.states.contains(QLatin1String("HYT00")) || d.states.contains(QLatin1String("S1T00")))
        return QStringLiteral("Die Datenbank hat nicht innerhalb von %1 geantwortet (QueryTimeout); "
                              "die Abfrage wurde abgebrochen.")
            .arg(queryTimeoutSeconds == 1 ? QStringLiteral("einer Sekunde")
                                          : QStringLiteral("%1 Sekunden").arg(queryTimeoutSeconds));
    for (const QString &state : d.states)
        connectionLost = connectionLost || state.startsWith(QLatin1String("08"));
    if (connectionLost)
        return QStringLiteral("Die Verbindung zum SQL Server ist während der Abfrage abgebrochen.\n") + d.text;
    return (d.text.isEmpty() ? QStringLiteral("Die Abfrage ist fehlgeschlagen.") : d.text);
}

// The single-precision value as the shortest decimal that reads back as it
// (0.1f gives 0.1, not 0.100000001490116).
double realValue(float v)
{
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
    return QByteArray(buffer, int(end - buffer)).toDouble();
}

// Fractions of a second come in nanoseconds; milliseconds are kept.
QDateTime timestampValue(const SQL_TIMESTAMP_STRUCT &v)
{
    return QDateTime(QDate(v.year, v.month, v.day), QTime(v.hour, v.minute, v.second, int(v.fraction / 1000000)));
}

// Owns a statement handle.
struct Statement
{
    SQLHSTMT handle = SQL_NULL_HSTMT;
    Statement() = default;
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    ~Statement()
    {
        if (handle != SQL_NULL_HSTMT)
            SQLFreeHandle(SQL_HANDLE_STMT, handle);
    }
};

// Reads a value of fixed size as C type `cType` and keeps what `convert`
// makes of it; a NULL leaves `out` invalid. Returns false when the driver fails.
template <typename Value, typename Convert>
bool readFixed(SQLHSTMT st, SQLUSMALLINT column, SQLSMALLINT cType, Convert convert, QVariant *out)
{
    Value v{};
    SQLLEN indicator = 0;
    const SQLRETURN rc = SQLGetData(st, column, cType, &v, sizeof v, &indicator);
    if (SQL_SUCCEEDED(rc) && indicator != SQL_NULL_DATA)
        *out = QVariant(convert(v));
    return SQL_SUCCEEDED(rc);
}

// Decimals as text: the nearest double to the decimal, as the embedded
// database holds it (money and decimal alike).
bool readDecimal(SQLHSTMT st, SQLUSMALLINT column, QVariant *out)
{
    char text[80] = {};
    SQLLEN indicator = 0;
    const SQLRETURN rc = SQLGetData(st, column, SQL_C_CHAR, text, sizeof text, &indicator);
    if (SQL_SUCCEEDED(rc) && indicator != SQL_NULL_DATA)
        *out = QVariant(QByteArray(text).trimmed().toDouble());
    return SQL_SUCCEEDED(rc);
}

enum class PieceRead { Failed, Null, Read };

// Reads a value of any length in pieces of `Room` units of `Unit` each, and
// hands each piece's length in units to `append`, which takes it from `buffer`.
template <typename Unit, qsizetype Room, typename Append>
PieceRead readInPieces(
    SQLHSTMT st, SQLUSMALLINT column, SQLSMALLINT cType, Unit *buffer, SQLLEN bufferBytes, Append append)
{
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(st, column, cType, buffer, bufferBytes, &indicator);
        if (rc == SQL_NO_DATA)
            return PieceRead::Read;
        if (!SQL_SUCCEEDED(rc))
            return PieceRead::Failed;
        if (indicator == SQL_NULL_DATA)
            return PieceRead::Null;
        const bool more = indicator == SQL_NO_TOTAL || indicator / qsizetype(sizeof(Unit)) > Room;
        append(more ? Room : indicator / qsizetype(sizeof(Unit)));
        if (!more)
            return PieceRead::Read;
    }
}

bool readBytes(SQLHSTMT st, SQLUSMALLINT column, QVariant *out)
{
    QByteArray bytes;
    char buffer[8192];
    const PieceRead read = readInPieces<char, qsizetype(sizeof buffer)>(
        st, column, SQL_C_BINARY, buffer, sizeof buffer, [&](qsizetype size) { bytes.append(buffer, size); });
    if (read == PieceRead::Read)
        *out = QVariant(bytes);
    return read != PieceRead::Failed;
}

// Texts of any length; an empty text stays empty, not null.
bool readText(SQLHSTMT st, SQLUSMALLINT column, QVariant *out)
{
    QString text(0, QChar());
    SQLWCHAR buffer[4096];
    constexpr qsizetype Room = qsizetype(std::size(buffer)) - 1; // the driver ends each piece with 0
    const PieceRead read = readInPieces<SQLWCHAR, Room>(
        st, column, SQL_C_WCHAR, buffer, sizeof buffer, [&](qsizetype size) { text += fromWide(buffer, size); });
    if (read == PieceRead::Read)
        *out = QVariant(text);
    return read != PieceRead::Failed;
}

// Reads one column of the current row in the embedded backend's types.
// Returns false when the driver fails (the diagnostics are on the statement).
bool readValue(SQLHSTMT st, SQLUSMALLINT column, SQLSMALLINT type, QVariant *out)
{
    *out = QVariant();
    switch (type) {
    case SQL_BIT:
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
        return readFixed<SQLBIGINT>(
            st, column, SQL_C_SBIGINT, [](SQLBIGINT v) { return qlonglong(v); }, out);
    case SQL_REAL:
        return readFixed<SQLREAL>(st, column, SQL_C_FLOAT, realValue, out);
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return readFixed<SQLDOUBLE>(
            st, column, SQL_C_DOUBLE, [](SQLDOUBLE v) { return double(v); }, out);
    case SQL_DECIMAL:
    case SQL_NUMERIC:
        return readDecimal(st, column, out);
    case SQL_DATE:
    case SQL_TYPE_DATE:
        return readFixed<SQL_DATE_STRUCT>(
            st, column, SQL_C_TYPE_DATE, [](const SQL_DATE_STRUCT &v) { return QDate(v.year, v.month, v.day); }, out);
    case SQL_TIMESTAMP:
    case SQL_TYPE_TIMESTAMP:
        return readFixed<SQL_TIMESTAMP_STRUCT>(st, column, SQL_C_TYPE_TIMESTAMP, timestampValue, out);
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
        return readBytes(st, column, out);
    default:
        return readText(st, column, out);
    }
}

// The names and SQL types of the result's columns. Returns false when the
// driver fails.
bool describeColumns(SQLHSTMT st, QStringList &names, std::vector<SQLSMALLINT> &types)
{
    SQLSMALLINT columns = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(st, &columns)))
        return false;
    for (SQLUSMALLINT i = 1; i <= SQLUSMALLINT(columns); ++i) {
        SQLWCHAR name[256] = {};
        SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        if (!SQL_SUCCEEDED(SQLDescribeColW(
                st, i, name, SQLSMALLINT(std::size(name)), &nameLength, &type, &size, &digits, &nullable)))
            return false;
        names << fromWideBuffer(name, nameLength);
        types.push_back(type);
    }
    return true;
}

// Fetches every row of the result. Returns false when the driver fails; a
// result broken off (the connection lost) fails here too, and the rows so
// far are no result.
bool fetchRows(SQLHSTMT st, const std::vector<SQLSMALLINT> &types, std::vector<std::vector<QVariant>> &rows)
{
    for (;;) {
        const SQLRETURN fetched = SQLFetch(st);
        if (fetched == SQL_NO_DATA)
            return true;
        if (!SQL_SUCCEEDED(fetched))
            return false;
        std::vector<QVariant> row(types.size());
        for (size_t i = 0; i < types.size(); ++i) {
            if (!readValue(st, SQLUSMALLINT(i + 1), types[i], &row[i]))
                return false;
        }
        rows.push_back(std::move(row));
    }
}

// Reads the current result whole: its columns and every row. Returns false
// when the driver fails.
bool readResult(SQLHSTMT st, ResultData &data)
{
    std::vector<SQLSMALLINT> types;
    return describeColumns(st, data.columns, types) && (types.empty() || fetchRows(st, types, data.rows));
}

// Whether the driver tells a lost connection by the connection's state (not
// always by the statement's diagnostics).
bool connectionDead(SQLHDBC connection)
{
    SQLUINTEGER dead = SQL_CD_FALSE;
    return SQL_SUCCEEDED(SQLGetConnectAttr(connection, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr))
        && dead == SQL_CD_TRUE;
}

// Throws the statement's failure.
[[noreturn]] void throwStatementError(SQLHDBC connection, SQLHSTMT st, int queryTimeoutSeconds)
{
    throw DbError(statementError(diagnostics(SQL_HANDLE_STMT, st), queryTimeoutSeconds, connectionDead(connection)));
}

// Whether the statement's failure ends its batch: the connection is lost or
// the query timeout cancelled it. Other failures are one statement's.
bool failureEndsBatch(SQLHDBC connection, SQLHSTMT st)
{
    if (connectionDead(connection))
        return true;
    for (const QString &state : diagnostics(SQL_HANDLE_STMT, st).states) {
        if (state == QLatin1String("HYT00") || state == QLatin1String("S1T00") || state.startsWith(QLatin1String("08")))
            return true;
    }
    return false;
}

// A statement handle on the connection, cancelled after the query timeout.
// Throws DbError when the driver gives none.
void openStatement(SQLHDBC connection, Statement &st, int queryTimeoutSeconds)
{
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection, &st.handle)))
        throw DbError(statementError(diagnostics(SQL_HANDLE_DBC, connection), queryTimeoutSeconds));
    SQLSetStmtAttr(st.handle, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(queryTimeoutSeconds)), 0);
}

SQLRETURN executeText(SQLHSTMT st, const QString &sql)
{
    std::u16string text(reinterpret_cast<const char16_t *>(sql.utf16()), size_t(sql.size()));
    return SQLExecDirectW(st, reinterpret_cast<SQLWCHAR *>(text.data()), SQLINTEGER(text.size()));
}

// The driver's handle of the named connection; throws DbError when it is not
// open.
SQLHDBC connectionHandle(const QString &connectionName)
{
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    const QVariant handle = db.isValid() && db.driver() ? db.driver()->handle() : QVariant();
    if (!db.isOpen() || !handle.isValid() || !handle.constData())
        throw DbError(QStringLiteral("Die Datenbankverbindung ist nicht geöffnet."));
    return *static_cast<const SQLHDBC *>(handle.constData());
}

// Sends one batch and hands its answers to it; false when the connection was
// lost or the time ran out, so that no further batch is sent. Throws DbError
// when the driver gives no statement handle.
bool runBatch(SQLHDBC connection, StatementBatch &batch, int queryTimeoutSeconds)
{
    Statement st;
    openStatement(connection, st, queryTimeoutSeconds);
    QElapsedTimer clock;
    clock.start();
    SQLRETURN rc = executeText(st.handle, batch.text());
    for (qsizetype answers = 0; rc != SQL_NO_DATA && answers < batch.answerLimit(); ++answers) {
        ResultData data;
        if (SQL_SUCCEEDED(rc) && readResult(st.handle, data))
            batch.takeResult(std::move(data));
        else if (failureEndsBatch(connection, st.handle))
            return false;
        else
            batch.takeError();
        // The whole batch takes no longer than one statement may.
        if (clock.hasExpired(qint64(queryTimeoutSeconds) * 1000)) {
            SQLCancel(st.handle);
            return false;
        }
        rc = SQLMoreResults(st.handle);
    }
    if (rc != SQL_NO_DATA) {
        // More answers than the batch asked for: the last one taken is in
        // doubt, and the rest is not read.
        batch.takeError();
        SQLCancel(st.handle);
    }
    return true;
}

} // namespace

OdbcBackend::OdbcBackend(const QString &odbcConnectionString, int loginTimeoutSeconds, int queryTimeoutSeconds)
    : m_connectionName(QStringLiteral("tannbuch-odbc-%1").arg(connectionCounter.fetchAndAddRelaxed(1)))
    , m_queryTimeoutSeconds(queryTimeoutSeconds)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_connectionName);
    if (!db.isValid()) {
        QSqlDatabase::removeDatabase(m_connectionName);
        throw DbError(QStringLiteral("Der ODBC-Datenbanktreiber ist nicht verfügbar (Qt-Treiber QODBC fehlt)."));
    }
    // The driver cancels a statement after the query timeout ("Timeout").
    QString connection = odbcConnectionString;
    if (!connection.isEmpty() && !connection.endsWith(QLatin1Char(';')))
        connection += QLatin1Char(';');
    db.setDatabaseName(connection + QStringLiteral("Timeout=%1;").arg(queryTimeoutSeconds));
    db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1;SQL_ATTR_CONNECTION_TIMEOUT=%1;"
                                        "SQL_ATTR_ACCESS_MODE=SQL_MODE_READ_ONLY")
                             .arg(loginTimeoutSeconds));
    if (!db.open()) {
        const QString message = errorText(db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        throw DbError(
            message.isEmpty() ? QStringLiteral("Die Verbindung zum SQL Server ist fehlgeschlagen.") : message);
    }
    // A host's write lock must not hold a print longer than a statement may
    // take: the server ends the wait with an error of its own.
    query(QStringLiteral("SET LOCK_TIMEOUT %1").arg(qlonglong(queryTimeoutSeconds) * 1000));
    // Batches may grow to what the server accepts with the packet size
    // agreed at login.
    SQLUINTEGER packetBytes = 0;
    if (!SQL_SUCCEEDED(SQLGetConnectAttr(
            connectionHandle(m_connectionName), SQL_ATTR_PACKET_SIZE, &packetBytes, sizeof packetBytes, nullptr)))
        packetBytes = 4096;
    m_batchCharacters = StatementBatch::characterLimit(packetBytes);
}

OdbcBackend::~OdbcBackend()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        if (db.isValid())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

ResultData OdbcBackend::query(const QString &sql)
{
    const SQLHDBC connection = connectionHandle(m_connectionName);
    Statement st;
    openStatement(connection, st, m_queryTimeoutSeconds);
    const SQLRETURN rc = executeText(st.handle, sql);
    ResultData data;
    if ((!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) || !readResult(st.handle, data))
        throwStatementError(connection, st.handle, m_queryTimeoutSeconds);
    return data;
}

std::vector<std::optional<ResultData>> OdbcBackend::queryBatch(const QStringList &statements)
{
    std::vector<std::optional<ResultData>> results(size_t(statements.size()));
    try {
        for (StatementBatch &batch : StatementBatch::plan(statements, m_batchCharacters)) {
            const bool goOn = runBatch(connectionHandle(m_connectionName), batch, m_queryTimeoutSeconds);
            batch.deliver(results);
            if (!goOn)
                break;
        }
    } catch (const DbError &) {
        // The connection gives no statement handle (it is closed or lost):
        // the statements run alone when asked, and fail there with the
        // message.
    }
    return results;
}

} // namespace tannbuch
