#include "NumberFormatter.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace tannbuch {

namespace {

// ---------------------------------------------------------------------------
// Decimal digits of a double, rounded the way spreadsheet programs show them.

// |value| = 0.d1 d2 d3 ... * 10^exponent, at most 15 significant digits,
// no trailing zeros; digits empty for zero.
struct Decimal
{
    QByteArray digits;
    int exponent = 0;
};

Decimal toDecimal(double value)
{
    Decimal d;
    value = std::fabs(value);
    if (value == 0.0 || !std::isfinite(value))
        return d;
    // d.dddddddddddddde+XX, rounded exactly as printf's "%.14e" rounds; a
    // page of figures formats many thousand values, and std::to_chars does
    // it without printf's parsing and locale.
    char buf[40];
    char *end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14).ptr;
    const char *e = std::find(buf, end, 'e');
    const char *last = e;
    while (last > buf + 2 && last[-1] == '0')
        --last;
    d.digits.reserve(last - buf);
    d.digits.append(buf[0]);
    d.digits.append(buf + 2, last - (buf + 2));
    int exponent = 0;
    for (const char *p = e + 2; p < end; ++p)
        exponent = exponent * 10 + (*p - '0');
    d.exponent = (e[1] == '-' ? -exponent : exponent) + 1;
    return d;
}

// Adds one to a string of decimal digits.
void incrementDigits(QByteArray &digits)
{
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
    digits.prepend('1');
}

// round(|value| * 10^decimals), half away from zero, as a digit string.
QByteArray roundedDigits(const Decimal &d, int decimals)
{
    const int keep = d.exponent + decimals;
    if (d.digits.isEmpty() || keep < 0)
        return QByteArrayLiteral("0");
    QByteArray out = d.digits.left(keep);
    while (out.size() < keep)
        out.append('0');
    if (keep < d.digits.size() && d.digits[keep] >= '5')
        incrementDigits(out);
    if (out.isEmpty())
        out = QByteArrayLiteral("0");
    return out;
}

// Splits round(|value| * 10^decimals) into integer digits (no leading zeros,
// "" for zero) and exactly `decimals` fraction digits.
void fixedParts(const Decimal &d, int decimals, QByteArray &integer, QByteArray &fraction)
{
    QByteArray all = roundedDigits(d, decimals);
    while (all.size() <= decimals)
        all.prepend('0');
    integer = all.left(all.size() - decimals);
    fraction = all.right(decimals);
    while (integer.startsWith('0'))
        integer.remove(0, 1);
}

QString groupDigits(const QByteArray &integer, const QString &group)
{
    QString out;
    const qsizetype n = integer.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += group;
        out += QLatin1Char(integer[i]);
    }
    return out;
}

// Mantissa digits (first digit, then `decimals` more) and power of ten of
// |value| in scientific form, rounded half away from zero.
void scientificParts(const Decimal &d, int decimals, QByteArray &mantissa, int &power)
{
    if (d.digits.isEmpty()) {
        mantissa = QByteArray(decimals + 1, '0');
        power = 0;
        return;
    }
    power = d.exponent - 1;
    Decimal shifted = d;
    shifted.exponent = 1;
    mantissa = roundedDigits(shifted, decimals);
    if (mantissa.size() > decimals + 1) { // 9.99 rounded up to 10.0
        mantissa.chop(1);
        ++power;
    }
}

QString exponentText(int power, int minDigits, bool alwaysSign)
{
    QString text = QString::number(std::abs(power)).rightJustified(minDigits, QLatin1Char('0'));
    if (power < 0)
        return QLatin1Char('-') + text;
    return alwaysSign ? QLatin1Char('+') + text : text;
}

// ---------------------------------------------------------------------------
// Format codes, compiled into sections of tokens.

enum class TokenKind { Literal, Number, At, General, DateCode, AmPm };

struct Token
{
    TokenKind kind = TokenKind::Literal;
    QString text; // literal text, or the date code in lower case ("dd", "mmm", "h")
};

