#include "SelectionFilter.h"

#include "db/SqlQuote.h"

QString QuotedList(const QStringList &entries)
{
    QStringList literals;
    literals.reserve(entries.size());
    for (const QString &entry : entries)
        literals << QLatin1Char('\'') + sqlQuoteInner(entry) + QLatin1Char('\'');
    return literals.join(QLatin1Char(','));
}

Selection BuildSelectionFilter(const SelectionRequest &request)
{
    Selection result;
    result.filter = QStringLiteral("LOGS.LISTE = '") + sqlQuoteInner(request.listNumber) + QLatin1Char('\'');

    if (request.marked.isEmpty()) {
        // Nothing marked: the whole list, but the lots name every lot shown
        // so a lot-by-lot report knows its lots.
        result.lots = request.shown;
    } else {
        result.lots = request.marked;
        const QString column
            = request.mode == LotMode::Lots ? QStringLiteral("LOGS.LOS") : QStringLiteral("LOGS.POLTNR");
        result.filter += QStringLiteral(" AND ") + column + QStringLiteral(" IN (") + QuotedList(request.marked)
            + QStringLiteral(") ");
    }
    result.lotCount = int(result.lots.size());
    // Piles go into the filter only; the lots are for lots.
    if (request.mode == LotMode::Piles)
        result.lots.clear();

    result.filter += request.provisionFilter;
    if (!request.listType.isEmpty())
        result.filter += QStringLiteral(" AND LOGS.LISTENART = ") + request.listType;
    return result;
}
