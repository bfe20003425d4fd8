#include "SqlServerSemantics.h"

#include <QtNumeric>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace tannbuch {

namespace sqlserver {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isBlank(QChar c)
{
    // Blank, tab, line feed, vertical tab, form feed, carriage return.
    return c == u' ' || (c.unicode() >= 9 && c.unicode() <= 13);
}

QStringView withoutTrailingSpaces(QStringView s)
{
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == u' ')
        --n;
    return s.first(n);
}

QStringView trimmedBlanks(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

// Reads an unsigned decimal of the whole view; -1 when it is empty or has
// other characters.
int digitsValue(QStringView s)
{
    if (s.isEmpty() || s.size() > 9)
        return -1;
    int v = 0;
    for (const QChar c : s) {
        if (!isDigit(c))
            return -1;
        v = v * 10 + (c.unicode() - u'0');
    }
    return v;
}

char foldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

QChar fold(QChar c)
{
    return c.toCaseFolded();
}

// ---- LIKE -------------------------------------------------------------------

struct PatternItem
{
    enum Kind { AnyRun, AnyOne, Literal, Set };
    Kind kind;
    QChar ch;
    QString members; // Set: single characters and ranges as "a-z" triples
    bool negated = false;
};

std::vector<PatternItem> compilePattern(QStringView pattern, QChar escape)
{
    std::vector<PatternItem> items;
    const qsizetype n = pattern.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = pattern[i];
        if (!escape.isNull() && c == escape && i + 1 < n) {
            items.push_back({PatternItem::Literal, pattern[i + 1], {}, false});
            i += 2;
        } else if (c == u'%') {
            if (items.empty() || items.back().kind != PatternItem::AnyRun)
                items.push_back({PatternItem::AnyRun, {}, {}, false});
            ++i;
        } else if (c == u'_') {
            items.push_back({PatternItem::AnyOne, {}, {}, false});
            ++i;
        } else if (c == u'[') {
            const qsizetype close = pattern.indexOf(u']', i + 1);
            if (close < 0) {
                // No closing bracket: the bracket stands for itself.
                items.push_back({PatternItem::Literal, c, {}, false});
                ++i;
                continue;
            }
            QStringView body = pattern.mid(i + 1, close - i - 1);
            PatternItem set{PatternItem::Set, {}, {}, false};
            if (body.size() > 1 && body.front() == u'^') {
                set.negated = true;
                body = body.mid(1);
            }
            set.members = body.toString();
            items.push_back(set);
            i = close + 1;
        } else {
            items.push_back({PatternItem::Literal, c, {}, false});
            ++i;
        }
    }
    return items;
}

bool inRange(QChar c, QChar lo, QChar hi)
{
    for (const QChar v : {c, c.toLower(), c.toUpper()}) {
        if (v >= lo && v <= hi)
            return true;
    }
    return false;
}

bool matchesOne(const PatternItem &item, QChar c)
{
    switch (item.kind) {
    case PatternItem::AnyOne:
        return true;
    case PatternItem::Literal:
        return fold(item.ch) == fold(c);
    case PatternItem::Set: {
        bool found = false;
        const QString &m = item.members;
        for (qsizetype k = 0; k < m.size() && !found; ++k) {
            if (k + 2 < m.size() && m[k + 1] == u'-') {
                found = inRange(c, m[k], m[k + 2]);
                k += 2;
            } else {
                found = fold(m[k]) == fold(c);
            }
        }
        return found != item.negated;
    }
    case PatternItem::AnyRun:
        break;
    }
    return false;
}

// Wildcard match with one backtracking point per run: every item but % takes
// exactly one character, so this never needs more than value x pattern steps.
bool matchItems(QStringView value, const std::vector<PatternItem> &items)
{
    qsizetype v = 0;
    size_t p = 0;
    qsizetype starValue = 0;
    size_t starItem = 0;
    bool haveStar = false;
    while (v < value.size()) {
        if (p < items.size() && items[p].kind == PatternItem::AnyRun) {
            haveStar = true;
            starItem = p++;
            starValue = v;
        } else if (p < items.size() && matchesOne(items[p], value[v])) {
            ++p;
            ++v;
        } else if (haveStar) {
            p = starItem + 1;
            v = ++starValue;
        } else {
            return false;
        }
    }
    while (p < items.size() && items[p].kind == PatternItem::AnyRun)
        ++p;
    return p == items.size();
}

