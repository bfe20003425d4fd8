#pragma once

#include "Backend.h"

#include <QString>

// SQL Server through unixODBC (Qt's ODBC driver over the FreeTDS driver by
// default). The connection asks for read-only access and gives up after the
// login timeout, so a server that does not answer fails with the driver's
// message instead of hanging.
//
// Throws DbError with the driver's message when opening fails and for every
// failing statement.
class OdbcBackend : public Backend
{
public:
    OdbcBackend(const QString &odbcConnectionString, int loginTimeoutSeconds);
    ~OdbcBackend() override;

    ResultData query(const QString &sql) override;
    QString name() const override { return QStringLiteral("ODBC"); }

private:
    QString m_connectionName;
};
