#pragma once

#include "CellAddress.h"

class Worksheet;

// Deleting a block of cells and closing the gap, as the spreadsheet program
// does for Delete with Shift up.
class CellShift
{
public:
    // Removes the cells of the block; the cells below it in the same columns
    // move up by the block's height, with their formats, merges, hyperlinks
    // and pictures. Formulas that move have their relative references moved
    // with them (references to cells that stayed are not adjusted). Merges,
    // hyperlinks and pictures in the block are removed, and so are merges
    // that reach into it; a merge below the block that also reaches outside
    // its columns stays where it is. Only when the block spans whole rows do
    // row heights, row formats and manual page breaks move (a break on a
    // deleted row goes). Never throws.
    static void deleteShiftUp(Worksheet &sheet, const RangeRef &block);
};
