#pragma once

#include "workbook/cells/CellAddress.h"

namespace tannbuch {

class Workbook;
class Worksheet;

// Deleting a block of cells and closing the gap, as the spreadsheet program
// does for Delete with Shift up.
class CellShift
{
public:
    // Removes the cells of the block on `sheet` (a sheet of `book`); the
    // cells below it in the same columns move up by the block's height, with
    // their formats, merges, hyperlinks and pictures. The references of every
    // formula of the workbook that name cells of the sheet follow those cells
    // (FormulaReferences::adjustForDeletedRows): to moved cells they move up,
    // to deleted cells they become "#REF!", the others stay. Merges,
    // hyperlinks and pictures in the block are removed, and so are merges
    // that reach into it; a merge below the block that also reaches outside
    // its columns stays where it is. Only when the block spans whole rows do
    // row heights, row formats and manual page breaks move (a break on a
    // deleted row goes). Never throws.
    static void deleteShiftUp(Workbook &book, Worksheet &sheet, const RangeRef &block);
};

} // namespace tannbuch
