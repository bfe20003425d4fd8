#include "Connection.h"

#include "db/Backend.h"
#include "db/ConnectionString.h"
#include "db/DbError.h"
#include "db/OdbcBackend.h"
#include "db/SqliteBackend.h"

#include <QSet>

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
    close();
    m_backend = std::move(backend);
}

void Connection::close()
{
    m_backend.reset();
    m_prefetched.clear();
}

Recordset Connection::execute(const QString &sql)
{
    m_journal.record(sql);
    if (!m_backend)
        throw DbError(QStringLiteral("Die Datenbankverbindung ist nicht geöffnet."));
    if (std::optional<ResultData> kept = m_prefetched.take(sql))
        return Recordset(std::move(*kept));
    return Recordset(m_backend->query(sql));
}

void Connection::prefetch(const QStringList &statements)
{
    if (!m_backend || !m_prefetchEnabled)
        return;
    // Each text sent once and answered as often as it is listed; none kept
    // already, and no more than the store holds: answers beyond it would
    // only push out the first ones of this call.
    QStringList ahead;
    QHash<StatementKey, int> times;
    qsizetype bytes = 0;
    for (const QString &sql : statements) {
        if (m_prefetched.contains(sql))
            continue;
        if (const auto listed = times.find(StatementKey{sql}); listed != times.end()) {
            ++*listed;
            continue;
        }
        bytes += PrefetchedAnswers::bytesOf(sql, ResultData());
        if (ahead.size() == PrefetchedAnswers::MaxAnswers || bytes > PrefetchedAnswers::MaxBytes)
            break;
        times.insert(StatementKey{sql}, 1);
        ahead << sql;
    }
    if (ahead.isEmpty())
        return;
    auto results = m_backend->queryBatch(ahead);
    for (qsizetype i = 0; i < ahead.size() && size_t(i) < results.size(); ++i) {
        if (results[size_t(i)])
            m_prefetched.keep(ahead[i], std::move(*results[size_t(i)]), times.value(StatementKey{ahead[i]}));
    }
}

void Connection::dropPrefetched()
{
    m_prefetched.clear();
}

void Connection::setPrefetchEnabled(bool on)
{
    m_prefetchEnabled = on;
    if (!on)
        m_prefetched.clear();
}

Recordset Connection::openStatic(const QString &sql)
{
    return execute(sql);
}

QString Connection::backendName() const
{
    return m_backend ? m_backend->name() : QString();
}
