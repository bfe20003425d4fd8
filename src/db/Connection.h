#pragma once

#include "db/PrefetchedAnswers.h"
#include "db/Recordset.h"
#include "db/StatementJournal.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace tannbuch {

class Backend;

// The program's one database connection. It chooses the engine from the
// connection string (the embedded SQLite database or SQL Server over ODBC),
// sends every statement through one place that the journal records, and hands
// back fully fetched results.
//
// Error contract: open() and every statement throw DbError with the
// database's own message; nothing is caught here.
class Connection
{
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Opens the connection; throws DbError when the database cannot be reached
    // (a server that does not answer fails within the login timeout).
    void open(const QString &connectionString);
    // Uses the given engine directly (tests, benchmarks).
    void open(std::unique_ptr<Backend> backend);
    void close();
    bool isOpen() const { return m_backend != nullptr; }

    // Runs a statement and returns its result positioned on the first row.
    Recordset execute(const QString &sql);
    // The same for a result read with a static cursor (moving back allowed);
    // results are always held whole, so both behave alike.
    Recordset openStatic(const QString &sql);

    // Runs statements the report will ask for soon ahead, together (over
    // the network in few round trips), and keeps their answers: the next
    // execute() of exactly one of these texts is answered from memory, as
    // often as the text is listed, and is still recorded in the journal when
    // it is asked. A text listed twice runs once; texts already kept, and
    // those beyond what the store holds (PrefetchedAnswers), are not run. A statement that fails ahead, or that the
    // engine does not run ahead (anything but a single reading statement over ODBC), is not kept: asked for, it runs
    // alone and fails or succeeds as it would have. Never throws: a connection lost here shows when the next statement
    // is asked. Does nothing while prefetching is off.
    void prefetch(const QStringList &statements);
    // Forgets the answers kept and not asked for (rows the report has
    // passed will not ask for them).
    void dropPrefetched();
    // Turning it off drops the answers kept; so do close() and open().
    void setPrefetchEnabled(bool on);
    bool prefetchEnabled() const { return m_prefetchEnabled; }
    // The answers kept and not yet asked for.
    const PrefetchedAnswers &prefetched() const { return m_prefetched; }

    // While a ReadSnapshot lives, every statement reads one state of the
    // database where the engine allows it (Backend::beginSnapshot): a report
    // is one snapshot on the embedded database. Snapshots nest; the
    // outermost decides. Never throws.
    class ReadSnapshot
    {
    public:
        explicit ReadSnapshot(Connection &db);
        ~ReadSnapshot();
        ReadSnapshot(const ReadSnapshot &) = delete;
        ReadSnapshot &operator=(const ReadSnapshot &) = delete;

    private:
        Connection &m_db;
    };

    // True while a ReadSnapshot lives and the engine holds one state of the
    // database for it.
    bool readsSnapshot() const { return m_snapshots > 0 && m_snapshotHeld; }

    StatementJournal &journal() { return m_journal; }
    const StatementJournal &journal() const { return m_journal; }

    QString backendName() const;

    // The engine a connection string names, opened; throws DbError. A
    // statement to SQL Server is cancelled after queryTimeoutSeconds.
    static std::unique_ptr<Backend> openBackend(const QString &connectionString, int queryTimeoutSeconds);

    // Seconds a statement to SQL Server may take; applies from the next open().
    void setQueryTimeout(int seconds) { m_queryTimeoutSeconds = seconds > 0 ? seconds : DefaultQueryTimeoutSeconds; }
    int queryTimeout() const { return m_queryTimeoutSeconds; }

    // Login timeout for SQL Server, in seconds.
    static constexpr int LoginTimeoutSeconds = 15;
    static constexpr int DefaultQueryTimeoutSeconds = 60;

private:
    std::unique_ptr<Backend> m_backend;
    StatementJournal m_journal;
    int m_queryTimeoutSeconds = DefaultQueryTimeoutSeconds;
    bool m_prefetchEnabled = true;
    PrefetchedAnswers m_prefetched;
    int m_snapshots = 0; // ReadSnapshots alive
    bool m_snapshotHeld = false; // the engine holds one state for them
};

} // namespace tannbuch
