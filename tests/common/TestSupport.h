#pragma once

#include "db/Backend.h"
#include "db/DbError.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace tannbuch {

// Helpers shared by the test programs.
namespace testsupport {

// Path of a file in the source tree (relative to the project root).
QString sourcePath(const QString &relative);

// Creates a SQLite database file at path from SQL text (several statements),
// with a writable connection of its own; throws std::runtime_error on failure.
void createSqliteDatabase(const QString &path, const QString &sql);
// Runs SQL on an existing database file with the program's text order, as
// its indexes over text need; an empty text when it ran, else SQLite's message.
QString changeSqliteDatabase(const QString &path, const QString &sql);

// The demo schema's SQL text.
QString schemaSql();

// Reads a whole file; empty when it cannot be read.
QByteArray readFile(const QString &path);
// Writes a whole file (a test's input); false when it cannot be written.
bool writeFile(const QString &path, const QByteArray &data);

// What a tool (pdftotext, pdfinfo, ...) writes to standard output; empty when
// it does not finish within a minute. Its standard error goes to errors.
QString toolOutput(const QString &program, const QStringList &arguments, QString *errors = nullptr);

// The message of the WorkbookError the action throws; empty when it throws none.
QString messageOf(const std::function<void()> &action);

// What openpyxl reads from a saved workbook through
// tests/workbook/verify_saved.py, whose requests are "Sheet" or
// "Sheet!A1:K20". Fails the current test when the reader does; true when
// Debian's python with openpyxl is there.
bool haveOpenpyxl();
QJsonObject readWithOpenpyxl(const QString &path, const QStringList &requests);

// Sets an environment variable for the lifetime of the guard.
class EnvironmentGuard
{
public:
    EnvironmentGuard(const char *name, const QByteArray &value);
    ~EnvironmentGuard();
    EnvironmentGuard(const EnvironmentGuard &) = delete;
    EnvironmentGuard &operator=(const EnvironmentGuard &) = delete;

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

// The message of the DbError the statement raises on the engine (empty when
// none).
inline QString queryFailure(Backend &db, const QString &sql)
{
    try {
        db.query(sql);
    } catch (const DbError &e) {
        return e.message();
    }
    return QString();
}

} // namespace testsupport

} // namespace tannbuch
