// The SQL dialect adapter: any text rewritten from SQL Server's dialect to
// the embedded database's, once plain and once with long number lists
// answered by a subquery (the first one found also passed back as known).
// Refusals (DbError) are answers, not failures.
#include "db/DbError.h"
#include "db/SqlDialect.h"

#include <QString>
#include <QStringList>

using namespace tannbuch;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString sql = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        (void)SqlDialect::toSqlite(sql);
        QStringList seen;
        const auto table = [&](const QString &list) {
            seen << list;
            return QStringLiteral("SELECT id FROM temp.t");
        };
        (void)SqlDialect::toSqlite(sql, table);
        if (!seen.isEmpty())
            (void)SqlDialect::toSqlite(sql, table, {seen.first()});
    } catch (const DbError &) { }
    return 0;
}
