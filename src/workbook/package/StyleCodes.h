#pragma once

#include "workbook/cells/CellStyle.h"

#include <QString>

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

// "left", "center", "right", or "general".
QString horizontalName(HAlign align);
HAlign horizontalAlign(const QString &name);

} // namespace StyleCodes
