#include "OdbcBackend.h"

#include "DbError.h"

#include <QAtomicInt>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

QAtomicInt connectionCounter;

QString errorText(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    const QString driver = error.driverText().trimmed();
    if (text.isEmpty())
        return driver;
    if (!driver.isEmpty() && !text.contains(driver))
        text = driver + QStringLiteral(": ") + text;
    return text;
}

} // namespace

OdbcBackend::OdbcBackend(const QString &odbcConnectionString, int loginTimeoutSeconds)
    : m_connectionName(QStringLiteral("tannbuch-odbc-%1").arg(connectionCounter.fetchAndAddRelaxed(1)))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_connectionName);
    if (!db.isValid()) {
        QSqlDatabase::removeDatabase(m_connectionName);
        throw DbError(QStringLiteral("Der ODBC-Datenbanktreiber ist nicht verfügbar (Qt-Treiber QODBC fehlt)."));
    }
    db.setDatabaseName(odbcConnectionString);
    db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1;SQL_ATTR_CONNECTION_TIMEOUT=%1;"
                                        "SQL_ATTR_ACCESS_MODE=SQL_MODE_READ_ONLY")
                             .arg(loginTimeoutSeconds));
    if (!db.open()) {
        const QString message = errorText(db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        throw DbError(message.isEmpty() ? QStringLiteral("Die Verbindung zum SQL Server ist fehlgeschlagen.")
                                        : message);
    }
}

OdbcBackend::~OdbcBackend()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        if (db.isValid())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

ResultData OdbcBackend::query(const QString &sql)
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(sql))
        throw DbError(errorText(q.lastError()));

    ResultData data;
    const QSqlRecord record = q.record();
    for (int i = 0; i < record.count(); ++i)
        data.columns << record.fieldName(i);
    while (q.next()) {
        std::vector<QVariant> row;
        row.reserve(size_t(record.count()));
        for (int i = 0; i < record.count(); ++i) {
            const QVariant v = q.value(i);
            row.push_back(v.isNull() ? QVariant() : v);
        }
        data.rows.push_back(std::move(row));
    }
    if (q.lastError().isValid())
        throw DbError(errorText(q.lastError()));
    return data;
}
