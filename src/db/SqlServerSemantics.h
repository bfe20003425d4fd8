#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>

#include <optional>

namespace tannbuch {

// How SQL Server treats values, for the functions the embedded database
// registers so that statements give SQL Server's answers: text comparison of
// the default case-insensitive collation, LIKE, ISNUMERIC, ROUND, the
// conversion of numbers and dates to text and of texts to dates.
//
// Dates live in the embedded database as ISO text: "YYYY-MM-DD HH:MM:SS" for
// a point in time, "YYYY-MM-DD" for a day. A text of exactly one of these
// shapes is taken as a date wherever a date matters (conversions, results).
namespace sqlserver {

enum class DateKind { SmallDateTime, DateTime, Date };

// Compares two texts the way the default collation does: trailing blanks do
// not count and letter case is ignored (also beyond ASCII, so ä equals Ä).
// Returns <0, 0 or >0; a consistent total order, usable as a collation.
int compareText(QStringView a, QStringView b);
// The same for UTF-8 bytes; ASCII is compared without decoding.
int compareTextUtf8(const char *a, int lengthA, const char *b, int lengthB);

// value LIKE pattern: % any run, _ one character, [abc], [a-z], [^abc];
// letter case ignored; an escape character (if not null) makes the next
// pattern character literal. Blanks at the end of the value do not count,
// blanks at the end of the pattern do.
bool like(QStringView value, QStringView pattern, QChar escape = QChar());

// ISNUMERIC of a text: 1 for what converts to int, float, decimal or money
// ("12", " 12 ", "-1.5", "1e5", "1,000", "$5"), 0 otherwise ("", "2024/25").
bool isNumeric(QStringView text);

// A float as SQL Server writes it when converting to text: at most six
// significant digits, trailing zeros dropped, scientific form with a
// three-digit exponent beyond that range (12 -> "12", 4.5 -> "4.5",
// 1234567 -> "1.23457e+006", 0.00001 -> "1e-005").
QString floatToText(double value);

// ROUND(x, digits), halves away from zero. The double is first read as its
// 15-digit decimal value, so 1.005 rounds to 1.01 as the decimal it stands
// for, not as the binary fraction just below it. Negative digits round to
// tens, hundreds, ...
double roundHalfAwayFromZero(double value, int digits);
// The same for whole numbers (only negative digits change them).
// Returns nullopt when the result leaves the 64-bit range.
std::optional<qint64> roundHalfAwayFromZero(qint64 value, int digits);

// A stored date: a text of exactly "YYYY-MM-DD" (dateOnly set) or
// "YYYY-MM-DD HH:MM:SS" that names a real day and time; nullopt otherwise.
struct StoredDate
{
    QDateTime value;
    bool dateOnly = false;
};
std::optional<StoredDate> parseStoredDate(QStringView text);

// The stored text of a date: "YYYY-MM-DD HH:MM:SS", or "YYYY-MM-DD" for kind Date.
QString storedDateText(const QDateTime &value, DateKind kind);

// Result of converting a text to a date (CONVERT(smalldatetime, x, style)).
struct DateConversion
{
    enum Status { Ok, Invalid, OutOfRange };
    Status status = Invalid;
    QDateTime value;
};

// Converts a text to a date of the given kind. Accepted: an empty or blank
// text (1900-01-01, as SQL Server), the stored ISO shapes (also with "T",
// with fractions of a second, or as YYYYMMDD), and day, month and year
// separated by ".", "/" or "-" in the order of the style (dmy for 3 to 5, 103
// to 105 and all others; mdy for 1, 101, 10, 110; ymd for 2, 102, 11, 111),
// with one- or two-digit day and month, a two- or four-digit year (two digits:
// 00-49 are 20xx, 50-99 are 19xx) and an optional time hh:mi[:ss[.fff]].
// smalldatetime rounds to the minute, date drops the time; each kind checks
// its range (smalldatetime 1900-01-01 to 2079-06-06).
DateConversion textToDate(QStringView text, int style, DateKind kind);
// Days since 1900-01-01 (fraction = time of day) as a date, SQL Server's
// reading of a number converted to a date.
DateConversion numberToDate(double days, DateKind kind);

// A date as text in a CONVERT style: 104 dd.mm.yyyy, 4 dd.mm.yy, 103
// dd/mm/yyyy, 3 dd/mm/yy, 105 dd-mm-yyyy, 5 dd-mm-yy, 101 mm/dd/yyyy, 1
// mm/dd/yy, 102 yyyy.mm.dd, 2 yy.mm.dd, 111 yyyy/mm/dd, 112 yyyymmdd, 23
// yyyy-mm-dd, 108 hh:mi:ss, 120 yyyy-mm-dd hh:mi:ss, 121 with milliseconds, 0
// and 100 "Jan  1 2024 12:00AM" (a day without time as yyyy-mm-dd).
// nullopt for a style that has no date form.
std::optional<QString> dateToText(const QDateTime &value, bool dateOnly, int style);

} // namespace sqlserver

} // namespace tannbuch
