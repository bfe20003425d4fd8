#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

namespace tannbuch {

// The one place that decides how numbers and dates are written as text in a
// report and typed by the user: the user's locale, or German where the system
// has none (C or POSIX, as on a server or in a cron job). Short dates carry a
// four-digit year, as German desktops show them.
class ReportLocale
{
public:
    // The locale in force (the system's, German for C/POSIX, unless overridden).
    static QLocale locale();
    // Replaces the locale (tests, and a program that knows better); a C locale
    // resets to the default rule.
    static void setLocale(const QLocale &locale);

    // The short date form of the locale with a four-digit year (dd.MM.yyyy in
    // German).
    static QString shortDateFormat();
    static QString shortDate(const QDate &date);
    // A number in the locale's general form: no thousands separators, as many
    // decimals as it needs (8.5 -> "8,5" in German, 12 -> "12").
    static QString generalNumber(double value);
};

} // namespace tannbuch