struct NumberBlock
{
    int integerZeros = 0; // '0' placeholders before the decimal point
    int integerPlaces = 0; // all placeholders before the decimal point
    bool grouping = false;
    bool decimalPoint = false;
    QString fraction; // placeholders after the decimal point ('0', '#', '?')
    int scaleThousands = 0; // trailing commas divide by 1000 each
    bool scientific = false;
    int exponentDigits = 2;
    bool exponentSign = true; // E+ shows the plus sign, E- only the minus
};

struct Section
{
    std::vector<Token> tokens;
    NumberBlock number;
    bool hasNumber = false;
    bool hasDate = false;
    bool hasAt = false;
    bool hasGeneral = false;
    bool hasAmPm = false;
    int percent = 0;
};

bool isPlaceholder(QChar c)
{
    return c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char('?');
}

bool isDateLetter(QChar c)
{
    const QChar l = c.toLower();
    return l == QLatin1Char('y') || l == QLatin1Char('m') || l == QLatin1Char('d') || l == QLatin1Char('h')
        || l == QLatin1Char('s');
}

void addLiteral(Section &s, const QString &text)
{
    if (!s.tokens.empty() && s.tokens.back().kind == TokenKind::Literal)
        s.tokens.back().text += text;
    else
        s.tokens.push_back({TokenKind::Literal, text});
}

// Reads a run of number placeholders starting at i; returns the index after it.
qsizetype parseNumberRun(const QString &code, qsizetype i, Section &s)
{
    NumberBlock &b = s.number;
    bool afterPoint = false;
    int pendingCommas = 0;
    const qsizetype n = code.size();
    while (i < n) {
        const QChar c = code[i];
        if (isPlaceholder(c)) {
            if (pendingCommas > 0 && !afterPoint)
                b.grouping = true;
            pendingCommas = 0;
            if (afterPoint) {
                b.fraction += c;
            } else {
                ++b.integerPlaces;
                if (c == QLatin1Char('0'))
                    ++b.integerZeros;
            }
            ++i;
        } else if (c == QLatin1Char(',')) {
            ++pendingCommas;
            ++i;
        } else if (c == QLatin1Char('.') && !afterPoint) {
            if (pendingCommas > 0)
                b.scaleThousands += pendingCommas;
            pendingCommas = 0;
            afterPoint = true;
            b.decimalPoint = true;
            ++i;
        } else if ((c == QLatin1Char('E') || c == QLatin1Char('e')) && i + 1 < n
            && (code[i + 1] == QLatin1Char('+') || code[i + 1] == QLatin1Char('-'))) {
            b.scientific = true;
            b.exponentSign = code[i + 1] == QLatin1Char('+');
            i += 2;
            int digits = 0;
            while (i < n && isPlaceholder(code[i])) {
                ++digits;
                ++i;
            }
            b.exponentDigits = std::max(1, digits);
            break;
        } else {
            break;
        }
    }
    b.scaleThousands += pendingCommas;
    return i;
}

// A bracketed part at `start`; returns the index after it. Elapsed time
// ([h], [mm], [ss]) counts as a date code; colours, conditions and locale
// tags are not shown.
qsizetype parseBracket(const QString &code, qsizetype start, Section &s)
{
    const qsizetype n = code.size();
    const qsizetype end = code.indexOf(QLatin1Char(']'), start + 1);
    const QString inner = code.mid(start + 1, (end < 0 ? n : end) - start - 1).toLower();
    if (!inner.isEmpty() && isDateLetter(inner[0]) && inner.count(inner[0]) == inner.size()) {
        s.tokens.push_back({TokenKind::DateCode, inner});
        s.hasDate = true;
    }
    return end < 0 ? n : end + 1;
}

// "m" means minutes right after hours or right before seconds; such codes
// become "n" and "nn".
void markMinutes(Section &s)
{
    for (size_t t = 0; t < s.tokens.size(); ++t) {
        Token &tok = s.tokens[t];
        if (tok.kind != TokenKind::DateCode || !tok.text.startsWith(QLatin1Char('m')) || tok.text.size() > 2)
            continue;
        bool minutes = false;
        for (size_t p = t; p-- > 0;) {
            if (s.tokens[p].kind == TokenKind::DateCode) {
                minutes = s.tokens[p].text.contains(QLatin1Char('h'));
                break;
            }
        }
        for (size_t q = t + 1; !minutes && q < s.tokens.size(); ++q) {
            if (s.tokens[q].kind == TokenKind::DateCode) {
                minutes = s.tokens[q].text.contains(QLatin1Char('s'));
                break;
            }
        }
        if (minutes)
            tok.text = tok.text == QLatin1String("m") ? QStringLiteral("n") : QStringLiteral("nn");
    }
}

