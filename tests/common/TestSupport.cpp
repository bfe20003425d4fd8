#include "TestSupport.h"

#include "db/SqlServerFunctions.h"

#include <QFile>

#include <sqlite3.h>

#include <stdexcept>

namespace testsupport {

QString sourcePath(const QString &relative)
{
    return QStringLiteral(TANNBUCH_SOURCE_DIR "/") + relative;
}

void createSqliteDatabase(const QString &path, const QString &sql)
{
    QFile::remove(path);
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
        != SQLITE_OK) {
        const std::string msg = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        throw std::runtime_error("cannot create test database: " + msg);
    }
    // Indexes over text are built in the order in which the program reads them.
    SqlServerFunctions::install(db);
    char *err = nullptr;
    // Without syncing to disk a test database is made in milliseconds.
    const QByteArray script = "PRAGMA synchronous=OFF; PRAGMA journal_mode=MEMORY;\n" + sql.toUtf8();
    if (sqlite3_exec(db, script.constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const std::string msg = err ? err : "unknown error";
        sqlite3_free(err);
        sqlite3_close(db);
        throw std::runtime_error("cannot fill test database: " + msg);
    }
    sqlite3_close(db);
}

QString changeSqliteDatabase(const QString &path, const QString &sql)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close(db);
        return message;
    }
    SqlServerFunctions::install(db);
    char *error = nullptr;
    QString message;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK)
        message = error ? QString::fromUtf8(error) : QStringLiteral("unknown error");
    sqlite3_free(error);
    sqlite3_close(db);
    return message;
}

QString schemaSql()
{
    return QString::fromUtf8(readFile(QStringLiteral(TANNBUCH_SCHEMA_SQL)));
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace testsupport
