#include "LastDaysRange.h"

#include "text/DateText.h"

namespace tannbuch {

std::optional<DateRange> LastDaysRange(const QString &daysText, const QString &toText, const QDate &today)
{
    bool ok = false;
    const int days = daysText.trimmed().toInt(&ok);
    if (!ok || days < 0)
        return std::nullopt;
    const std::optional<QDate> to
        = toText.trimmed().isEmpty() ? std::optional<QDate>(today) : DateText::parse(toText, today);
    if (!to)
        return std::nullopt;
    const QDate earliest(1900, 1, 1);
    const QDate from = std::max(to->addDays(-days), earliest);
    return DateRange{DateText::format(from), DateText::format(*to)};
}

} // namespace tannbuch
