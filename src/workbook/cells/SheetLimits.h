#pragma once

#include <QtGlobal>

namespace tannbuch {

// The limits of the workbook file format in one place. Every check against
// them uses these names.
namespace SheetLimits {

constexpr int MaxRows = 1048576;
constexpr int MaxColumns = 16384;
// Characters one cell can hold; longer texts are cut to this length.
constexpr int MaxTextLength = 32767;
// Manual row breaks one sheet can hold; later breaks are dropped with a warning.
constexpr int MaxRowBreaks = 1026;
// Hyperlinks one sheet can hold; later links are dropped with a warning,
// their cells keep the link text.
constexpr int MaxHyperlinks = 65530;
// Widest column, in characters of the default font.
constexpr double MaxColumnWidth = 255.0;
// Largest font size.
constexpr double MaxFontSize = 409.0;

// Ceilings for reading a workbook file: a damaged or hostile file (a "zip
// bomb" that unpacks to gigabytes) is refused before it fills the memory.
constexpr qint64 MaxPackageBytes = qint64(512) * 1024 * 1024; // all parts unpacked together
constexpr int MaxPackageEntries = 10000; // parts in one file
// A picture file inserted into a sheet (the header picture); a larger one is
// refused before it is read.
constexpr qint64 MaxPictureBytes = qint64(20) * 1024 * 1024;

} // namespace SheetLimits

} // namespace tannbuch
