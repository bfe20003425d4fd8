#include "FormulaReferences.h"

#include "CellAddress.h"
#include "SheetLimits.h"

namespace {

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Characters that continue a name (function, defined name, sheet name).
bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('.') || c == QLatin1Char('\\')
        || c == QLatin1Char('?');
}

// One side of a reference as it stands in the text: "$A$1", "B7", "C", "$12".
struct RefPart
{
    bool hasColumn = false;
    bool columnFixed = false;
    int column = 0;
    bool hasRow = false;
    bool rowFixed = false;
    int row = 0;
    qsizetype end = 0; // index after the part
};

// Reads "[$]letters[$]digits" (or only letters, or only digits) at pos.
// Returns false when the text there is no such part.
bool readPart(const QString &f, qsizetype pos, RefPart &part)
{
    qsizetype i = pos;
    const qsizetype n = f.size();
    part = RefPart();
    bool dollar = false;
    if (i < n && f[i] == QLatin1Char('$')) {
        dollar = true;
        ++i;
    }
    const qsizetype letters = i;
    while (i < n && isAsciiLetter(f[i]) && i - letters < 4)
        ++i;
    if (i > letters) {
        const int column = CellAddress::columnIndex(QStringView(f).mid(letters, i - letters));
        if (column == 0)
            return false;
        part.hasColumn = true;
        part.columnFixed = dollar;
        part.column = column;
        dollar = false;
        if (i < n && f[i] == QLatin1Char('$')) {
            dollar = true;
            ++i;
        }
    }
    const qsizetype digits = i;
    qint64 row = 0;
    while (i < n && isDigit(f[i])) {
        row = row * 10 + (f[i].unicode() - '0');
        if (row > SheetLimits::MaxRows)
            return false;
        ++i;
    }
    if (i > digits) {
        if (row < 1)
            return false;
        part.hasRow = true;
        part.rowFixed = dollar;
        part.row = int(row);
    } else if (dollar) {
        return false; // a "$" with nothing after it
    }
    if (!part.hasColumn && !part.hasRow)
        return false;
    part.end = i;
    return true;
}

// Moves the relative parts; false when the result leaves the sheet.
bool movePart(RefPart &part, int rowOffset, int columnOffset)
{
    if (part.hasColumn && !part.columnFixed) {
        part.column += columnOffset;
        if (part.column < 1 || part.column > SheetLimits::MaxColumns)
            return false;
    }
    if (part.hasRow && !part.rowFixed) {
        part.row += rowOffset;
        if (part.row < 1 || part.row > SheetLimits::MaxRows)
            return false;
    }
    return true;
}

void appendPart(QString &out, const RefPart &part)
{
    if (part.hasColumn) {
        if (part.columnFixed)
            out += QLatin1Char('$');
        out += CellAddress::columnLetters(part.column);
    }
    if (part.hasRow) {
        if (part.rowFixed)
            out += QLatin1Char('$');
        out += QString::number(part.row);
    }
}

// A reference ends where no name character, "(" or "!" follows: "A1(" is a
// function, "A1!" a sheet name, "A1B" a defined name.
bool endsReference(const QString &f, qsizetype end)
{
    if (end >= f.size())
        return true;
    const QChar c = f[end];
    return !(isNameChar(c) || c == QLatin1Char('(') || c == QLatin1Char('!') || c == QLatin1Char('$'));
}

} // namespace

