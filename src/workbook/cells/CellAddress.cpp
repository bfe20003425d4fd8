#include "CellAddress.h"

#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/WorkbookError.h"

namespace tannbuch {

namespace {

[[noreturn]] void badAddress(QStringView address)
{
    throw WorkbookError(QStringLiteral("Ungültige Zellenadresse: \"%1\"").arg(address.toString()));
}

bool isLetter(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// One side of an address: letters, digits, or both ("A", "12", "A12"; "$" allowed).
struct Part
{
    int column = 0; // 0 = none
    int row = 0; // 0 = none
};

Part parsePart(QStringView text, QStringView whole)
{
    Part part;
    qsizetype i = 0;
    if (i < text.size() && text[i] == QLatin1Char('$'))
        ++i;
    const qsizetype letterStart = i;
    while (i < text.size() && isLetter(text[i]))
        ++i;
    if (i > letterStart) {
        part.column = CellAddress::columnIndex(text.mid(letterStart, i - letterStart));
        if (part.column == 0)
            badAddress(whole);
    }
    if (i < text.size() && text[i] == QLatin1Char('$'))
        ++i;
    const qsizetype digitStart = i;
    qint64 row = 0;
    while (i < text.size() && isDigit(text[i])) {
        row = row * 10 + (text[i].unicode() - '0');
        if (row > SheetLimits::MaxRows)
            badAddress(whole);
        ++i;
    }
    if (i != text.size())
        badAddress(whole);
    if (i > digitStart) {
        if (row < 1)
            badAddress(whole);
        part.row = int(row);
    }
    if (part.column == 0 && part.row == 0)
        badAddress(whole);
    return part;
}

} // namespace

namespace CellAddress {

QString columnLetters(int column)
{
    if (column < 1 || column > SheetLimits::MaxColumns)
        return QString();
    QString letters;
    while (column > 0) {
        const int rem = (column - 1) % 26;
        letters.prepend(QChar(QLatin1Char('A').unicode() + rem));
        column = (column - 1) / 26;
    }
    return letters;
}

int columnIndex(QStringView letters)
{
    if (letters.isEmpty() || letters.size() > 3)
        return 0;
    int column = 0;
    for (QChar c : letters) {
        if (!isLetter(c))
            return 0;
        column = column * 26 + (c.toUpper().unicode() - 'A' + 1);
    }
    return column <= SheetLimits::MaxColumns ? column : 0;
}

QString cellName(int row, int column)
{
    return columnLetters(column) + QString::number(row);
}

QString rangeName(const RangeRef &range)
{
    const QString first = cellName(range.firstRow, range.firstColumn);
    if (range.isSingleCell())
        return first;
    return first + QLatin1Char(':') + cellName(range.lastRow, range.lastColumn);
}

RangeRef parse(QStringView address)
{
    const QStringView text = address.trimmed();
    if (text.isEmpty())
        badAddress(address);
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    const Part first = parsePart(colon < 0 ? text : text.left(colon), address);
    const Part last = colon < 0 ? first : parsePart(text.mid(colon + 1), address);

    // Both sides must be of the same kind: cells, whole columns or whole rows.
    const bool firstCell = first.column && first.row;
    const bool lastCell = last.column && last.row;
    RangeRef r;
    if (firstCell && lastCell) {
        r = {first.row, first.column, last.row, last.column};
    } else if (!first.row && !last.row && first.column && last.column && colon >= 0) {
        r = {1, first.column, SheetLimits::MaxRows, last.column};
    } else if (!first.column && !last.column && first.row && last.row && colon >= 0) {
        r = {first.row, 1, last.row, SheetLimits::MaxColumns};
    } else {
        badAddress(address);
    }
    if (r.firstRow > r.lastRow)
        std::swap(r.firstRow, r.lastRow);
    if (r.firstColumn > r.lastColumn)
        std::swap(r.firstColumn, r.lastColumn);
    return r;
}

} // namespace CellAddress

} // namespace tannbuch
