#include "StartupCheck.h"

#include "app/StartupValues.h"

namespace tannbuch {

namespace {

// Longest part of a refused value that a message repeats.
constexpr qsizetype ShownValueLimit = 60;

// Only ASCII digits with an optional leading minus: other scripts' digits
// are digits to Unicode, but not to the database.
bool isDigits(const QString &text)
{
    const qsizetype start = text.startsWith(u'-') ? 1 : 0;
    if (text.size() == start)
        return false;
    for (qsizetype i = start; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return false;
    }
    return true;
}

bool fitsInt(const QString &digits)
{
    bool fits = false;
    digits.toInt(&fits);
    return fits;
}

bool isBusinessYearColumn(const QString &upper)
{
    for (QChar c : upper) {
        if (c.unicode() > 127)
            return false;
    }
    if (!upper.startsWith(QLatin1String("RELTABLE")))
        return false;
    const QString number = upper.mid(8);
    for (int i = 1; i <= 10; ++i) {
        if (number == QString::number(i))
            return true;
    }
    return false;
}

QString shown(const QString &value)
{
    if (value.size() <= ShownValueLimit)
        return value;
    return value.left(ShownValueLimit) + QStringLiteral(" …");
}

QString refusal(const QString &field, const QString &value, const QString &expected)
{
    return QStringLiteral("Ungültige Angabe für %1: „%2“. Erwartet wird %3. Es wurde nichts aus der Datenbank gelesen.")
        .arg(field, shown(value), expected);
}

} // namespace

std::optional<QString> CheckStartupValues(StartupValues &values)
{
    // A number of digits alone that does not fit is refused as too large, not
    // as something other than digits.
    const auto numberProblem = [](const QString &field, const QString &value) -> std::optional<QString> {
        if (value.isEmpty() || (isDigits(value) && fitsInt(value)))
            return std::nullopt;
        if (isDigits(value))
            return refusal(field, value,
                QStringLiteral("eine ganze Zahl von -2147483648 bis 2147483647; diese Zahl ist zu %1")
                    .arg(value.startsWith(u'-') ? QStringLiteral("klein") : QStringLiteral("groß")));
        return refusal(field, value, QStringLiteral("eine ganze Zahl (nur Ziffern 0 bis 9)"));
    };
    if (auto problem = numberProblem(QStringLiteral("die Zugriffsstufe (AL)"), values.accessLevelId))
        return problem;
    if (auto problem = numberProblem(QStringLiteral("die Listenart"), values.listTypeNumber))
        return problem;
    const QString column = values.businessYearColumn.toUpper();
    if (!column.isEmpty() && !isBusinessYearColumn(column))
        return refusal(QStringLiteral("die Geschäftsjahresspalte (RELTABLE)"), values.businessYearColumn,
            QStringLiteral("RELTABLE1 bis RELTABLE10"));
    values.businessYearColumn = column;
    return std::nullopt;
}

} // namespace tannbuch