QString FormulaReferences::shift(const QString &formula, int rowOffset, int columnOffset)
{
    if (rowOffset == 0 && columnOffset == 0)
        return formula;

    QString out;
    out.reserve(formula.size() + 8);
    const qsizetype n = formula.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = formula[i];

        // Texts in double quotes ("" inside stands for one quote) stay as they are.
        if (c == QLatin1Char('"')) {
            qsizetype j = i + 1;
            while (j < n) {
                if (formula[j] == QLatin1Char('"')) {
                    if (j + 1 < n && formula[j + 1] == QLatin1Char('"')) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += QStringView(formula).mid(i, qMin(j + 1, n) - i);
            i = j + 1;
            continue;
        }
        // Quoted sheet names ('Liste 2'!A1): the name stays, the reference after "!" moves.
        if (c == QLatin1Char('\'')) {
            qsizetype j = i + 1;
            while (j < n) {
                if (formula[j] == QLatin1Char('\'')) {
                    if (j + 1 < n && formula[j + 1] == QLatin1Char('\'')) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += QStringView(formula).mid(i, qMin(j + 1, n) - i);
            i = j + 1;
            continue;
        }
        // Structured references and external workbook indexes ([1]Blatt!A1, Tabelle[Spalte]).
        if (c == QLatin1Char('[')) {
            int depth = 0;
            qsizetype j = i;
            while (j < n) {
                if (formula[j] == QLatin1Char('['))
                    ++depth;
                else if (formula[j] == QLatin1Char(']') && --depth == 0)
                    break;
                ++j;
            }
            out += QStringView(formula).mid(i, qMin(j + 1, n) - i);
            i = j + 1;
            continue;
        }
        // Error literals such as #REF! or #N/A.
        if (c == QLatin1Char('#')) {
            qsizetype j = i + 1;
            while (j < n && (isNameChar(formula[j]) || formula[j] == QLatin1Char('/')))
                ++j;
            if (j < n && (formula[j] == QLatin1Char('!') || formula[j] == QLatin1Char('?')))
                ++j;
            out += QStringView(formula).mid(i, j - i);
            i = j;
            continue;
        }

        const bool startsToken = i == 0 || !(isNameChar(formula[i - 1]) || formula[i - 1] == QLatin1Char('$'));
        if (startsToken && (c == QLatin1Char('$') || isAsciiLetter(c) || isDigit(c))) {
            RefPart first;
            if (readPart(formula, i, first)) {
                // A range of two parts: A1:B2, A:C (whole columns), 3:8 (whole rows).
                RefPart second;
                bool range = false;
                if (first.end < n && formula[first.end] == QLatin1Char(':') && readPart(formula, first.end + 1, second)
                    && endsReference(formula, second.end)) {
                    const bool bothCells = first.hasColumn && first.hasRow && second.hasColumn && second.hasRow;
                    const bool bothColumns = first.hasColumn && !first.hasRow && second.hasColumn && !second.hasRow;
                    const bool bothRows = !first.hasColumn && first.hasRow && !second.hasColumn && second.hasRow;
                    range = bothCells || bothColumns || bothRows;
                }
                if (range) {
                    const bool ok
                        = movePart(first, rowOffset, columnOffset) && movePart(second, rowOffset, columnOffset);
                    if (ok) {
                        appendPart(out, first);
                        out += QLatin1Char(':');
                        appendPart(out, second);
                    } else {
                        out += QStringLiteral("#REF!");
                    }
                    i = second.end;
                    continue;
                }
                if (first.hasColumn && first.hasRow && endsReference(formula, first.end)) {
                    if (movePart(first, rowOffset, columnOffset))
                        appendPart(out, first);
                    else
                        out += QStringLiteral("#REF!");
                    i = first.end;
                    continue;
                }
            }
            // Not a reference: copy the whole name or number, so that its tail
            // ("E5" of 1E5, "10" of LOG10) is not taken for one.
            qsizetype j = i + 1;
            if (isDigit(c)) {
                while (j < n && (isDigit(formula[j]) || formula[j] == QLatin1Char('.')))
                    ++j;
                if (j < n && (formula[j] == QLatin1Char('E') || formula[j] == QLatin1Char('e'))) {
                    qsizetype k = j + 1;
                    if (k < n && (formula[k] == QLatin1Char('+') || formula[k] == QLatin1Char('-')))
                        ++k;
                    if (k < n && isDigit(formula[k])) {
                        j = k;
                        while (j < n && isDigit(formula[j]))
                            ++j;
                    }
                }
            } else {
                while (j < n && (isNameChar(formula[j]) || formula[j] == QLatin1Char('$')))
                    ++j;
            }
            out += QStringView(formula).mid(i, j - i);
            i = j;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}