Section parseSection(const QString &code)
{
    Section s;
    const qsizetype n = code.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = code[i];
        if (c == QLatin1Char('"')) {
            const qsizetype end = code.indexOf(QLatin1Char('"'), i + 1);
            addLiteral(s, code.mid(i + 1, (end < 0 ? n : end) - i - 1));
            i = end < 0 ? n : end + 1;
        } else if (c == QLatin1Char('\\')) {
            if (i + 1 < n)
                addLiteral(s, QString(code[i + 1]));
            i += 2;
        } else if (c == QLatin1Char('_')) {
            addLiteral(s, QStringLiteral(" "));
            i += 2;
        } else if (c == QLatin1Char('*')) {
            i += 2;
        } else if (c == QLatin1Char('[')) {
            i = parseBracket(code, i, s);
        } else if (s.hasNumber == false
            && (isPlaceholder(c) || (c == QLatin1Char('.') && i + 1 < n && isPlaceholder(code[i + 1])))) {
            s.tokens.push_back({TokenKind::Number, QString()});
            s.hasNumber = true;
            i = parseNumberRun(code, i, s);
        } else if (c == QLatin1Char('%')) {
            ++s.percent;
            addLiteral(s, QStringLiteral("%"));
            ++i;
        } else if (c == QLatin1Char('@')) {
            s.tokens.push_back({TokenKind::At, QString()});
            s.hasAt = true;
            ++i;
        } else if (code.mid(i, 7).compare(QLatin1String("General"), Qt::CaseInsensitive) == 0) {
            s.tokens.push_back({TokenKind::General, QString()});
            s.hasGeneral = true;
            i += 7;
        } else if (code.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0) {
            s.tokens.push_back({TokenKind::AmPm, QStringLiteral("AM/PM")});
            s.hasAmPm = true;
            i += 5;
        } else if (code.mid(i, 3).compare(QLatin1String("A/P"), Qt::CaseInsensitive) == 0) {
            s.tokens.push_back({TokenKind::AmPm, QStringLiteral("A/P")});
            s.hasAmPm = true;
            i += 3;
        } else if (isDateLetter(c)) {
            const QChar l = c.toLower();
            qsizetype j = i;
            while (j < n && code[j].toLower() == l)
                ++j;
            s.tokens.push_back({TokenKind::DateCode, QString(j - i, l)});
            s.hasDate = true;
            i = j;
        } else {
            addLiteral(s, QString(c));
            ++i;
        }
    }
    markMinutes(s);
    return s;
}

// Splits a code at the section separators ";" outside quotes and brackets.
QStringList splitSections(const QString &code)
{
    QStringList parts;
    QString current;
    bool quoted = false;
    bool bracket = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == QLatin1Char('\\') && !quoted && i + 1 < code.size()) {
            current += c;
            current += code[++i];
            continue;
        }
        if (c == QLatin1Char('"') && !bracket)
            quoted = !quoted;
        else if (c == QLatin1Char('[') && !quoted)
            bracket = true;
        else if (c == QLatin1Char(']') && !quoted)
            bracket = false;
        if (c == QLatin1Char(';') && !quoted && !bracket) {
            parts.append(current);
            current.clear();
            continue;
        }
        current += c;
    }
    parts.append(current);
    return parts;
}

