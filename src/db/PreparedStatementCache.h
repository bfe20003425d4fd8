#pragma once

#include <QString>

#include <vector>

struct sqlite3_stmt;

namespace tannbuch {

// The prepared statements of one SQLite connection, kept by the text they
// were prepared from so that a report's many statements of the same form are
// parsed and planned once. At most a fixed number are kept; the one used
// longest ago goes first.
//
// A statement is taken out while it runs and put back only once it ran
// without failing (reset, bindings cleared), so a failing statement is never
// handed out again. The cache owns what it holds and finalizes it when it is
// dropped; clear() must run before the connection closes. Never throws.
class PreparedStatementCache
{
public:
    explicit PreparedStatementCache(int capacity);
    ~PreparedStatementCache();
    PreparedStatementCache(const PreparedStatementCache &) = delete;
    PreparedStatementCache &operator=(const PreparedStatementCache &) = delete;

    // Removes the statement kept for the text and hands it over to the
    // caller; nullptr when none is kept.
    sqlite3_stmt *take(const QString &text);
    // Keeps a statement that ran well (reset here) for the text, finalizing
    // the one used longest ago when the cache is full.
    void put(const QString &text, sqlite3_stmt *statement);
    // Finalizes every statement kept.
    void clear();

    int size() const { return int(m_entries.size()); }

private:
    struct Entry
    {
        size_t hash;
        QString text;
        sqlite3_stmt *statement;
        quint64 lastUse;
    };

    int m_capacity;
    quint64 m_uses = 0;
    std::vector<Entry> m_entries;
};

} // namespace tannbuch
