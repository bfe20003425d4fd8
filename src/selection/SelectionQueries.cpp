#include "SelectionQueries.h"

#include "db/Connection.h"

#include <cmath>

namespace tannbuch {

namespace {

// The first column of the current row as text, NULL giving an empty text.
// Read by position: the engines name a column like DISTINCT(LOS) differently.
QString firstColumnText(const Recordset &rs)
{
    const QVariant v = rs.value(0);
    return isDbNull(v) ? QString() : v.toString();
}

} // namespace

QStringList ReadProvisionIds(Connection &db, const QString &provisionName)
{
    Recordset rs = db.execute(ProvisionStatement(provisionName));
    QStringList ids;
    for (; !rs.eof(); rs.moveNext()) {
        // A row without a log id names no log; an empty place in the list
        // would break the statement of every section.
        if (!isDbNull(rs.value(0)))
            ids << firstColumnText(rs);
    }
    return ids;
}

QString GetProvisionFilter(Connection &db, const QString &provisionName)
{
    const QStringList ids = ReadProvisionIds(db, provisionName);
    if (ids.isEmpty())
        return QString();
    // A list of thousands of ids would go into every statement of the
    // report, for every pile again, and the server would compile each anew.
    if (ids.size() > ProvisionListLimit)
        return ProvisionSubqueryCondition(provisionName);
    return ProvisionListCondition(ids);
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

QStringList ReadSelectionLots(Connection &db, const QString &filter)
{
    Recordset rs = db.execute(SelectionLotsStatement(filter));
    QStringList lots;
    for (; !rs.eof(); rs.moveNext())
        lots << firstColumnText(rs);
    rs.close();
    return lots;
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

} // namespace tannbuch