// Serial day number of the 1900 date system to date and time.
bool serialToDateTime(double serial, QDate &date, QTime &time)
{
    if (serial < 0 || serial > 2958465.999999) // 31.12.9999
        return false;
    qint64 days = qint64(std::floor(serial));
    qint64 seconds = std::llround((serial - double(days)) * 86400.0);
    if (seconds >= 86400) {
        ++days;
        seconds -= 86400;
    }
    // Day 60 is the 29th of February 1900 that the date system counts but
    // never was; days before it are one off from the usual origin.
    if (days < 60)
        date = QDate(1899, 12, 31).addDays(days);
    else if (days == 60)
        date = QDate(1900, 2, 28);
    else
        date = QDate(1899, 12, 30).addDays(days);
    time = QTime(0, 0).addSecs(int(seconds));
    return true;
}

} // namespace

struct NumberFormatter::Compiled
{
    std::vector<Section> sections;
};

NumberFormatter::NumberFormatter(const QLocale &locale)
    : m_locale(locale)
    , m_decimal(locale.decimalPoint())
    , m_group(locale.groupSeparator())
{ }

NumberFormatter::~NumberFormatter() = default;

const NumberFormatter::Compiled &NumberFormatter::compiled(const QString &formatCode) const
{
    const auto it = m_cache.constFind(formatCode);
    if (it != m_cache.constEnd())
        return **it;
    auto c = std::make_shared<Compiled>();
    for (const QString &part : splitSections(formatCode))
        c->sections.push_back(parseSection(part));
    m_cache.insert(formatCode, c);
    return *c;
}

bool NumberFormatter::isTextFormat(const QString &formatCode)
{
    return formatCode == QLatin1String("@");
}

bool NumberFormatter::isDateFormat(const QString &formatCode)
{
    const QStringList parts = splitSections(formatCode);
    return parseSection(parts.front()).hasDate;
}

namespace {

// "1.2345E+07": the significant digits of d with trailing zeros dropped, as
// the General and plain forms write a number too large or small for places.
QString scientificText(const Decimal &d, int digits, const QString &decimalSeparator)
{
    QByteArray mantissa;
    int power = 0;
    scientificParts(d, digits, mantissa, power);
    while (mantissa.size() > 1 && mantissa.endsWith('0'))
        mantissa.chop(1);
    QString text(1, QLatin1Char(mantissa[0]));
    if (mantissa.size() > 1)
        text += decimalSeparator + QString::fromLatin1(mantissa.mid(1));
    return text + QLatin1Char('E') + exponentText(power, 2, true);
}

} // namespace

QString NumberFormatter::plain(double value) const
{
    if (!std::isfinite(value))
        return QString();
    const Decimal d = toDecimal(value);
    if (d.digits.isEmpty())
        return QStringLiteral("0");
    const QString sign = value < 0 ? QStringLiteral("-") : QString();
    const int power = d.exponent - 1;
    if (power >= 15 || power < -4)
        return sign + scientificText(d, 14, m_decimal);
    QByteArray integer, fraction;
    fixedParts(d, std::max(0, 14 - power), integer, fraction);
    while (fraction.endsWith('0'))
        fraction.chop(1);
    QString text = sign + (integer.isEmpty() ? QStringLiteral("0") : QString::fromLatin1(integer));
    if (!fraction.isEmpty())
        text += m_decimal + QString::fromLatin1(fraction);
    return text;
}

QString NumberFormatter::general(double value) const
{
    if (!std::isfinite(value))
        return QString();
    const Decimal d = toDecimal(value);
    if (d.digits.isEmpty())
        return QStringLiteral("0");
    const QString sign = value < 0 ? QStringLiteral("-") : QString();
    const int power = d.exponent - 1;
    if (power >= 11 || power < -9)
        return sign + scientificText(d, 5, m_decimal);
    const int integerDigits = std::max(1, power + 1);
    QByteArray integer, fraction;
    fixedParts(d, std::max(0, 10 - integerDigits), integer, fraction);
    while (fraction.endsWith('0'))
        fraction.chop(1);
    if (integer.isEmpty() && fraction.isEmpty())
        return QStringLiteral("0");
    QString text = sign + (integer.isEmpty() ? QStringLiteral("0") : QString::fromLatin1(integer));
    if (!fraction.isEmpty())
        text += m_decimal + QString::fromLatin1(fraction);
    return text;
}

