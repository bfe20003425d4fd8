#pragma once

#include "workbook/cells/CellAddress.h"

#include <QString>
#include <QStringView>

namespace tannbuch {

class Workbook;
class Worksheet;

// Column widths that fit the displayed texts, as AutoFit in a spreadsheet
// program chooses them.
//
// Text widths come from a fixed table of character advance widths of the
// usual sans-serif sheet font (Calibri-like proportions, in 1/2048 em). The
// table is scaled so that a digit of the standard font (11 points) is 7
// pixels, the pixel width the column width unit is counted in; other
// characters keep their proportion to the digit, and the width grows with
// the font size. Bold letters are a little wider (digits are not); Arial-like,
// serif and monospaced families get a family factor. A table, not the fonts
// installed on the machine: the engine runs without a display, and the same
// report must get the same widths on every machine. Widths are in characters
// of the standard font; a fitted column leaves 4 pixels beside its widest
// text, as the cell margins need.
class ColumnAutoFit
{
public:
    // Width in pixels of one line of text.
    static double textWidthPixels(QStringView text, double fontSize, bool bold, const QString &fontName);
    // The column width (characters) a column of that many text pixels gets,
    // rounded up to hundredths and at most the widest column.
    static double widthForPixels(double pixels);
    // True when a line of text fits a column that many pixels wide (margins
    // included, as the file counts a column) by this measure: a column
    // fitted to its texts holds each of them, so a page drawing a number
    // that fits by it never shows "###" in such a column.
    static bool fitsColumn(QStringView text, double fontSize, bool bold, const QString &fontName, double columnPixels);
    // Fits each column of the range to the longest displayed text of its
    // cells inside the range (every row for whole columns); merged cells
    // spanning several columns do not count, columns without any text keep
    // their width. Never throws.
    static void fit(Workbook &book, Worksheet &sheet, const RangeRef &range);
};

} // namespace tannbuch
