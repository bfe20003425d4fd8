#include "ReportLocale.h"

#include <QRegularExpression>

#include <cmath>
#include <optional>

namespace tannbuch {

namespace {

std::optional<QLocale> &overridden()
{
    static std::optional<QLocale> locale;
    return locale;
}

QLocale fromSystem()
{
    const QLocale system = QLocale::system();
    if (system.language() == QLocale::C)
        return QLocale(QLocale::German, QLocale::Germany);
    return system;
}

} // namespace

QLocale ReportLocale::locale()
{
    if (overridden())
        return *overridden();
    return fromSystem();
}

void ReportLocale::setLocale(const QLocale &locale)
{
    if (locale.language() == QLocale::C)
        overridden().reset();
    else
        overridden() = locale;
}

QString ReportLocale::shortDateFormat()
{
    QString format = locale().dateFormat(QLocale::ShortFormat);
    // Qt's short forms often have a two-digit year; reports show four.
    static const QRegularExpression years(QStringLiteral("y+"));
    format.replace(years, QStringLiteral("yyyy"));
    if (locale().language() == QLocale::German)
        format = QStringLiteral("dd.MM.yyyy");
    return format;
}

QString ReportLocale::shortDate(const QDate &date)
{
    return locale().toString(date, shortDateFormat());
}

QString ReportLocale::generalNumber(double value)
{
    QLocale l = locale();
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15)
        return l.toString(qint64(value));
    // Up to 15 significant digits, trailing zeros dropped, as a general form does.
    return l.toString(value, 'g', 15);
}

} // namespace tannbuch
