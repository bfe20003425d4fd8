#pragma once

#include <QHash>
#include <QLocale>
#include <QString>

#include <memory>

namespace tannbuch {

// Turns cell values into the text a spreadsheet program shows for them under a
// number format code ("0.000", "0.0%", "@", "General", "dd.mm.yyyy", ...), in
// a given locale: the format's "." becomes the locale's decimal separator and
// its "," the locale's group separator. Used for AutoFit, for the displayed
// text of a cell and by the report window.
//
// Understood: up to four sections (positive;negative;zero;text), digit
// placeholders 0 # ?, decimal point, thousands grouping and scaling commas,
// percent, scientific E+00, quoted and escaped literals, "_x" spacing, "@",
// "General", and date/time codes (d m y h s AM/PM) for serial date numbers.
// Colours, conditions and locale tags in brackets are skipped. Rounding is
// half away from zero on the value's 15 significant digits, as spreadsheet
// programs do. Never fails: an unusable format shows the General form.
class NumberFormatter
{
public:
    explicit NumberFormatter(const QLocale &locale = QLocale::c());
    ~NumberFormatter();
    NumberFormatter(const NumberFormatter &) = delete;
    NumberFormatter &operator=(const NumberFormatter &) = delete;

    const QLocale &locale() const { return m_locale; }

    // The displayed text of a number under the format code.
    QString format(double value, const QString &formatCode) const;
    // The displayed text of a text under the format code: the text section
    // (or a lone "@" section) with "@" replaced by the text; else the text.
    QString formatText(const QString &text, const QString &formatCode) const;
    // The General form as a standard-width column shows it: at most 11
    // characters, scientific notation for numbers that do not fit.
    QString general(double value) const;
    // The value with up to 15 significant digits and no grouping (1.5 gives
    // "1,5" under a German locale); what a cell's value reads as text.
    QString plain(double value) const;

    // True for format codes that show the value as text ("@").
    static bool isTextFormat(const QString &formatCode);
    // True for format codes with date or time parts.
    static bool isDateFormat(const QString &formatCode);

    struct Compiled;

private:
    const Compiled &compiled(const QString &formatCode) const;

    QLocale m_locale;
    QString m_decimal;
    QString m_group;
    mutable QHash<QString, std::shared_ptr<const Compiled>> m_cache;
};

} // namespace tannbuch
