#pragma once

#include "workbook/cells/CellAddress.h"

#include <QString>

namespace tannbuch {

// Rewrites the cell references of a formula: moved as a spreadsheet program
// moves them when a formula is copied to another cell, or adjusted to the
// cells they point to when cells of the sheet are deleted.
class FormulaReferences
{
public:
    // The formula (with or without its leading "=") with every relative row
    // and column of its A1 references moved by the offsets; "$"-fixed parts,
    // texts in quotes, sheet names, function names and defined names stay as
    // they are. A reference moved off the sheet becomes "#REF!", as in a
    // spreadsheet program. Never throws.
    static QString shift(const QString &formula, int rowOffset, int columnOffset);

    // The formula after the cells of `block` on the sheet `sheetName` were
    // deleted and the cells below them in the block's columns moved up by its
    // height: every reference keeps naming the cells it named. A reference
    // to a cell below the block in its columns (in any column when the block
    // is whole rows) moves up; one to a deleted cell becomes "#REF!"; a range
    // partly deleted shrinks, one wholly deleted becomes "#REF!"; a range
    // reaching beside the block's columns, whole columns and everything above
    // the block stay. "$"-fixed and relative parts are treated alike: both
    // name cells. References naming another sheet stay; references without
    // a sheet name are adjusted only when the formula stands on that sheet
    // (`onThatSheet`). Never throws.
    static QString adjustForDeletedRows(
        const QString &formula, const RangeRef &block, const QString &sheetName, bool onThatSheet = true);
};

} // namespace tannbuch
