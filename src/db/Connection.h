#pragma once

#include "db/Recordset.h"
#include "db/StatementJournal.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>

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

    // Runs statements the report will ask for soon, ahead and together: an
    // execute() of exactly one of these texts is then answered from memory
    // (and still recorded in the journal when it is asked). A statement that
    // fails ahead is not kept: asked for, it runs alone and fails as it
    // would. Does nothing while prefetching is off.
    void prefetch(const QStringList &statements);
    void setPrefetchEnabled(bool on);
    bool prefetchEnabled() const { return m_prefetchEnabled; }

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
    QHash<QString, ResultData> m_prefetched; // answers kept until asked for
};
