#include "SelectionStatements.h"

#include "db/SqlQuote.h"

namespace tannbuch {

namespace {

QString quoted(const QString &value)
{
    return sqlTextLiteral(value);
}

} // namespace

QString BusinessYearStatement(const QString &businessYearColumn)
{
    return QStringLiteral("select TOP 1 KURZNAME from RELTABLE where RELTABLE_ID = ") + businessYearColumn.right(1)
        + QStringLiteral(" AND ISNULL(DISABLE,0) = 0 AND ISNUMERIC(KURZNAME) = 1 ORDER BY KURZNAME DESC");
}

QString ListViewStatement(const ListViewQuery &query)
{
    QString sql = QStringLiteral("SELECT DISTINCT L.LISTE, min(L.LISTDATUM) as listdatum, sum(stk) stk, "
                                 "sum(kubatur) Kubatur FROM LOGS L ")
        + QStringLiteral("INNER JOIN LISTENKOPF LK ON L.LISTE = LK.LISTE ");

    // The business year compares the last two characters of its short name.
    if (!query.businessYearColumn.isEmpty()) {
        sql += QStringLiteral(" inner join reltable on l.") + query.businessYearColumn
            + QStringLiteral(" = reltable.id and right(reltable.kurzname,2) = right(") + quoted(query.year)
            + QStringLiteral(",2)");
    } else {
        sql += QStringLiteral(" ");
    }

    sql += QStringLiteral(" WHERE 1=1 ");

    if (!query.listNumber.isEmpty()) {
        sql += QStringLiteral(" AND L.LISTE = ") + quoted(query.listNumber);
        // Without a list-type number the list is shown whatever its type;
        // the condition would otherwise end in "= " and break the statement.
        if (!query.listTypeNumber.isEmpty())
            sql += QStringLiteral(" AND ISNULL(L.LISTENART,0) = ") + query.listTypeNumber;
    } else {
        if (!query.accessLevelFilter.isEmpty()) {
            sql += QStringLiteral(" AND (LK.ID_ACCESS_LEVELS IN ") + query.accessLevelFilter
                + QStringLiteral(" OR LK.ID_ACCESS_LEVELS IS NULL) ");
        }
        // Only the from date decides; an empty to date stays an empty text.
        if (!query.dateFrom.isEmpty()) {
            sql += QStringLiteral(" AND convert(smalldatetime,L.LISTDATUM,104) BETWEEN convert(smalldatetime,")
                + quoted(query.dateFrom) + QStringLiteral(",104) and convert(smalldatetime,") + quoted(query.dateTo)
                + QStringLiteral(",104) ");
        }
    }

    sql += QStringLiteral(" group by L.LISTE ORDER BY L.LISTE ");
    return sql;
}

QString LotListStatement(LotMode mode, const QString &list, const QString &listTypeText)
{
    const QString column = mode == LotMode::Lots ? QStringLiteral("LOS") : QStringLiteral("POLTNR");
    if (!listTypeText.isEmpty()) {
        return QStringLiteral("SELECT DISTINCT(") + column
            + QStringLiteral(") FROM LOGS INNER JOIN LISTENART ON LOGS.LISTENART = LISTENART.LISTENART WHERE LISTE = ")
            + quoted(list) + QStringLiteral(" AND LISTENART.TEXT = ") + quoted(listTypeText)
            + QStringLiteral(" ORDER BY ") + column;
    }
    return QStringLiteral("SELECT DISTINCT(") + column + QStringLiteral(") FROM LOGS WHERE LISTE = ") + quoted(list)
        + QStringLiteral(" ORDER BY ") + column;
}

QString SelectionLotsStatement(const QString &filter)
{
    return QStringLiteral("SELECT DISTINCT(LOS) FROM LOGS WHERE ") + filter + QStringLiteral(" ORDER BY LOS");
}

QString ListTypesStatement(const QString &list, const QString &listTypeNumber)
{
    const QString tail = listTypeNumber.isEmpty() ? QStringLiteral(" ")
                                                  : QStringLiteral(" AND listenart.LISTENART = ") + listTypeNumber;
    return QStringLiteral("SELECT distinct listenart.text FROM listenart inner join logs on listenart.listenart = "
                          "logs.listenart WHERE logs.LISTE = ")
        // The blank inside the literal has always been there; trailing
        // blanks do not count when SQL Server compares texts.
        + quoted(list + QLatin1Char(' ')) + QLatin1Char(' ') + tail;
}

QString ProvisionStatement(const QString &provisionName)
{
    return QStringLiteral(" select bl.ID_LOGS from BEREITSTELLUNG_LOGS bl inner join BEREITSTELLUNG_KOPF bk on "
                          "bl.ID_BEREITSTELLUNG_KOPF = bk.ID ")
        + QStringLiteral(" where bk.BEREITSTELLUNGSNAME = ") + quoted(provisionName) + QStringLiteral(" ");
}

QString ProvisionListCondition(const QStringList &ids)
{
    return QStringLiteral(" AND LOGS.ID_LOG IN (") + ids.join(QLatin1Char(',')) + QStringLiteral(") ");
}

QString ProvisionSubqueryCondition(const QString &provisionName)
{
    return QStringLiteral(" AND LOGS.ID_LOG IN (SELECT bl.ID_LOGS FROM BEREITSTELLUNG_LOGS bl INNER JOIN "
                          "BEREITSTELLUNG_KOPF bk ON bl.ID_BEREITSTELLUNG_KOPF = bk.ID WHERE "
                          "bk.BEREITSTELLUNGSNAME = ")
        + quoted(provisionName) + QStringLiteral(") ");
}

QString ListTypeNumberStatement(const QString &listTypeText)
{
    return QStringLiteral(" select listenart from listenart where text = ") + quoted(listTypeText)
        + QStringLiteral(" ");
}

} // namespace tannbuch
