#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace tannbuch {

// Dates as the user types them into the date boxes of the list browser, and
// as the boxes show them: always dd.mm.yyyy, the form the list query hands to
// the database (style 104), whatever the locale.
//
// Read like the system's date conversion reads a German date:
// - day.month.year with "." between the parts, blanks around the whole
//   ignored; one or two digits for day and month ("1.2.2024");
// - a one- or two-digit year is put in the window 1930 to 2029 (00 to 29 are
//   20xx, 30 to 99 are 19xx), the default two-digit-year window of the
//   desktop systems our users work on: "1.2.24" is 01.02.2024, "1.2.95" is
//   01.02.1995;
// - day and month alone ("1.2" or "1.2.") mean that day of the current year;
// - a four-digit year is taken as it is; three digits are not a year.
// A date must exist in the calendar (no 30.02.) and lie in the range the
// list query can compare (01.01.1900 to 06.06.2079); anything else is not a
// valid date.
namespace DateText {

// The date of a typed text, or nothing when it is not a valid date. today
// supplies the year of a date typed without one.
std::optional<QDate> parse(const QString &text, const QDate &today);

// The text a date box shows for a date: dd.mm.yyyy.
QString format(const QDate &date);

// A one- or two-digit year put in the window 1930 to 2029.
int expandYear(int twoDigitYear);

} // namespace DateText

} // namespace tannbuch
