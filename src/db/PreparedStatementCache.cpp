#include "PreparedStatementCache.h"

#include <QHash>

#include <sqlite3.h>

#include <algorithm>

namespace tannbuch {

PreparedStatementCache::PreparedStatementCache(int capacity)
    : m_capacity(std::max(capacity, 1))
{ }

PreparedStatementCache::~PreparedStatementCache()
{
    clear();
}

sqlite3_stmt *PreparedStatementCache::take(const QString &text)
{
    // Few entries: comparing hashes one by one is cheaper than keeping an
    // index beside them, and a long text is hashed once per lookup.
    const size_t hash = qHash(text);
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].hash != hash || m_entries[i].text != text)
            continue;
        sqlite3_stmt *statement = m_entries[i].statement;
        m_entries[i] = std::move(m_entries.back());
        m_entries.pop_back();
        return statement;
    }
    return nullptr;
}

void PreparedStatementCache::put(const QString &text, sqlite3_stmt *statement)
{
    // A statement left mid-way would keep its read transaction open and see
    // old data next time; reset, it reads the file as it is when next run.
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    if (int(m_entries.size()) >= m_capacity) {
        const auto oldest = std::min_element(
            m_entries.begin(), m_entries.end(), [](const Entry &a, const Entry &b) { return a.lastUse < b.lastUse; });
        sqlite3_finalize(oldest->statement);
        *oldest = std::move(m_entries.back());
        m_entries.pop_back();
    }
    m_entries.push_back(Entry{qHash(text), text, statement, ++m_uses});
}

void PreparedStatementCache::clear()
{
    for (const Entry &e : m_entries)
        sqlite3_finalize(e.statement);
    m_entries.clear();
}

} // namespace tannbuch
