#include "DateText.h"

#include <QRegularExpression>

namespace tannbuch {

namespace DateText {

int expandYear(int twoDigitYear)
{
    return twoDigitYear < 30 ? 2000 + twoDigitYear : 1900 + twoDigitYear;
}

std::optional<QDate> parse(const QString &text, const QDate &today)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})(?:\\.(\\d*))?$"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;

    const int day = m.captured(1).toInt();
    const int month = m.captured(2).toInt();
    const QString yearText = m.captured(3);
    int year = 0;
    switch (yearText.size()) {
    case 0:
        year = today.year();
        break;
    case 1:
    case 2:
        year = expandYear(yearText.toInt());
        break;
    case 4:
        year = yearText.toInt();
        break;
    default:
        return std::nullopt;
    }

    // The earliest and latest date the list query's conversion can take.
    const QDate first(1900, 1, 1);
    const QDate last(2079, 6, 6);
    const QDate date(year, month, day);
    if (!date.isValid() || date < first || date > last)
        return std::nullopt;
    return date;
}

QString format(const QDate &date)
{
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

} // namespace DateText

} // namespace tannbuch
