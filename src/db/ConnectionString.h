#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace tannbuch {

// An OLE DB style connection string: key=value pairs separated by ";".
// Keys match without regard to letter case; a value may be quoted with " or '
// (a doubled quote inside stands for one) or put in braces as ODBC does ("}}"
// inside stands for "}"). Blanks around keys and values are dropped.
class ConnectionString
{
public:
    ConnectionString() = default;
    explicit ConnectionString(const QString &text);

    bool has(const QString &key) const;
    // Value of the key, empty when missing; of two equal keys the last counts.
    QString value(const QString &key) const;

    const QList<QPair<QString, QString>> &pairs() const { return m_pairs; }

private:
    QList<QPair<QString, QString>> m_pairs;
};

// True when the file exists and starts with the 16-byte SQLite header.
bool isSqliteDatabaseFile(const QString &path);

// True when the connection string names the embedded database: Provider=SQLite,
// or a Data Source that is an existing SQLite file.
bool targetsSqlite(const ConnectionString &cs);

// The ODBC connection string for SQL Server: driver, server (and port from a
// "host,port" data source), database, trusted connection or UID/PWD, read-only
// intent. Values with ";" or braces are put in braces as ODBC requires.
QString toOdbcConnectionString(const ConnectionString &cs, const QString &driver);

// The ODBC driver to use: TANNBUCH_ODBC_DRIVER when set, else the FreeTDS
// driver (by its library path when installed there, else by its name).
QString defaultOdbcDriver();

} // namespace tannbuch
