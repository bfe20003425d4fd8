#include "SqliteWriter.h"

#include "GeneratorError.h"
#include "db/DbError.h"
#include "db/SqlServerFunctions.h"

#include <sqlite3.h>

namespace tannbuch {

namespace {

QString sqliteMessage(sqlite3 *db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
}

} // namespace

SqliteWriter::SqliteWriter(const QString &path)
{
    const int rc
        = sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = sqliteMessage(m_db);
        sqlite3_close(m_db);
        m_db = nullptr;
        throw GeneratorError(QStringLiteral("Cannot create %1: %2").arg(path, message));
    }
    // The program's comparison of texts: an index over text columns is then
    // in the order in which the program reads it.
    try {
        SqlServerFunctions::install(m_db);
    } catch (const DbError &e) {
        sqlite3_close(m_db);
        m_db = nullptr;
        throw GeneratorError(e.message());
    }
}

SqliteWriter::~SqliteWriter()
{
    // Nothing to report from a destructor; close() is the checked way.
    sqlite3_close_v2(m_db);
}

void SqliteWriter::execute(const QString &sql)
{
    char *error = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = error ? QString::fromUtf8(error) : sqliteMessage(m_db);
        sqlite3_free(error);
        throw GeneratorError(message);
    }
}

SqliteStatement SqliteWriter::prepare(const QString &sql)
{
    return SqliteStatement(m_db, sql);
}

SqliteStatement SqliteWriter::prepareInsert(const QString &table, const QStringList &columns)
{
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    return prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                       .arg(table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
}

qint64 SqliteWriter::lastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

void SqliteWriter::close()
{
    if (m_db && sqlite3_close(m_db) != SQLITE_OK)
        throw GeneratorError(sqliteMessage(m_db));
    m_db = nullptr;
}

} // namespace tannbuch
