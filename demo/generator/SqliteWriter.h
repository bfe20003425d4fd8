#pragma once

#include "SqliteStatement.h"

#include <QString>
#include <QStringList>

struct sqlite3;

namespace tannbuch {

// A writable connection to a new or existing SQLite file, used to build a
// database, with the program's text comparison in place of NOCASE. Throws
// GeneratorError with SQLite's message on every failure.
class SqliteWriter
{
public:
    explicit SqliteWriter(const QString &path);
    ~SqliteWriter();
    SqliteWriter(const SqliteWriter &) = delete;
    SqliteWriter &operator=(const SqliteWriter &) = delete;

    // Runs SQL text of one or more statements without results.
    void execute(const QString &sql);

    SqliteStatement prepare(const QString &sql);

    // "INSERT INTO table (columns...) VALUES (?, ...)", prepared.
    SqliteStatement prepareInsert(const QString &table, const QStringList &columns);

    // Id of the row inserted last on this connection.
    qint64 lastInsertId() const;

    // Closes the connection; the destructor does the same but cannot report
    // a failure.
    void close();

private:
    sqlite3 *m_db = nullptr;
};

} // namespace tannbuch
