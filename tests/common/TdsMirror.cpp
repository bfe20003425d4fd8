#include "TdsMirror.h"

#include "db/Connection.h"
#include "db/DbError.h"
#include "db/SqliteBackend.h"
#include "tds/TdsEndpoint.h"

#include <gtest/gtest.h>

#include <optional>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace testsupport {

namespace {

bool isNumber(const QVariant &v)
{
    return v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Double;
}

QString shown(const QVariant &v)
{
    if (!v.isValid())
        return u"NULL"_s;
    return u"%1 (%2)"_s.arg(v.toString(), QString::fromLatin1(v.typeName()));
}

bool sameValue(const QVariant &a, const QVariant &b)
{
    if (!a.isValid() || !b.isValid())
        return a.isValid() == b.isValid();
    if (isNumber(a) && isNumber(b))
        return a.toDouble() == b.toDouble();
    return a.typeId() == b.typeId() && a == b;
}

} // namespace

bool overTds()
{
    return qEnvironmentVariable("TANNBUCH_TEST_DATABASE") == QLatin1String("tds");
}

QString resultDifference(const ResultData &odbc, const ResultData &sqlite)
{
    if (odbc.columns != sqlite.columns)
        return u"columns %1 over ODBC, %2 embedded"_s.arg(
            odbc.columns.join(QLatin1Char(',')), sqlite.columns.join(QLatin1Char(',')));
    if (odbc.rows.size() != sqlite.rows.size())
        return u"%1 rows over ODBC, %2 embedded"_s.arg(odbc.rows.size()).arg(sqlite.rows.size());
    for (size_t r = 0; r < odbc.rows.size(); ++r) {
        for (size_t c = 0; c < odbc.rows[r].size(); ++c) {
            if (!sameValue(odbc.rows[r][c], sqlite.rows[r][c]))
                return u"row %1, column %2: %3 over ODBC, %4 embedded"_s.arg(r + 1).arg(
                    odbc.columns[int(c)], shown(odbc.rows[r][c]), shown(sqlite.rows[r][c]));
        }
    }
    return QString();
}

MirrorBackend::MirrorBackend(const QString &sqlitePath)
    : m_endpoint(std::make_unique<tds::Endpoint>(sqlitePath))
    , m_odbc(Connection::openBackend(m_endpoint->connectionString(), Connection::DefaultQueryTimeoutSeconds))
    , m_sqlite(std::make_unique<SqliteBackend>(sqlitePath))
{ }

MirrorBackend::~MirrorBackend()
{
    m_odbc.reset(); // logs out before the endpoint stops
}

ResultData MirrorBackend::query(const QString &sql)
{
    std::optional<ResultData> odbc, sqlite;
    QString odbcError, sqliteError;
    try {
        odbc = m_odbc->query(sql);
    } catch (const DbError &e) {
        odbcError = e.message();
    }
    try {
        sqlite = m_sqlite->query(sql);
    } catch (const DbError &e) {
        sqliteError = e.message();
    }
    if (odbc && sqlite) {
        const QString difference = resultDifference(*odbc, *sqlite);
        if (!difference.isEmpty())
            ADD_FAILURE() << "over ODBC and embedded, results differ: " << qPrintable(difference) << "\n  in "
                          << qPrintable(sql);
        return *odbc;
    }
    if (odbc || sqlite)
        ADD_FAILURE() << "fails " << (odbc ? "embedded only: " : "over ODBC only: ")
                      << qPrintable(odbc ? sqliteError : odbcError) << "\n  in " << qPrintable(sql);
    throw DbError(odbc ? sqliteError : odbcError);
}

} // namespace testsupport

} // namespace tannbuch
