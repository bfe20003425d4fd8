#include "Connection.h"

#include "db/Backend.h"
#include "db/ConnectionString.h"
#include "db/DbError.h"
#include "db/OdbcBackend.h"
#include "db/SqliteBackend.h"

#include <QSet>

namespace tannbuch {

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
    if (m_backend && m_snapshots > 0)
        m_backend->endSnapshot();
    m_snapshots = 0;
    m_snapshotHeld = false;
    m_backend.reset();
    m_prefetched.clear();
}

Recordset Connection::execute(const QString &sql)
{
    m_journal.record(sql);
    if (!m_backend)
        throw DbError(QStringLiteral("Die Datenbankverbindung ist nicht geöffnet."));
    if (m_prefetched.size() > 0) {
        if (std::optional<ResultData> kept = m_prefetched.take(sql))
            return Recordset(std::move(*kept));
    }
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
    std::vector<StatementKey> keys;
    QHash<StatementKey, int> times;
    qsizetype bytes = 0;
    for (const QString &sql : statements) {
        const StatementKey key(sql);
        if (m_prefetched.contains(key))
            continue;
        if (const auto listed = times.find(key); listed != times.end()) {
            ++*listed;
            continue;
        }
        bytes += PrefetchedAnswers::bytesOf(sql, ResultData());
        if (ahead.size() == PrefetchedAnswers::MaxAnswers || bytes > PrefetchedAnswers::MaxBytes)
            break;
        times.insert(key, 1);
        keys.push_back(key);
        ahead << sql;
    }
    if (ahead.isEmpty())
        return;
    auto results = m_backend->queryBatch(ahead);
    for (size_t i = 0; i < keys.size() && i < results.size(); ++i) {
        if (results[i])
            m_prefetched.keep(keys[i], std::move(*results[i]), times.value(keys[i]));
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

Connection::ReadSnapshot::ReadSnapshot(Connection &db)
    : m_db(db)
{
    if (m_db.m_snapshots++ == 0)
        m_db.m_snapshotHeld = m_db.m_backend && m_db.m_backend->beginSnapshot();
}

Connection::ReadSnapshot::~ReadSnapshot()
{
    // A connection closed or opened anew meanwhile has ended it already.
    if (m_db.m_snapshots > 0 && --m_db.m_snapshots == 0 && m_db.m_backend)
        m_db.m_backend->endSnapshot();
}

} // namespace tannbuch
