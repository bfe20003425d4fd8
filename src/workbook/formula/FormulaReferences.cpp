#include "FormulaReferences.h"

#include "workbook/cells/CellAddress.h"
#include "workbook/cells/SheetLimits.h"

#include <algorithm>

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

// A reference found in a formula: one cell, or a range of two cells, two
// whole columns or two whole rows, and the sheet name written before it.
struct Reference
{
    RefPart first;
    RefPart second;
    bool range = false;
    bool qualified = false; // a sheet name stands before it ("Blatt!A1")
    bool foreign = false; // that name is of another workbook or spans sheets ("[1]Blatt!A1")
    QString sheet; // the sheet name, without quotes
};

// What an edit did to a reference.
enum class Edit { Keep, Changed, Gone };

// The sheet name read just before a "!", for the reference that follows it.
struct Qualifier
{
    qsizetype at = -1; // where the reference it belongs to starts
    QString sheet;
    bool foreign = false;
};

// The name in a quoted sheet name: 'Liste ''A''' names Liste 'A'.
QString unquoted(QStringView quoted)
{
    QString name = quoted.mid(1, quoted.size() - 2).toString();
    name.replace(QLatin1String("''"), QLatin1String("'"));
    return name;
}

// Copies the formula and hands every cell reference to `edit`, which may
// change its parts; a reference it reports gone becomes "#REF!", one it
// keeps is copied as it was written. Texts in quotes, sheet names, function
// names, defined names, numbers and error literals are copied unchanged.
template <typename EditFunction> QString rewriteReferences(const QString &formula, EditFunction edit)
{
    QString out;
    out.reserve(formula.size() + 8);
    const qsizetype n = formula.size();
    Qualifier qualifier;
    // A name or quoted name that ends right before "!" is a sheet name.
    const auto noteSheetName = [&](qsizetype start, qsizetype end, const QString &sheet) {
        if (end >= n || formula[end] != QLatin1Char('!'))
            return;
        qualifier.at = end + 1;
        qualifier.sheet = sheet;
        // Sheet names hold neither "[" nor ":"; with them, or after "]" or
        // ":", the name is of another workbook or a span of sheets.
        qualifier.foreign = sheet.contains(QLatin1Char('[')) || sheet.contains(QLatin1Char(':'))
            || (start > 0 && (formula[start - 1] == QLatin1Char(']') || formula[start - 1] == QLatin1Char(':')));
    };
    const auto handOver = [&](Reference &r, qsizetype start, qsizetype end) {
        if (qualifier.at == start) {
            r.qualified = true;
            r.sheet = qualifier.sheet;
            r.foreign = qualifier.foreign;
        }
        switch (edit(r)) {
        case Edit::Keep:
            out += QStringView(formula).mid(start, end - start);
            break;
        case Edit::Changed:
            appendPart(out, r.first);
            if (r.range) {
                out += QLatin1Char(':');
                appendPart(out, r.second);
            }
            break;
        case Edit::Gone:
            out += QStringLiteral("#REF!");
            break;
        }
    };

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
        // Quoted sheet names ('Liste 2'!A1): the name stays, the reference after "!" is read.
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
            const qsizetype end = qMin(j + 1, n);
            out += QStringView(formula).mid(i, end - i);
            noteSheetName(i, end, unquoted(QStringView(formula).mid(i, end - i)));
            i = end;
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
            Reference r;
            if (readPart(formula, i, r.first)) {
                // A range of two parts: A1:B2, A:C (whole columns), 3:8 (whole rows).
                if (r.first.end < n && formula[r.first.end] == QLatin1Char(':')
                    && readPart(formula, r.first.end + 1, r.second) && endsReference(formula, r.second.end)) {
                    const RefPart &a = r.first;
                    const RefPart &b = r.second;
                    const bool bothCells = a.hasColumn && a.hasRow && b.hasColumn && b.hasRow;
                    const bool bothColumns = a.hasColumn && !a.hasRow && b.hasColumn && !b.hasRow;
                    const bool bothRows = !a.hasColumn && a.hasRow && !b.hasColumn && b.hasRow;
                    r.range = bothCells || bothColumns || bothRows;
                }
                if (r.range) {
                    const qsizetype end = r.second.end;
                    handOver(r, i, end);
                    i = end;
                    continue;
                }
                if (r.first.hasColumn && r.first.hasRow && endsReference(formula, r.first.end)) {
                    const qsizetype end = r.first.end;
                    handOver(r, i, end);
                    i = end;
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
                noteSheetName(i, j, formula.mid(i, j - i));
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

} // namespace

QString FormulaReferences::shift(const QString &formula, int rowOffset, int columnOffset)
{
    if (rowOffset == 0 && columnOffset == 0)
        return formula;
    return rewriteReferences(formula, [&](Reference &r) {
        const bool ok
            = movePart(r.first, rowOffset, columnOffset) && (!r.range || movePart(r.second, rowOffset, columnOffset));
        return ok ? Edit::Changed : Edit::Gone;
    });
}

QString FormulaReferences::adjustForDeletedRows(
    const QString &formula, const RangeRef &block, const QString &sheetName, bool onThatSheet)
{
    const bool wholeRows = block.firstColumn <= 1 && block.lastColumn >= SheetLimits::MaxColumns;
    const int height = block.rowCount();
    return rewriteReferences(formula, [&](Reference &r) {
        const bool concerned = r.qualified
            ? !r.foreign && !sheetName.isEmpty() && r.sheet.compare(sheetName, Qt::CaseInsensitive) == 0
            : onThatSheet;
        if (!concerned)
            return Edit::Keep;
        RefPart &a = r.first;
        RefPart &b = r.range ? r.second : r.first;
        // Whole columns keep every row; whole rows reach beside a block of
        // columns, where nothing moves; so does a range wider than the block.
        if (!a.hasRow)
            return Edit::Keep;
        if (a.hasColumn) {
            const int left = std::min(a.column, b.column);
            const int right = std::max(a.column, b.column);
            if (!wholeRows && (left < block.firstColumn || right > block.lastColumn))
                return Edit::Keep;
        } else if (!wholeRows) {
            return Edit::Keep;
        }
        const int top = std::min(a.row, b.row);
        const int bottom = std::max(a.row, b.row);
        if (bottom < block.firstRow)
            return Edit::Keep;
        if (top >= block.firstRow && bottom <= block.lastRow)
            return Edit::Gone;
        // What is left of the cells: those above the block stay, those below
        // it move up by its height.
        const int newTop = top < block.firstRow ? top : top > block.lastRow ? top - height : block.firstRow;
        const int newBottom = bottom > block.lastRow ? bottom - height : block.firstRow - 1;
        if (a.row <= b.row) {
            b.row = newBottom;
            a.row = newTop;
        } else {
            a.row = newBottom;
            b.row = newTop;
        }
        return Edit::Changed;
    });
}
