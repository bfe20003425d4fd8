#pragma once

#include "SqlValue.h"

#include <QString>

#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace tannbuch {

// A prepared statement of a SqliteWriter, run once per row with its values.
// Move-only; finalised on destruction. Throws GeneratorError with SQLite's
// message when a row cannot be written.
class SqliteStatement
{
public:
    SqliteStatement(sqlite3 *db, const QString &sql);
    SqliteStatement(SqliteStatement &&other) noexcept;
    SqliteStatement &operator=(SqliteStatement &&other) noexcept;
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;
    ~SqliteStatement();

    // Binds values to the parameters 1..count in order and runs the statement.
    void run(const SqlValue *values, int count);
    void run(const std::vector<SqlValue> &values) { run(values.data(), int(values.size())); }

private:
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_statement = nullptr;
    QString m_sql;
};

} // namespace tannbuch
