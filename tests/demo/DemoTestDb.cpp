#include "DemoTestDb.h"

#include "DemoDatabase.h"

#include <sqlite3.h>

#include <stdexcept>

namespace tannbuch {

using namespace Qt::StringLiterals;

DemoTestDb::DemoTestDb(const QString &path)
{
    if (sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        const std::string message = m_db ? sqlite3_errmsg(m_db) : "out of memory";
        sqlite3_close(m_db);
        throw std::runtime_error("cannot open " + path.toStdString() + ": " + message);
    }
}

DemoTestDb::~DemoTestDb()
{
    sqlite3_close(m_db);
}

std::vector<std::vector<QVariant>> DemoTestDb::rows(const QString &sql) const
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string(sqlite3_errmsg(m_db)) + " in: " + sql.toStdString());
    std::vector<std::vector<QVariant>> result;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        std::vector<QVariant> row;
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
            switch (sqlite3_column_type(statement, i)) {
            case SQLITE_INTEGER:
                row.emplace_back(qlonglong(sqlite3_column_int64(statement, i)));
                break;
            case SQLITE_FLOAT:
                row.emplace_back(sqlite3_column_double(statement, i));
                break;
            case SQLITE_NULL:
                row.emplace_back();
                break;
            default:
                row.emplace_back(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, i))));
            }
        }
        result.push_back(std::move(row));
    }
    const std::string message = sqlite3_errmsg(m_db);
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE)
        throw std::runtime_error(message + " in: " + sql.toStdString());
    return result;
}

QVariant DemoTestDb::value(const QString &sql) const
{
    const auto result = rows(sql);
    return result.empty() || result.front().empty() ? QVariant() : result.front().front();
}

QStringList DemoTestDb::texts(const QString &sql) const
{
    QStringList list;
    for (const auto &row : rows(sql))
        list << row.front().toString();
    return list;
}

QString DemoTestDb::dump() const
{
    QString out;
    for (const QString &table : texts(u"SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"_s)) {
        out += u"== "_s + table + QLatin1Char('\n');
        for (const auto &row : rows(u"SELECT * FROM "_s + table + u" ORDER BY rowid"_s)) {
            for (const QVariant &v : row)
                out += (v.isValid() ? QString::fromLatin1(v.typeName()) + QLatin1Char(':') + v.toString() : u"NULL"_s)
                    + QLatin1Char('|');
            out += QLatin1Char('\n');
        }
    }
    return out;
}

QString writeDemoDatabase(const QString &folder, const QString &name, int records, const QString &list)
{
    const QString path = folder + QLatin1Char('/') + name;
    DemoDatabaseOptions options;
    options.schemaPath = QStringLiteral(TANNBUCH_SCHEMA_SQL);
    options.records = records;
    options.list = list;
    DemoDatabase::write(path, options);
    return path;
}

} // namespace tannbuch
