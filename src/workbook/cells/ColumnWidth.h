#pragma once

namespace tannbuch {

// Column widths in the two units they come in. The program (ColumnWidth,
// AutoFit, the template's settings) speaks of characters: how many digits of
// the standard font fit between the cell margins. The file, and so the model
// (ColumnData::width), stores the width with those margins included.
// Conversions use the standard font's digit width of 7 pixels and margins of
// 5 pixels, as the file format defines them.
class ColumnWidth
{
public:
    // The stored width of a column that shows that many characters (0 stays 0).
    static double toStored(double characters);
    // The characters a column of that stored width shows, rounded to
    // hundredths; below 0 (the default width) stays as it is.
    static double toCharacters(double stored);
};

} // namespace tannbuch
