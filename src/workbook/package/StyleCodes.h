#pragma once

#include "workbook/cells/CellStyle.h"

#include <QString>

namespace tannbuch {

// Translations between the object model's formatting values and the codes of
// the workbook file: built-in number formats, border line styles, palette
// colours, alignment names.
namespace StyleCodes {

// The code of a built-in number format id (0 "General", 1 "0", 2 "0.00",
// 14 a date, 49 "@" ...); empty for an id that is not built in.
QString builtinNumberFormat(int id);
// The built-in id of a number format code, or -1.
int builtinNumberFormatId(const QString &code);

// The file's border style name ("thin", "medium", "dashed" ...) for a line;
// empty for no line.
QString borderStyleName(const BorderLine &line);
// The line of a file's border style name and indexed colour (-1 for none).
BorderLine borderLine(const QString &styleName, int indexedColor);
// The file's indexed colour of a palette colour index; -1 for automatic.
int indexedColor(int colorIndex);
// The palette colour index (1..56) of a file's indexed colour;
// Xl::ColorIndexAutomatic for the system colours and unknown ones.
int colorIndexOfIndexed(int indexed);
// A palette colour (1..56) as #RRGGBB; empty for automatic.
QString paletteColor(int colorIndex);
// A theme colour (0..9) of the default theme as #RRGGBB; empty for another.
QString themeColor(int theme);
// A #RRGGBB colour lightened (tint up to 1) or darkened (down to -1) the way
// the file format applies a colour's tint: by moving its lightness.
QString tintedColor(const QString &rgb, double tint);

// "left", "center", "right", or "general".
QString horizontalName(HAlign align);
HAlign horizontalAlign(const QString &name);
// The alignment of "top", "center", "bottom", "justify" or "distributed";
// bottom for anything else.
VAlign verticalAlign(const QString &name);

} // namespace StyleCodes

} // namespace tannbuch
