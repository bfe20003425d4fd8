#pragma once

#include <QString>

// Moves the cell references of a formula, as a spreadsheet program does when a
// formula is copied to another cell.
class FormulaReferences
{
public:
    // The formula (with or without its leading "=") with every relative row
    // and column of its A1 references moved by the offsets; "$"-fixed parts,
    // texts in quotes, sheet names, function names and defined names stay as
    // they are. A reference moved off the sheet becomes "#REF!", as in a
    // spreadsheet program. Never throws.
    static QString shift(const QString &formula, int rowOffset, int columnOffset);
};
