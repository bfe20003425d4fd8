#pragma once

// The report tests run on the embedded database, and again over SQL Server's
// wire: through the program's ODBC layer and the FreeTDS driver to the test
// endpoint that serves the same SQLite file. Which one a test program uses
// is chosen by the environment (TANNBUCH_TEST_DATABASE=tds); the test
// registrations run each report test both ways.

#include "db/Backend.h"

#include <QString>

#include <memory>

namespace tannbuch {

class SqliteBackend;
namespace tds {
class Endpoint;
}

namespace testsupport {

// True when the tests run over the endpoint.
bool overTds();

// Both engines on one SQLite file: each statement runs over the endpoint and
// on the file directly; a difference in the results (columns, rows, value
// kinds and values) or in failing is a test failure naming the statement.
// The ODBC result is the one handed on, so the report is built from what the
// driver gave.
class MirrorBackend : public Backend
{
public:
    explicit MirrorBackend(const QString &sqlitePath);
    ~MirrorBackend() override;

    ResultData query(const QString &sql) override;
    QString name() const override { return QStringLiteral("ODBC"); }

    tds::Endpoint &endpoint() { return *m_endpoint; }

private:
    std::unique_ptr<tds::Endpoint> m_endpoint;
    std::unique_ptr<Backend> m_odbc;
    std::unique_ptr<SqliteBackend> m_sqlite;
};

// Why two results differ, or empty when they are the same: numbers compare
// by value (a whole number may come as either kind), everything else by
// kind and value.
QString resultDifference(const ResultData &odbc, const ResultData &sqlite);

} // namespace testsupport

} // namespace tannbuch
