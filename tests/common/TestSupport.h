#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

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

} // namespace testsupport
