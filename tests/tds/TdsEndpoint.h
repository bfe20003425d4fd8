#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tannbuch {

namespace tds {

// Faults the endpoint plays for tests. A pattern matches a statement that
// contains it (case-sensitive); an empty pattern matches none. stallOn
// looks at the whole batch, the others at each statement in it.
struct Faults
{
    int latencyMs = 0; // waited once before each batch's answer (the round trip)
    QString stallOn = {}; // a batch never answered (until cancelled or closed)
    QString dropOn = {}; // the connection is closed in the statement's result...
    int dropAfterRows = 0; // ...after this many rows
    QString failOn = {}; // the statement fails with this server error:
    int errorNumber = 50000;
    QString errorMessage = {};
};

// A small SQL Server endpoint for tests: it listens on 127.0.0.1 (an
// ephemeral port), speaks TDS 7.3 without encryption, and runs each
// statement of a batch (split at the ";" between them) on the SQLite file
// through the program's own backend (the T-SQL adapter), with plain literals
// ('..', not N'..') first turned into the single-byte code page of the
// server's collation as SQL Server reads them. Every statement
// gets its own result set or error, and a failing one does not stop the
// statements after it. Result columns go out with the host's declared types
// (see HostTypes.h), expressions with a type fitting their values. SET
// statements are answered without running them. Any user and password are
// accepted. Each connection is served by a thread of its own.
class Endpoint
{
public:
    explicit Endpoint(const QString &sqlitePath);
    ~Endpoint(); // closes every connection and waits for its thread
    Endpoint(const Endpoint &) = delete;
    Endpoint &operator=(const Endpoint &) = delete;

    // A connection string for the program: SQL Server at this endpoint.
    QString connectionString() const;

    void setFaults(const Faults &faults);
    Faults faults() const;

    // The batches received, in order (SET statements included).
    QStringList batches() const;
    // The number of cancels (attention) received.
    int cancels() const { return m_cancels.load(); }
    // Logins that asked for read-only access (application intent), and all.
    int readOnlyLogins() const { return m_readOnlyLogins.load(); }
    int logins() const { return m_logins.load(); }

private:
    void acceptLoop();
    void serve(int socket);

    QString m_path;
    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_cancels{0};
    std::atomic<int> m_logins{0};
    std::atomic<int> m_readOnlyLogins{0};
    std::thread m_acceptor;
    mutable std::mutex m_mutex;
    Faults m_faults;
    QStringList m_batches;
    std::vector<int> m_sockets;
    std::vector<std::thread> m_threads;
};

} // namespace tds

} // namespace tannbuch
