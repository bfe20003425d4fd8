#include "Connection.h"

#include "db/Backend.h"
#include "db/ConnectionString.h"
#include "db/DbError.h"
#include "db/OdbcBackend.h"
#include "db/SqliteBackend.h"

Connection::Connection() = default;
Connection::~Connection() = default;

std::unique_ptr<Backend> Connection::openBackend(const QString &connectionString, int queryTimeoutSeconds)
{
    const ConnectionString cs(connectionString);
    if (targetsSqlite(cs))
        return std::make_unique<SqliteBackend>(cs.value(QStringLiteral("Data Source")));
    // A server name never holds a "/": such a data source is a database file
    // that is missing or unreadable, not a server to ask the network for.
    const QString source = cs.value(QStringLiteral("Data Source"));
    if (source.contains(QLatin1Char('/')))
        throw DbError(QStringLiteral("Die Datenbankdatei „%1“ gibt es nicht, oder sie ist keine lesbare Datenbank. "
                                     "Bitte den Pfad prüfen (in der ini-Datei der Schlüssel SQLSERVER).")
                          .arg(source));
    return std::make_unique<OdbcBackend>(
        toOdbcConnectionString(cs, defaultOdbcDriver()), LoginTimeoutSeconds, queryTimeoutSeconds);
}

void Connection::open(const QString &connectionString)
{
    close();
    m_backend = openBackend(connectionString, m_queryTimeoutSeconds);
}

void Connection::open(std::unique_ptr<Backend> backend)
{
    m_backend = std::move(backend);
}

void Connection::close()
{
    m_backend.reset();
}

Recordset Connection::execute(const QString &sql)
{
    m_journal.record(sql);
    if (!m_backend)
        throw DbError(QStringLiteral("Die Datenbankverbindung ist nicht geöffnet."));
    return Recordset(m_backend->query(sql));
}

Recordset Connection::openStatic(const QString &sql)
{
    return execute(sql);
}

QString Connection::backendName() const
{
    return m_backend ? m_backend->name() : QString();
}
