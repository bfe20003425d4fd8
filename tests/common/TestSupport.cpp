#include "TestSupport.h"

#include "db/SqlServerFunctions.h"
#include "workbook/cells/WorkbookError.h"

#include <QFile>
#include <QJsonDocument>
#include <QProcess>

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <stdexcept>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace testsupport {

QString sourcePath(const QString &relative)
{
    return QStringLiteral(TANNBUCH_SOURCE_DIR "/") + relative;
}

namespace {

// Runs SQL on a database file opened with the given flags and the program's
// text order, as its indexes over text need; SQLite's message, or an empty
// text when it ran.
QString runSqlite(const QString &path, int flags, const QByteArray &sql)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr) != SQLITE_OK) {
        const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : u"out of memory"_s;
        sqlite3_close(db);
        return message;
    }
    SqlServerFunctions::install(db);
    char *error = nullptr;
    QString message;
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &error) != SQLITE_OK)
        message = error ? QString::fromUtf8(error) : u"unknown error"_s;
    sqlite3_free(error);
    sqlite3_close(db);
    return message;
}

} // namespace

void createSqliteDatabase(const QString &path, const QString &sql)
{
    QFile::remove(path);
    // Without syncing to disk a test database is made in milliseconds.
    const QString message = runSqlite(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
        "PRAGMA synchronous=OFF; PRAGMA journal_mode=MEMORY;\n" + sql.toUtf8());
    if (!message.isEmpty())
        throw std::runtime_error("cannot create test database: " + message.toStdString());
}

QString changeSqliteDatabase(const QString &path, const QString &sql)
{
    return runSqlite(path, SQLITE_OPEN_READWRITE, sql.toUtf8());
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

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

QString messageOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const WorkbookError &e) {
        return e.message();
    }
    return QString();
}

QString toolOutput(const QString &program, const QStringList &arguments, QString *errors)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(60000))
        return QString();
    if (errors)
        *errors = QString::fromUtf8(p.readAllStandardError());
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool haveOpenpyxl()
{
    static const bool have = [] {
        QProcess p;
        p.start(u"/usr/bin/python3"_s, {u"-c"_s, u"import openpyxl"_s});
        return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }();
    return have;
}

QJsonObject readWithOpenpyxl(const QString &path, const QStringList &requests)
{
    QProcess p;
    p.start(u"/usr/bin/python3"_s, QStringList{sourcePath(u"tests/workbook/verify_saved.py"_s), path} + requests);
    const bool finished = p.waitForFinished(120000);
    const QByteArray out = p.readAllStandardOutput();
    const QByteArray err = p.readAllStandardError();
    EXPECT_TRUE(finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
        << "openpyxl could not read " << path.toStdString() << ": " << err.constData();
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(out, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << out.constData() << err.constData();
    return doc.object();
}

EnvironmentGuard::EnvironmentGuard(const char *name, const QByteArray &value)
    : m_name(name)
    , m_had(qEnvironmentVariableIsSet(name))
    , m_old(qgetenv(name))
{
    qputenv(name, value);
}

EnvironmentGuard::~EnvironmentGuard()
{
    if (m_had)
        qputenv(m_name, m_old);
    else
        qunsetenv(m_name);
}

} // namespace testsupport

} // namespace tannbuch
