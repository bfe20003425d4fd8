// The SQL dialect adapter: any text rewritten from SQL Server's dialect to
// the embedded database's. Refusals (DbError) are answers, not failures.
#include "db/DbError.h"
#include "db/SqlDialect.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString sql = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        (void)SqlDialect::toSqlite(sql);
    } catch (const DbError &) {
    }
    return 0;
}