// ---- dates ------------------------------------------------------------------

QDateTime utc(QDate d, QTime t)
{
    return QDateTime(d, t, Qt::UTC);
}

QString twoDigits(int v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

DateConversion finish(QDate date, QTime time, DateKind kind)
{
    DateConversion r;
    if (!date.isValid() || !time.isValid()) {
        r.status = DateConversion::Invalid;
        return r;
    }
    QDateTime dt = utc(date, time);
    switch (kind) {
    case DateKind::SmallDateTime: {
        // smalldatetime keeps minutes: 29.998 seconds and less round down.
        const int ms = time.second() * 1000 + time.msec();
        dt = utc(date, QTime(time.hour(), time.minute()));
        if (ms >= 29999)
            dt = dt.addSecs(60);
        const QDateTime lo = utc(QDate(1900, 1, 1), QTime(0, 0));
        const QDateTime hi = utc(QDate(2079, 6, 6), QTime(23, 59));
        if (dt < lo || dt > hi) {
            r.status = DateConversion::OutOfRange;
            return r;
        }
        break;
    }
    case DateKind::DateTime:
        dt = utc(date, QTime(time.hour(), time.minute(), time.second()));
        if (date.year() < 1753 || date.year() > 9999) {
            r.status = DateConversion::OutOfRange;
            return r;
        }
        break;
    case DateKind::Date:
        dt = utc(date, QTime(0, 0));
        if (date.year() < 1 || date.year() > 9999) {
            r.status = DateConversion::OutOfRange;
            return r;
        }
        break;
    }
    r.status = DateConversion::Ok;
    r.value = dt;
    return r;
}

// hh:mi[:ss[.fff]] with an optional AM/PM; an invalid QTime when malformed.
QTime parseTime(QStringView s)
{
    s = trimmedBlanks(s);
    if (s.isEmpty())
        return QTime(0, 0);
    int addHours = 0;
    bool twelveHour = false;
    if (s.size() >= 2) {
        const QStringView tail = s.last(2);
        if (tail.compare(u"AM", Qt::CaseInsensitive) == 0 || tail.compare(u"PM", Qt::CaseInsensitive) == 0) {
            twelveHour = true;
            addHours = tail.compare(u"PM", Qt::CaseInsensitive) == 0 ? 12 : 0;
            s = trimmedBlanks(s.first(s.size() - 2));
        }
    }
    int msec = 0;
    const qsizetype dot = s.indexOf(u'.');
    if (dot >= 0) {
        QStringView frac = s.mid(dot + 1);
        if (frac.isEmpty() || frac.size() > 7 || digitsValue(frac) < 0)
            return QTime();
        msec = digitsValue(frac.first(std::min<qsizetype>(3, frac.size())));
        for (qsizetype k = frac.size(); k < 3; ++k)
            msec *= 10;
        s = s.first(dot);
    }
    const auto parts = s.split(u':');
    if (parts.size() < 2 || parts.size() > 3)
        return QTime();
    int fields[3] = {0, 0, 0};
    for (int k = 0; k < int(parts.size()); ++k) {
        if (parts[k].size() > 2)
            return QTime();
        fields[k] = digitsValue(parts[k]);
        if (fields[k] < 0)
            return QTime();
    }
    int hour = fields[0];
    if (twelveHour) {
        if (hour < 1 || hour > 12)
            return QTime();
        hour = hour % 12 + addHours;
    }
    return QTime(hour, fields[1], fields[2], msec);
}

// Stored ISO shapes and their near relatives that SQL Server reads the same
// way whatever the style: yyyy-mm-dd, yyyy-mm-dd hh:mi:ss[.fff],
// yyyy-mm-ddThh:mi:ss[.fff], yyyymmdd [hh:mi[:ss]].
bool parseIso(QStringView s, QDate &date, QTime &time)
{
    if (s.size() >= 8 && digitsValue(s.first(8)) >= 0 && (s.size() == 8 || isBlank(s[8]))) {
        date = QDate(digitsValue(s.mid(0, 4)), digitsValue(s.mid(4, 2)), digitsValue(s.mid(6, 2)));
        time = parseTime(s.mid(8));
        return true;
    }
    if (s.size() < 10 || s[4] != u'-' || s[7] != u'-')
        return false;
    const int y = digitsValue(s.mid(0, 4));
    const int m = digitsValue(s.mid(5, 2));
    const int d = digitsValue(s.mid(8, 2));
    if (y < 0 || m < 0 || d < 0)
        return false;
    if (s.size() > 10 && s[10] != u'T' && !isBlank(s[10]))
        return false;
    date = QDate(y, m, d);
    time = s.size() > 10 ? parseTime(s.mid(11)) : QTime(0, 0);
    return true;
}

enum class Order { Dmy, Mdy, Ymd };

Order orderOfStyle(int style)
{
    switch (style) {
    case 1:
    case 101:
    case 10:
    case 110:
        return Order::Mdy;
    case 2:
    case 102:
    case 11:
    case 111:
        return Order::Ymd;
    default:
        return Order::Dmy;
    }
}

int expandYear(QStringView digits)
{
    const int v = digitsValue(digits);
    if (v < 0)
        return -1;
    if (digits.size() == 4)
        return v;
    if (digits.size() == 2)
        return v < 50 ? 2000 + v : 1900 + v;
    return -1;
}

const char *const monthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

} // namespace

