#pragma once

#include "workbook/cells/Cell.h"

#include <QLocale>
#include <QString>
#include <QStringView>
#include <QVariant>

#include <optional>

class QDateTime;

namespace tannbuch {

// What a value written to a cell becomes, by the rules a spreadsheet program
// applies when a program assigns a cell's value:
// - numbers stay numbers, booleans booleans; NaN and infinity are refused;
// - dates and times become serial day numbers (the cell then needs a date
//   format when it shows General);
// - a text starting with an apostrophe is the rest of the text, kept as text
//   (quote prefix), so "'0,95" shows 0,95 and "'" alone is an empty text;
// - in a cell not formatted as text ("@"), a text that is, trimmed, a plain
//   decimal number of the locale (optional sign, digits, at most one decimal
//   separator, no grouping, no exponent) becomes that number, so a lot "1" or
//   a log number "0" lands as a number; numbers with more than 15 significant
//   digits stay text, since a number cell would lose their last digits;
// - a text starting with "=" stays text: database content never becomes a
//   formula (formulas are set only as formulas);
// - every other text stays text, cut to the longest text a cell holds;
// - an empty text or a null value clears the cell's value.
class CellValueConversion
{
public:
    struct Converted
    {
        CellType type = CellType::Empty;
        double number = 0.0;
        QString text;
        // Keep the text as text when the cell is edited (apostrophe, "=").
        bool quotePrefix = false;
        // The text was longer than a cell holds and was cut.
        bool truncated = false;
        // A date or time: the cell wants a date format; this one.
        QString dateFormat;
    };

    // Converts a value for a cell; textFormat tells whether the cell's number
    // format is "@". Throws WorkbookError for NaN, infinity and values of
    // types a cell cannot hold.
    static Converted convert(const QVariant &value, bool textFormat, const QLocale &locale);
    // The text rules alone (apostrophe, number recognition, "=", length).
    static Converted convertText(const QString &text, bool textFormat, const QLocale &locale);

    // The number a trimmed text stands for when it is a plain decimal number
    // of the locale with at most 15 significant digits; nullopt otherwise.
    static std::optional<double> parsePlainNumber(QStringView text, const QLocale &locale);

    // Serial day number (days since 30.12.1899, the time as fraction of a day)
    // of a date and time; nullopt before 1900 or after 9999.
    static std::optional<double> serialDate(const QDateTime &dateTime);

    // A cell's value as a variant: double, bool, QString (an error value as
    // its code, "#DIV/0!") or invalid for empty. A formula gives its cached
    // value.
    static QVariant toVariant(const Cell &cell);
    // A cell's value as text, trimmed: numbers in their plain form in the
    // locale (12 gives "12", 1.5 gives "1,5" under German), booleans as the
    // German spreadsheet shows them (WAHR/FALSCH) or TRUE/FALSE in other
    // languages, texts as they are, error values as their code ("#DIV/0!"),
    // a formula its cached value.
    static QString toText(const Cell &cell, const QLocale &locale);
    // The text a boolean shows in the locale.
    static QString booleanText(bool value, const QLocale &locale);
};

} // namespace tannbuch
