#pragma once

#include <QByteArray>

#include <memory>

namespace tannbuch {

class CellWriter;
class SharedStringTable;
class StyleTable;
class Workbook;
class Worksheet;

// Writes a worksheet's cells as its sheetData element, streamed rather than
// built as a document: rows in order with their height, format and hidden
// mark, and each cell with its format number and value (texts through the
// shared strings, formulas with their last result). Rows and cells beyond
// the format's limits are left out, and texts are cut to its longest.
//
// The element comes in pieces of some hundred kilobytes, so that a sheet of
// millions of cells never lies in memory as one text. Its cell formats and
// strings must be numbered before the parts listing them are written, which
// comes before the cells are packed: number() goes through the sheet once
// for that, and the pieces afterwards only look the numbers up.
class SheetDataWriter
{
public:
    // Cell formats are made in `styles`, texts entered in `strings`. All four
    // must stay unchanged while the writer is in use.
    SheetDataWriter(const Worksheet &sheet, const Workbook &workbook, StyleTable &styles, SharedStringTable &strings);
    ~SheetDataWriter();

    // Makes the cells' formats and enters their texts (counting each use)
    // in the order they come; returns the element's size in bytes. Once,
    // before the pieces.
    qint64 number();
    // From the first row again.
    void start();
    // The next piece of the element; false when all of it was given. Does
    // not fail.
    bool next(QByteArray &piece);

private:
    std::unique_ptr<CellWriter> m_writer;
};

} // namespace tannbuch