// ---- comparison -------------------------------------------------------------

int compareText(QStringView a, QStringView b)
{
    return withoutTrailingSpaces(a).compare(withoutTrailingSpaces(b), Qt::CaseInsensitive);
}

int compareTextUtf8(const char *a, int lengthA, const char *b, int lengthB)
{
    // Equal keys are the common case when rows are grouped and joined.
    if (lengthA == lengthB && std::memcmp(a, b, size_t(lengthA)) == 0)
        return 0;
    while (lengthA > 0 && a[lengthA - 1] == ' ')
        --lengthA;
    while (lengthB > 0 && b[lengthB - 1] == ' ')
        --lengthB;
    const int common = std::min(lengthA, lengthB);
    int i = 0;
    for (; i < common; ++i) {
        const unsigned char ca = static_cast<unsigned char>(a[i]);
        const unsigned char cb = static_cast<unsigned char>(b[i]);
        if (ca >= 0x80 || cb >= 0x80)
            break;
        const char fa = foldAscii(char(ca));
        const char fb = foldAscii(char(cb));
        if (fa != fb)
            return fa < fb ? -1 : 1;
    }
    // Equal so far and one text ended: the shorter one comes first (folding
    // keeps lengths, so this is also what the decoded comparison would say).
    if (i == common)
        return lengthA == lengthB ? 0 : (lengthA < lengthB ? -1 : 1);
    // Beyond ASCII: the rest is decoded; the equal prefix is whole characters.
    const QString restA = QString::fromUtf8(a + i, lengthA - i);
    const QString restB = QString::fromUtf8(b + i, lengthB - i);
    const int r = QStringView(restA).compare(restB, Qt::CaseInsensitive);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

bool like(QStringView value, QStringView pattern, QChar escape)
{
    const std::vector<PatternItem> items = compilePattern(pattern, escape);
    // Trailing blanks of the value are ignored: try it with each of them gone.
    for (;;) {
        if (matchItems(value, items))
            return true;
        if (value.isEmpty() || value.back() != u' ')
            return false;
        value.chop(1);
    }
}

bool isNumeric(QStringView text)
{
    const QStringView s = trimmedBlanks(text);
    if (s.isEmpty())
        return false;
    qsizetype i = 0;
    const qsizetype n = s.size();
    bool sign = false;
    bool currency = false;
    for (int k = 0; k < 2 && i < n; ++k) {
        if (!sign && (s[i] == u'+' || s[i] == u'-')) {
            sign = true;
            ++i;
        } else if (!currency && s[i].category() == QChar::Symbol_Currency) {
            currency = true;
            ++i;
        }
    }
    int mantissaDigits = 0;
    while (i < n && (isDigit(s[i]) || s[i] == u',')) {
        if (isDigit(s[i]))
            ++mantissaDigits;
        ++i;
    }
    if (i < n && s[i] == u'.') {
        ++i;
        while (i < n && isDigit(s[i])) {
            ++mantissaDigits;
            ++i;
        }
    }
    if (i < n && (s[i] == u'e' || s[i] == u'E' || s[i] == u'd' || s[i] == u'D')) {
        if (mantissaDigits == 0)
            return false;
        ++i;
        if (i < n && (s[i] == u'+' || s[i] == u'-'))
            ++i;
        int exponentDigits = 0;
        while (i < n && isDigit(s[i])) {
            ++exponentDigits;
            ++i;
        }
        if (exponentDigits == 0)
            return false;
    }
    // A lone sign, currency sign, point or comma counts as numeric too: each
    // converts to money.
    return i == n;
}

QString floatToText(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    QString s = QString::number(value, 'g', 6);
    const qsizetype e = s.indexOf(u'e');
    if (e >= 0) {
        QString digits = s.mid(e + 2);
        while (digits.size() < 3)
            digits.prepend(u'0');
        s = s.left(e + 2) + digits;
    }
    return s;
}

double roundHalfAwayFromZero(double value, int digits)
{
    if (!std::isfinite(value) || value == 0)
        return value;
    // 15 significant digits: d.dddddddddddddde+XX
    const QString s = QString::number(std::fabs(value), 'e', 14);
    const qsizetype ePos = s.indexOf(u'e');
    const QString mantissa = s.left(1) + s.mid(2, ePos - 2);
    const int exponent = s.mid(ePos + 1).toInt();
    const int keep = exponent + 1 + digits;
    if (keep >= int(mantissa.size()))
        return value;
    if (keep < 0)
        return 0.0;
    qint64 kept = keep == 0 ? 0 : mantissa.left(keep).toLongLong();
    if (mantissa[keep] >= u'5')
        ++kept;
    if (kept == 0)
        return 0.0;
    const double r = QString(QString::number(kept) + u'e' + QString::number(-digits)).toDouble();
    return value < 0 ? -r : r;
}

std::optional<qint64> roundHalfAwayFromZero(qint64 value, int digits)
{
    if (digits >= 0)
        return value;
    if (digits < -18)
        return 0;
    qint64 unit = 1;
    for (int k = 0; k < -digits; ++k)
        unit *= 10;
    qint64 q = value / unit;
    const qint64 rest = value % unit;
    const qint64 absRest = rest < 0 ? -rest : rest;
    if (absRest >= unit - absRest)
        q += value < 0 ? -1 : 1;
    qint64 result = 0;
    if (qMulOverflow(q, unit, &result))
        return std::nullopt;
    return result;
}

// ---- dates ------------------------------------------------------------------

std::optional<StoredDate> parseStoredDate(QStringView text)
{
    const qsizetype n = text.size();
    if (n != 10 && n != 19)
        return std::nullopt;
    for (qsizetype k = 0; k < n; ++k) {
        const QChar c = text[k];
        bool ok = false;
        switch (k) {
        case 4:
        case 7:
            ok = c == u'-';
            break;
        case 10:
            ok = c == u' ';
            break;
        case 13:
        case 16:
            ok = c == u':';
            break;
        default:
            ok = isDigit(c);
        }
        if (!ok)
            return std::nullopt;
    }
    const QDate date(digitsValue(text.mid(0, 4)), digitsValue(text.mid(5, 2)), digitsValue(text.mid(8, 2)));
    if (!date.isValid())
        return std::nullopt;
    StoredDate r;
    if (n == 10) {
        r.dateOnly = true;
        r.value = utc(date, QTime(0, 0));
        return r;
    }
    const QTime time(digitsValue(text.mid(11, 2)), digitsValue(text.mid(14, 2)), digitsValue(text.mid(17, 2)));
    if (!time.isValid())
        return std::nullopt;
    r.value = utc(date, time);
    return r;
}

QString storedDateText(const QDateTime &value, DateKind kind)
{
    const QDate d = value.date();
    QString s = QStringLiteral("%1-%2-%3")
                    .arg(d.year(), 4, 10, QLatin1Char('0'))
                    .arg(twoDigits(d.month()), twoDigits(d.day()));
    if (kind == DateKind::Date)
        return s;
    const QTime t = value.time();
    return s + QStringLiteral(" %1:%2:%3").arg(twoDigits(t.hour()), twoDigits(t.minute()), twoDigits(t.second()));
}

DateConversion textToDate(QStringView text, int style, DateKind kind)
{
    const QStringView s = trimmedBlanks(text);
    if (s.isEmpty())
        return finish(QDate(1900, 1, 1), QTime(0, 0), kind);

    QDate date;
    QTime time;
    if (parseIso(s, date, time))
        return finish(date, time, kind);

    qsizetype split = 0;
    while (split < s.size() && !isBlank(s[split]))
        ++split;
    const QStringView datePart = s.first(split);
    const QStringView timePart = s.mid(split);

    qsizetype sepPos = 0;
    while (sepPos < datePart.size() && isDigit(datePart[sepPos]))
        ++sepPos;
    if (sepPos >= datePart.size())
        return DateConversion{};
    const QChar sep = datePart[sepPos];
    if (sep != u'.' && sep != u'/' && sep != u'-')
        return DateConversion{};
    const auto fields = datePart.split(sep);
    if (fields.size() != 3)
        return DateConversion{};

    Order order = orderOfStyle(style);
    if (fields[0].size() == 4)
        order = Order::Ymd;
    int day = -1;
    int month = -1;
    int year = -1;
    switch (order) {
    case Order::Dmy:
        day = fields[0].size() <= 2 ? digitsValue(fields[0]) : -1;
        month = fields[1].size() <= 2 ? digitsValue(fields[1]) : -1;
        year = expandYear(fields[2]);
        break;
    case Order::Mdy:
        month = fields[0].size() <= 2 ? digitsValue(fields[0]) : -1;
        day = fields[1].size() <= 2 ? digitsValue(fields[1]) : -1;
        year = expandYear(fields[2]);
        break;
    case Order::Ymd:
        year = expandYear(fields[0]);
        month = fields[1].size() <= 2 ? digitsValue(fields[1]) : -1;
        day = fields[2].size() <= 2 ? digitsValue(fields[2]) : -1;
        break;
    }
    if (day < 0 || month < 0 || year < 0)
        return DateConversion{};
    return finish(QDate(year, month, day), parseTime(timePart), kind);
}

DateConversion numberToDate(double days, DateKind kind)
{
    if (!std::isfinite(days) || std::fabs(days) > 3000000.0)
        return DateConversion{DateConversion::OutOfRange, {}};
    const double whole = std::floor(days);
    const qint64 ms = qint64(std::llround((days - whole) * 86400000.0));
    const QDateTime dt = utc(QDate(1900, 1, 1).addDays(qint64(whole)), QTime(0, 0)).addMSecs(ms);
    DateConversion r = finish(dt.date(), dt.time(), kind);
    if (r.status == DateConversion::Invalid)
        r.status = DateConversion::OutOfRange;
    return r;
}

std::optional<QString> dateToText(const QDateTime &value, bool dateOnly, int style)
{
    const QDate d = value.date();
    const QTime t = value.time();
    const QString dd = twoDigits(d.day());
    const QString mm = twoDigits(d.month());
    const QString yyyy = QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0'));
    const QString yy = twoDigits(d.year() % 100);
    const QString time
        = QStringLiteral("%1:%2:%3").arg(twoDigits(t.hour()), twoDigits(t.minute()), twoDigits(t.second()));
    switch (style) {
    case 0:
    case 100: {
        if (dateOnly)
            return yyyy + u'-' + mm + u'-' + dd;
        const int hour12 = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
        return QStringLiteral("%1 %2 %3 %4:%5%6")
            .arg(QLatin1String(monthNames[d.month() - 1]))
            .arg(d.day(), 2)
            .arg(yyyy)
            .arg(hour12, 2)
            .arg(twoDigits(t.minute()))
            .arg(t.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
    }
    case 1:
        return mm + u'/' + dd + u'/' + yy;
    case 101:
        return mm + u'/' + dd + u'/' + yyyy;
    case 2:
        return yy + u'.' + mm + u'.' + dd;
    case 102:
        return yyyy + u'.' + mm + u'.' + dd;
    case 3:
        return dd + u'/' + mm + u'/' + yy;
    case 103:
        return dd + u'/' + mm + u'/' + yyyy;
    case 4:
        return dd + u'.' + mm + u'.' + yy;
    case 104:
        return dd + u'.' + mm + u'.' + yyyy;
    case 5:
        return dd + u'-' + mm + u'-' + yy;
    case 105:
        return dd + u'-' + mm + u'-' + yyyy;
    case 111:
        return yyyy + u'/' + mm + u'/' + dd;
    case 112:
        return yyyy + mm + dd;
    case 23:
        return yyyy + u'-' + mm + u'-' + dd;
    case 8:
    case 108:
        return time;
    case 20:
    case 120:
        return yyyy + u'-' + mm + u'-' + dd + u' ' + time;
    case 21:
    case 121:
        return yyyy + u'-' + mm + u'-' + dd + u' ' + time + u'.'
            + QStringLiteral("%1").arg(t.msec(), 3, 10, QLatin1Char('0'));
    default:
        return std::nullopt;
    }
}

} // namespace sqlserver

} // namespace tannbuch
