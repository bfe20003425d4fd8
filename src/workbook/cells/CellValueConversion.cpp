#include "CellValueConversion.h"

#include "text/NumberFormatter.h"
#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/WorkbookError.h"

#include <QDateTime>
#include <QMetaType>

#include <cmath>

namespace tannbuch {

namespace {

constexpr int MaxSignificantDigits = 15;

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

QString cutToCellLength(const QString &text, bool &truncated)
{
    truncated = text.size() > SheetLimits::MaxTextLength;
    if (!truncated)
        return text;
    qsizetype length = SheetLimits::MaxTextLength;
    // Never split a surrogate pair: half a character is not valid text.
    if (text.at(length - 1).isHighSurrogate())
        --length;
    return text.left(length);
}

CellValueConversion::Converted numberValue(double value, bool textFormat, const QLocale &locale)
{
    if (!std::isfinite(value))
        throw WorkbookError(
            QStringLiteral("Der Wert ist keine gültige Zahl und kann nicht in eine Zelle geschrieben werden."));
    CellValueConversion::Converted c;
    if (value == 0.0)
        value = 0.0; // no negative zero in the file
    if (textFormat) {
        // A cell formatted as text keeps what it is given as text.
        c.type = CellType::Text;
        c.text = NumberFormatter(locale).plain(value);
        return c;
    }
    c.type = CellType::Number;
    c.number = value;
    return c;
}

CellValueConversion::Converted booleanValue(bool value, bool textFormat, const QLocale &locale)
{
    CellValueConversion::Converted c;
    if (textFormat) {
        c.type = CellType::Text;
        c.text = CellValueConversion::booleanText(value, locale);
    } else {
        c.type = CellType::Boolean;
        c.number = value ? 1.0 : 0.0;
    }
    return c;
}

// A time of day is the fraction of a day, shown as a time.
CellValueConversion::Converted timeValue(const QTime &t, bool textFormat)
{
    CellValueConversion::Converted c;
    if (!t.isValid())
        return c;
    if (textFormat) {
        c.type = CellType::Text;
        c.text = t.toString(QStringLiteral("HH:mm:ss"));
        return c;
    }
    c.type = CellType::Number;
    c.number = t.msecsSinceStartOfDay() / 86400000.0;
    c.dateFormat = QStringLiteral("hh:mm:ss");
    return c;
}

// A date, or a date with a time: its serial number shown in `format`, or
// `textForm` as text.
CellValueConversion::Converted dateValue(
    const QDateTime &dt, const QString &format, const QString &textForm, bool textFormat)
{
    CellValueConversion::Converted c;
    const auto serial = CellValueConversion::serialDate(dt);
    if (textFormat || !serial) {
        // A date the date system cannot hold is kept as its text.
        if (dt.isValid()) {
            c.type = CellType::Text;
            c.text = textForm;
        }
        return c;
    }
    c.type = CellType::Number;
    c.number = *serial;
    c.dateFormat = format;
    return c;
}

// A date time at midnight is shown as a date alone.
CellValueConversion::Converted dateTimeValue(const QDateTime &dt, bool textFormat)
{
    const bool midnight = dt.time() == QTime(0, 0);
    const QString format = midnight ? QStringLiteral("dd.mm.yyyy") : QStringLiteral("dd.mm.yyyy hh:mm");
    const QString textForm = dt.toString(midnight ? QStringLiteral("dd.MM.yyyy") : QStringLiteral("dd.MM.yyyy HH:mm"));
    return dateValue(dt, format, textForm, textFormat);
}

} // namespace

std::optional<double> CellValueConversion::parsePlainNumber(QStringView text, const QLocale &locale)
{
    text = text.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    const QString decimal = locale.decimalPoint();
    const bool negative = text[0] == QLatin1Char('-');
    const qsizetype first = (negative || text[0] == QLatin1Char('+')) ? 1 : 0;

    // Check first, without building anything: most texts fail at once.
    // Significant digits: leading zeros of the number and trailing zeros of
    // the fraction carry no information.
    int digitCount = 0;
    int significant = 0;
    int trailingZeros = 0;
    qsizetype separatorAt = -1;
    for (qsizetype i = first; i < text.size(); ++i) {
        const QChar c = text[i];
        if (isAsciiDigit(c)) {
            ++digitCount;
            if (c != QLatin1Char('0') || significant > 0) {
                ++significant;
                trailingZeros = c == QLatin1Char('0') ? trailingZeros + 1 : 0;
            }
        } else if (separatorAt < 0 && !decimal.isEmpty() && text.mid(i).startsWith(decimal)) {
            separatorAt = i;
            trailingZeros = 0;
            i += decimal.size() - 1;
        } else {
            return std::nullopt;
        }
    }
    if (digitCount == 0)
        return std::nullopt;
    if (significant - (separatorAt >= 0 ? trailingZeros : 0) > MaxSignificantDigits)
        return std::nullopt;

    QByteArray ascii;
    ascii.reserve(text.size() + 2);
    if (negative)
        ascii.append('-');
    ascii.append('0'); // "0,5" for ",5"; harmless before other digits
    for (qsizetype i = first; i < text.size(); ++i) {
        if (i == separatorAt) {
            ascii.append('.');
            i += decimal.size() - 1;
        } else {
            ascii.append(char(text[i].unicode()));
        }
    }
    bool ok = false;
    double value = QLocale::c().toDouble(QLatin1StringView(ascii), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    if (value == 0.0)
        value = 0.0;
    return value;
}

std::optional<double> CellValueConversion::serialDate(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return std::nullopt;
    const QDate date = dateTime.date();
    if (date.year() < 1900 || date.year() > 9999)
        return std::nullopt;
    // The date system counts a 29th of February 1900 that never was, so dates
    // before March 1900 are one day off from the usual origin.
    const QDate origin = date < QDate(1900, 3, 1) ? QDate(1899, 12, 31) : QDate(1899, 12, 30);
    const double days = double(origin.daysTo(date));
    return days + dateTime.time().msecsSinceStartOfDay() / 86400000.0;
}

CellValueConversion::Converted CellValueConversion::convertText(
    const QString &text, bool textFormat, const QLocale &locale)
{
    Converted c;
    if (text.isEmpty())
        return c;
    if (text.startsWith(QLatin1Char('\''))) {
        c.type = CellType::Text;
        c.text = cutToCellLength(text.mid(1), c.truncated);
        c.quotePrefix = true;
        return c;
    }
    if (!textFormat) {
        if (const auto number = parsePlainNumber(text, locale)) {
            c.type = CellType::Number;
            c.number = *number;
            return c;
        }
    }
    c.type = CellType::Text;
    c.text = cutToCellLength(text, c.truncated);
    // Editing the cell later must not turn it into a formula either.
    c.quotePrefix = text.startsWith(QLatin1Char('=')) && !textFormat;
    return c;
}

CellValueConversion::Converted CellValueConversion::convert(
    const QVariant &value, bool textFormat, const QLocale &locale)
{
    if (!value.isValid() || value.isNull())
        return Converted();
    switch (value.typeId()) {
    case QMetaType::Bool:
        return booleanValue(value.toBool(), textFormat, locale);
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Double:
    case QMetaType::Float:
        return numberValue(value.toDouble(), textFormat, locale);
    case QMetaType::QString:
        return convertText(value.toString(), textFormat, locale);
    case QMetaType::QChar:
        return convertText(QString(value.toChar()), textFormat, locale);
    case QMetaType::QByteArray:
        return convertText(QString::fromUtf8(value.toByteArray()), textFormat, locale);
    case QMetaType::QDate:
        return dateValue(QDateTime(value.toDate(), QTime(0, 0)), QStringLiteral("dd.mm.yyyy"),
            value.toDate().toString(QStringLiteral("dd.MM.yyyy")), textFormat);
    case QMetaType::QDateTime:
        return dateTimeValue(value.toDateTime(), textFormat);
    case QMetaType::QTime:
        return timeValue(value.toTime(), textFormat);
    default:
        if (value.canConvert<QString>())
            return convertText(value.toString(), textFormat, locale);
        throw WorkbookError(QStringLiteral("Ein Wert vom Typ \"%1\" kann nicht in eine Zelle geschrieben werden.")
                                .arg(QString::fromLatin1(value.typeName())));
    }
}

QVariant CellValueConversion::toVariant(const Cell &cell)
{
    const CellType type = cell.type == CellType::Formula ? cell.cachedType : cell.type;
    switch (type) {
    case CellType::Number:
        return cell.number;
    case CellType::Boolean:
        return cell.number != 0.0;
    case CellType::Text:
    case CellType::Error:
        return cell.text;
    default:
        return QVariant();
    }
}

QString CellValueConversion::booleanText(bool value, const QLocale &locale)
{
    if (locale.language() == QLocale::German)
        return value ? QStringLiteral("WAHR") : QStringLiteral("FALSCH");
    return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

QString CellValueConversion::toText(const Cell &cell, const QLocale &locale)
{
    const CellType type = cell.type == CellType::Formula ? cell.cachedType : cell.type;
    switch (type) {
    case CellType::Number:
        return NumberFormatter(locale).plain(cell.number);
    case CellType::Boolean:
        return booleanText(cell.number != 0.0, locale);
    case CellType::Text:
        return cell.text.trimmed();
    case CellType::Error:
        return cell.text;
    default:
        return QString();
    }
}

} // namespace tannbuch
