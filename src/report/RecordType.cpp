#include "RecordType.h"

#include "db/Recordset.h"

namespace tannbuch {

int recordTypeOf(const QVariant &dsart)
{
    if (isDbNull(dsart))
        return -1;
    bool ok = false;
    const qlonglong type = dsart.toLongLong(&ok);
    if (!ok || type < -32768 || type > 32767)
        return -1;
    return int(type);
}

} // namespace tannbuch
