#include "SelectionQueries.h"

#include "db/Connection.h"

#include <cmath>

namespace {

// The first column of the current row as text, NULL giving an empty text.
// Read by position: the engines name a column like DISTINCT(LOS) differently.
QString firstColumnText(const Recordset &rs)
{
    const QVariant v = rs.value(0);
    return isDbNull(v) ? QString() : v.toString();
}

} // namespace

QString GetProvisionFilter(Connection &db, const QString &provisionName)
{
    Recordset rs = db.execute(ProvisionStatement(provisionName));
    QString ids;
    for (; !rs.eof(); rs.moveNext())
        ids += firstColumnText(rs) + QLatin1Char(',');
    rs.close();
    if (ids.isEmpty())
        return QString();
    ids.chop(1);
    return QStringLiteral(" AND LOGS.ID_LOG IN (") + ids + QStringLiteral(") ");
}

QString GetListTypeNumber(Connection &db, const QString &listTypeText)
{
    Recordset rs = db.execute(ListTypeNumberStatement(listTypeText));
    return rs.eof() ? QString() : firstColumnText(rs);
}

QStringList ReadLotEntries(Connection &db, LotMode mode, const QString &list, const QString &listTypeText)
{
    Recordset rs = db.execute(LotListStatement(mode, list, listTypeText));
    QStringList entries;
    for (; !rs.eof(); rs.moveNext())
        entries << firstColumnText(rs);
    rs.close();
    return entries;
}

QStringList ReadListTypeTexts(Connection &db, const QString &list, const QString &listTypeNumber)
{
    Recordset rs = db.execute(ListTypesStatement(list, listTypeNumber));
    QStringList texts;
    for (; !rs.eof(); rs.moveNext())
        texts << firstColumnText(rs);
    rs.close();
    return texts;
}

int BusinessYearOrFallback(const QString &kurzname, const QDate &today)
{
    bool numeric = false;
    const double value = kurzname.trimmed().toDouble(&numeric);
    if (numeric && std::isfinite(value) && std::fabs(value) < 1e6)
        return int(value);
    return today.addMonths(4).year();
}

int NewestBusinessYear(Connection &db, const QString &businessYearColumn, const QDate &today)
{
    Recordset rs = db.execute(BusinessYearStatement(businessYearColumn));
    const QString kurzname = rs.eof() ? QString() : firstColumnText(rs);
    return BusinessYearOrFallback(kurzname, today);
}
