#include "SqliteStatement.h"

#include "GeneratorError.h"

#include <sqlite3.h>

#include <utility>

namespace tannbuch {

namespace {

QString sqliteMessage(sqlite3 *db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
}

} // namespace

SqliteStatement::SqliteStatement(sqlite3 *db, const QString &sql)
    : m_db(db)
    , m_sql(sql)
{
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_statement, nullptr) != SQLITE_OK)
        throw GeneratorError(sqliteMessage(db) + QStringLiteral(" in: ") + sql);
}

SqliteStatement::SqliteStatement(SqliteStatement &&other) noexcept
    : m_db(std::exchange(other.m_db, nullptr))
    , m_statement(std::exchange(other.m_statement, nullptr))
    , m_sql(std::move(other.m_sql))
{ }

SqliteStatement &SqliteStatement::operator=(SqliteStatement &&other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_statement);
        m_db = std::exchange(other.m_db, nullptr);
        m_statement = std::exchange(other.m_statement, nullptr);
        m_sql = std::move(other.m_sql);
    }
    return *this;
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_statement);
}

void SqliteStatement::run(const SqlValue *values, int count)
{
    if (count != sqlite3_bind_parameter_count(m_statement))
        throw GeneratorError(QStringLiteral("%1 values for %2 parameters in: %3")
                                 .arg(count)
                                 .arg(sqlite3_bind_parameter_count(m_statement))
                                 .arg(m_sql));
    sqlite3_reset(m_statement);
    for (int i = 0; i < count; ++i) {
        const SqlValue &value = values[i];
        int rc = SQLITE_OK;
        if (value.isInteger()) {
            rc = sqlite3_bind_int64(m_statement, i + 1, value.integer());
        } else if (value.isReal()) {
            rc = sqlite3_bind_double(m_statement, i + 1, value.real());
        } else if (value.isText()) {
            const QByteArray text = value.text().toUtf8();
            rc = sqlite3_bind_text(m_statement, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        } else {
            rc = sqlite3_bind_null(m_statement, i + 1);
        }
        if (rc != SQLITE_OK)
            throw GeneratorError(sqliteMessage(m_db) + QStringLiteral(" in: ") + m_sql);
    }
    const int rc = sqlite3_step(m_statement);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw GeneratorError(sqliteMessage(m_db) + QStringLiteral(" in: ") + m_sql);
    sqlite3_reset(m_statement);
}

} // namespace tannbuch