namespace {

QString renderNumberBlock(
    double value, const NumberBlock &b, const QString &decimalSep, const QString &groupSep, bool &roundsToZero)
{
    const Decimal d = toDecimal(value);
    QString out;
    if (b.scientific) {
        const int decimals = int(b.fraction.size());
        QByteArray mantissa;
        int power = 0;
        scientificParts(d, decimals, mantissa, power);
        // Placeholders before the point set the exponent step (##0.0E+0 shows
        // engineering notation).
        const int step = std::max(1, b.integerPlaces);
        int lead = 1;
        if (step > 1) {
            int adjust = power % step;
            if (adjust < 0)
                adjust += step;
            lead += adjust;
            power -= adjust;
        }
        roundsToZero = mantissa.count('0') == mantissa.size();
        QByteArray integer = mantissa.left(lead);
        while (integer.size() < lead)
            integer.append('0');
        QByteArray fraction = mantissa.mid(lead);
        out = QString::fromLatin1(integer);
        if (b.decimalPoint)
            out += decimalSep;
        for (qsizetype i = 0; i < b.fraction.size(); ++i) {
            const char digit = i < fraction.size() ? fraction[i] : '0';
            out += QLatin1Char(digit);
        }
        return out + QLatin1Char('E') + exponentText(power, b.exponentDigits, b.exponentSign);
    }

    const int maxDecimals = int(b.fraction.size());
    QByteArray integer, fraction;
    fixedParts(d, maxDecimals, integer, fraction);
    roundsToZero = integer.isEmpty() && fraction.count('0') == fraction.size();

    // Optional fraction digits ('#', '?') drop trailing zeros; '?' keeps a blank.
    QString fractionText;
    qsizetype keep = fraction.size();
    while (keep > 0 && fraction[keep - 1] == '0' && b.fraction[keep - 1] != QLatin1Char('0'))
        --keep;
    for (qsizetype i = 0; i < fraction.size(); ++i) {
        if (i < keep)
            fractionText += QLatin1Char(fraction[i]);
        else if (b.fraction[i] == QLatin1Char('?'))
            fractionText += QLatin1Char(' ');
    }

    while (integer.size() < b.integerZeros)
        integer.prepend('0');
    out = b.grouping ? groupDigits(integer, groupSep) : QString::fromLatin1(integer);
    if (b.decimalPoint)
        out += decimalSep + fractionText;
    return out;
}

} // namespace

