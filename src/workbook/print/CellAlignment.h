#pragma once

#include "workbook/cells/Cell.h"
#include "workbook/cells/CellStyle.h"

#include <Qt>

namespace tannbuch {

// Where a cell's text sits across the cell: as its style says, or under
// General by the value's type (numbers right, truth values and errors
// centred, texts left). Paper and screen align alike.
Qt::Alignment horizontalAlignment(HAlign align, CellType type);
// Where a cell's text sits from top to bottom. A single line justified sits
// at the top and one distributed in the middle, as the spreadsheet program
// shows them; wrapped lines are not spread apart.
Qt::Alignment verticalAlignment(VAlign align);

} // namespace tannbuch
