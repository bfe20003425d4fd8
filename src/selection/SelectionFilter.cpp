#include "SelectionFilter.h"

#include "db/SqlQuote.h"

namespace tannbuch {

namespace {

QString listTypeCondition(const QString &listType)
{
    if (listType.isEmpty())
        return QString();
    return QStringLiteral(" AND LOGS.LISTENART = ") + listType;
}

} // namespace

QString QuotedLiteral(const QString &value)
{
    return sqlTextLiteral(value);
}

QString QuotedList(const QStringList &entries)
{
    QStringList literals;
    literals.reserve(entries.size());
    for (const QString &entry : entries)
        literals << QuotedLiteral(entry);
    return literals.join(QLatin1Char(','));
}

Selection BuildSelectionFilter(const SelectionRequest &request)
{
    Selection result;
    result.listNumber = request.listNumber;
    result.listType = request.listType;
    result.provisionFilter = request.provisionFilter;
    result.filter = QStringLiteral("LOGS.LISTE = ") + sqlTextLiteral(request.listNumber);

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

    result.filter += request.provisionFilter + listTypeCondition(request.listType);
    return result;
}

Selection WholeSelection(const Selection &chosen)
{
    const bool noLots = chosen.lots.isEmpty() || (chosen.lots.size() == 1 && chosen.lots.first().isEmpty());
    if (!noLots)
        return chosen;
    Selection whole = chosen;
    whole.lots.clear();
    whole.lotCount = 0;
    whole.filter += listTypeCondition(chosen.listType);
    return whole;
}

Selection LotSelection(const Selection &whole, const QString &lot)
{
    Selection one = whole;
    one.filter = QStringLiteral("LOGS.LISTE=") + sqlTextLiteral(whole.listNumber)
        + QStringLiteral(" AND isnull(LOGS.LOS,'')=") + QuotedLiteral(lot) + whole.provisionFilter
        + listTypeCondition(whole.listType);
    one.lots = QStringList{lot};
    one.lotCount = 1;
    return one;
}

} // namespace tannbuch
