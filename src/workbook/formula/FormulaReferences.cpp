#include "FormulaReferences.h"

#include "workbook/cells/CellAddress.h"
#include "workbook/cells/SheetLimits.h"

#include <algorithm>

namespace tannbuch {

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

// The index after a text in `quote` marks that starts at `start`; a doubled
// mark inside stands for one. An unclosed text runs to the end.
qsizetype endOfQuoted(const QString &f, qsizetype start, QChar quote)
{
    const qsizetype n = f.size();
    qsizetype j = start + 1;
    while (j < n) {
        if (f[j] == quote) {
            if (j + 1 < n && f[j + 1] == quote) {
                j += 2;
                continue;
            }
            break;
        }
        ++j;
    }
    return qMin(j + 1, n);
}

// The index after a bracketed part ([1]Blatt!A1, Tabelle[[#Daten];[Spalte]]),
// brackets nested.
qsizetype endOfBracketed(const QString &f, qsizetype start)
{
    const qsizetype n = f.size();
    int depth = 0;
    qsizetype j = start;
    while (j < n) {
        if (f[j] == QLatin1Char('['))
            ++depth;
        else if (f[j] == QLatin1Char(']') && --depth == 0)
            break;
        ++j;
    }
    return qMin(j + 1, n);
}

// The index after an error literal such as #REF! or #N/A.
qsizetype endOfErrorLiteral(const QString &f, qsizetype start)
{
    const qsizetype n = f.size();
    qsizetype j = start + 1;
    while (j < n && (isNameChar(f[j]) || f[j] == QLatin1Char('/')))
        ++j;
    if (j < n && (f[j] == QLatin1Char('!') || f[j] == QLatin1Char('?')))
        ++j;
    return j;
}

// The index after a number with its exponent (12.5, 1E5, 2e-3).
qsizetype endOfNumber(const QString &f, qsizetype start)
{
    const qsizetype n = f.size();
    qsizetype j = start + 1;
    while (j < n && (isDigit(f[j]) || f[j] == QLatin1Char('.')))
        ++j;
    if (j < n && (f[j] == QLatin1Char('E') || f[j] == QLatin1Char('e'))) {
        qsizetype k = j + 1;
        if (k < n && (f[k] == QLatin1Char('+') || f[k] == QLatin1Char('-')))
            ++k;
        if (k < n && isDigit(f[k])) {
            j = k;
            while (j < n && isDigit(f[j]))
                ++j;
        }
    }
    return j;
}

// The index after a name (function, defined name, sheet name).
qsizetype endOfName(const QString &f, qsizetype start)
{
    qsizetype j = start + 1;
    while (j < f.size() && (isNameChar(f[j]) || f[j] == QLatin1Char('$')))
        ++j;
    return j;
}

// Reads a cell reference or a range at `start` into `r` and returns the
// index after it, or -1 when the text there is no reference.
qsizetype readReference(const QString &f, qsizetype start, Reference &r)
{
    if (!readPart(f, start, r.first))
        return -1;
    // A range of two parts: A1:B2, A:C (whole columns), 3:8 (whole rows).
    if (r.first.end < f.size() && f[r.first.end] == QLatin1Char(':') && readPart(f, r.first.end + 1, r.second)
        && endsReference(f, r.second.end)) {
        const RefPart &a = r.first;
        const RefPart &b = r.second;
        const bool bothCells = a.hasColumn && a.hasRow && b.hasColumn && b.hasRow;
        const bool bothColumns = a.hasColumn && !a.hasRow && b.hasColumn && !b.hasRow;
        const bool bothRows = !a.hasColumn && a.hasRow && !b.hasColumn && b.hasRow;
        r.range = bothCells || bothColumns || bothRows;
    }
    if (r.range)
        return r.second.end;
    if (r.first.hasColumn && r.first.hasRow && endsReference(f, r.first.end))
        return r.first.end;
    return -1;
}

// Copies a formula and hands every cell reference to `edit`, which may
// change its parts; a reference it reports gone becomes "#REF!", one it
// keeps is copied as it was written. Texts in quotes, sheet names, function
// names, defined names, numbers and error literals are copied unchanged.
template <typename EditFunction> class ReferenceRewriter
{
public:
    ReferenceRewriter(const QString &formula, EditFunction edit)
        : m_formula(formula)
        , m_edit(edit)
    { }

    QString run()
    {
        m_out.reserve(m_formula.size() + 8);
        qsizetype i = 0;
        while (i < m_formula.size())
            i = copyToken(i);
        return m_out;
    }

private:
    // Copies or rewrites the token at `i`; returns the index after it.
    qsizetype copyToken(qsizetype i)
    {
        const QChar c = m_formula[i];
        // Texts in double quotes stay as they are.
        if (c == QLatin1Char('"'))
            return copy(i, endOfQuoted(m_formula, i, c));
        // Quoted sheet names ('Liste 2'!A1): the name stays, the reference after "!" is read.
        if (c == QLatin1Char('\'')) {
            const qsizetype end = copy(i, endOfQuoted(m_formula, i, c));
            noteSheetName(i, end, unquoted(QStringView(m_formula).mid(i, end - i)));
            return end;
        }
        // Structured references and external workbook indexes ([1]Blatt!A1, Tabelle[Spalte]).
        if (c == QLatin1Char('['))
            return copy(i, endOfBracketed(m_formula, i));
        if (c == QLatin1Char('#'))
            return copy(i, endOfErrorLiteral(m_formula, i));
        const bool startsToken = i == 0 || !(isNameChar(m_formula[i - 1]) || m_formula[i - 1] == QLatin1Char('$'));
        if (startsToken && (c == QLatin1Char('$') || isAsciiLetter(c) || isDigit(c)))
            return copyNameOrReference(i);
        m_out += c;
        return i + 1;
    }

    // A reference is handed over; anything else is copied as a whole name or
    // number, so that its tail ("E5" of 1E5, "10" of LOG10) is not taken for one.
    qsizetype copyNameOrReference(qsizetype i)
    {
        Reference r;
        const qsizetype referenceEnd = readReference(m_formula, i, r);
        if (referenceEnd >= 0) {
            handOver(r, i, referenceEnd);
            return referenceEnd;
        }
        if (isDigit(m_formula[i]))
            return copy(i, endOfNumber(m_formula, i));
        const qsizetype end = copy(i, endOfName(m_formula, i));
        noteSheetName(i, end, m_formula.mid(i, end - i));
        return end;
    }

    qsizetype copy(qsizetype start, qsizetype end)
    {
        m_out += QStringView(m_formula).mid(start, end - start);
        return end;
    }

    // A name or quoted name that ends right before "!" is a sheet name.
    void noteSheetName(qsizetype start, qsizetype end, const QString &sheet)
    {
        if (end >= m_formula.size() || m_formula[end] != QLatin1Char('!'))
            return;
        m_qualifier.at = end + 1;
        m_qualifier.sheet = sheet;
        // Sheet names hold neither "[" nor ":"; with them, or after "]" or
        // ":", the name is of another workbook or a span of sheets.
        m_qualifier.foreign = sheet.contains(QLatin1Char('[')) || sheet.contains(QLatin1Char(':'))
            || (start > 0 && (m_formula[start - 1] == QLatin1Char(']') || m_formula[start - 1] == QLatin1Char(':')));
    }

    void handOver(Reference &r, qsizetype start, qsizetype end)
    {
        if (m_qualifier.at == start) {
            r.qualified = true;
            r.sheet = m_qualifier.sheet;
            r.foreign = m_qualifier.foreign;
        }
        switch (m_edit(r)) {
        case Edit::Keep:
            copy(start, end);
            break;
        case Edit::Changed:
            appendPart(m_out, r.first);
            if (r.range) {
                m_out += QLatin1Char(':');
                appendPart(m_out, r.second);
            }
            break;
        case Edit::Gone:
            m_out += QStringLiteral("#REF!");
            break;
        }
    }

    const QString &m_formula;
    EditFunction m_edit;
    QString m_out;
    Qualifier m_qualifier;
};

template <typename EditFunction> QString rewriteReferences(const QString &formula, EditFunction edit)
{
    return ReferenceRewriter<EditFunction>(formula, edit).run();
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

} // namespace tannbuch