namespace {

// Sections: one for all numbers; positive;negative; positive;negative;zero.
// A text section (fourth, or the only one holding "@") is not for numbers.
// Null when no section is for numbers; `autoMinus` says whether the section
// leaves the minus sign to be added.
const Section *sectionFor(const std::vector<Section> &sections, double value, bool &autoMinus)
{
    std::vector<const Section *> numeric;
    for (const Section &s : sections) {
        if (numeric.size() < 3 && !(s.hasAt && !s.hasNumber && !s.hasGeneral))
            numeric.push_back(&s);
    }
    autoMinus = true;
    if (numeric.empty())
        return nullptr;
    if (value < 0 && numeric.size() >= 2) {
        autoMinus = false;
        return numeric[1];
    }
    if (value == 0 && numeric.size() >= 3)
        return numeric[2];
    return numeric[0];
}

// A number as one digit or more ("h", "n", "s"), or as at least two ("hh").
QString timeUnitText(int value, int codeLength)
{
    return codeLength >= 2 ? QString::number(value).rightJustified(2, QLatin1Char('0')) : QString::number(value);
}

// "m" 1, "mm" 01, "mmm" the short name, "mmmmm" its first letter, else the full name.
QString monthText(const QDate &date, int codeLength, const QLocale &locale)
{
    if (codeLength <= 2)
        return timeUnitText(date.month(), codeLength);
    if (codeLength == 3)
        return locale.monthName(date.month(), QLocale::ShortFormat);
    if (codeLength == 5)
        return locale.monthName(date.month(), QLocale::LongFormat).left(1);
    return locale.monthName(date.month(), QLocale::LongFormat);
}

// "d" 1, "dd" 01, "ddd" the short weekday name, else the full one.
QString dayText(const QDate &date, int codeLength, const QLocale &locale)
{
    if (codeLength <= 2)
        return timeUnitText(date.day(), codeLength);
    if (codeLength == 3)
        return locale.dayName(date.dayOfWeek(), QLocale::ShortFormat);
    return locale.dayName(date.dayOfWeek(), QLocale::LongFormat);
}

// One date code ("yyyy", "mm", "hh", "nn" for minutes, ...) of a moment.
QString dateCodeText(const QString &code, const QDate &date, const QTime &time, bool amPm, const QLocale &locale)
{
    const QChar k = code[0];
    const int len = int(code.size());
    if (k == QLatin1Char('y'))
        return len <= 2 ? QString::number(date.year() % 100).rightJustified(2, QLatin1Char('0'))
                        : QString::number(date.year());
    if (k == QLatin1Char('m'))
        return monthText(date, len, locale);
    if (k == QLatin1Char('d'))
        return dayText(date, len, locale);
    if (k == QLatin1Char('h')) {
        int hour = time.hour();
        if (amPm) {
            hour %= 12;
            if (hour == 0)
                hour = 12;
        }
        return timeUnitText(hour, len);
    }
    if (k == QLatin1Char('n'))
        return timeUnitText(time.minute(), len);
    if (k == QLatin1Char('s'))
        return timeUnitText(time.second(), len);
    return QString();
}

// A serial date number under a date section; "#" filled when the date
// system cannot show it.
QString dateText(const Section &section, double value, const QLocale &locale)
{
    QDate date;
    QTime time;
    if (value < 0 || !serialToDateTime(std::fabs(value), date, time))
        return QString(11, QLatin1Char('#'));
    QString out;
    for (const Token &t : section.tokens) {
        switch (t.kind) {
        case TokenKind::Literal:
            out += t.text;
            break;
        case TokenKind::AmPm:
            if (t.text == QLatin1String("A/P"))
                out += time.hour() < 12 ? QStringLiteral("A") : QStringLiteral("P");
            else
                out += time.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
            break;
        case TokenKind::DateCode:
            out += dateCodeText(t.text, date, time, section.hasAmPm, locale);
            break;
        default:
            break;
        }
    }
    return out;
}

} // namespace

QString NumberFormatter::format(double value, const QString &formatCode) const
{
    if (!std::isfinite(value))
        return QString();
    if (formatCode.isEmpty() || formatCode.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0
        || formatCode == QLatin1String("@"))
        return general(value);

    bool autoMinus = true;
    const Section *section = sectionFor(compiled(formatCode).sections, value, autoMinus);
    if (!section)
        return general(value);
    if (section->hasDate)
        return dateText(*section, value, m_locale);

    double magnitude = std::fabs(value);
    for (int p = 0; p < section->percent; ++p)
        magnitude *= 100.0;
    for (int k = 0; k < section->number.scaleThousands; ++k)
        magnitude /= 1000.0;

    QString body;
    bool roundsToZero = magnitude == 0.0;
    for (const Token &t : section->tokens) {
        switch (t.kind) {
        case TokenKind::Literal:
            body += t.text;
            break;
        case TokenKind::Number:
            body += renderNumberBlock(magnitude, section->number, m_decimal, m_group, roundsToZero);
            break;
        case TokenKind::General: {
            const QString g = general(magnitude);
            roundsToZero = g == QLatin1String("0");
            body += g;
            break;
        }
        default:
            break;
        }
    }
    if (value < 0 && autoMinus && !roundsToZero)
        body.prepend(QLatin1Char('-'));
    return body;
}

QString NumberFormatter::formatText(const QString &text, const QString &formatCode) const
{
    if (formatCode.isEmpty() || !formatCode.contains(QLatin1Char('@')))
        return text;
    const Compiled &c = compiled(formatCode);
    const Section *section = nullptr;
    if (c.sections.size() >= 4)
        section = &c.sections[3];
    else if (c.sections.size() == 1 && c.sections[0].hasAt)
        section = &c.sections[0];
    if (!section)
        return text;
    QString out;
    for (const Token &t : section->tokens) {
        if (t.kind == TokenKind::Literal)
            out += t.text;
        else if (t.kind == TokenKind::At)
            out += text;
    }
    return out;
}

} // namespace tannbuch
