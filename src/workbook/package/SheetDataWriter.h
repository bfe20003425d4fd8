#pragma once

#include <QByteArray>

class SharedStringTable;
class StyleTable;
class Workbook;
class Worksheet;

// Writes a worksheet's cells as its sheetData element, streamed rather than
// built as a document: rows in order with their height, format and hidden
// mark, and each cell with its format number and value (texts through the
// shared strings, formulas with their last result). Rows and cells beyond
// the format's limits are left out, and texts are cut to its longest.
class SheetDataWriter
{
public:
    // The sheetData element of the sheet. Cell formats are made in `styles`,
    // texts entered in `strings`. Does not fail.
    static QByteArray write(
        const Worksheet &sheet, const Workbook &workbook, StyleTable &styles, SharedStringTable &strings);
};
