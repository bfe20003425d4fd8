#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace tannbuch {

// A date range as the date boxes of the list browser show it (dd.mm.yyyy).
struct DateRange
{
    QString from;
    QString to;

    bool operator==(const DateRange &) const = default;
};

// The range the days box asks for: the given number of days up to the
// to-date, or up to today when the to-date box is empty. The start is never
// after the end, and never before the earliest date the list query compares
// (01.01.1900). Nothing when the days are not a whole number of 0 or more,
// or the to-date box holds no valid date.
std::optional<DateRange> LastDaysRange(const QString &daysText, const QString &toText, const QDate &today);

} // namespace tannbuch
