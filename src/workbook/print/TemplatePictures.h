#pragma once

#include "workbook/cells/Worksheet.h"

#include <vector>

namespace tannbuch {

class Workbook;

// The pictures of a sheet's own drawing in the file it was loaded from (a
// template's logo, say), with their images, placed at their top left cell at
// their own size. Saving keeps that drawing as it is, so they print where
// the saved file shows them. Empty for a sheet without a drawing. Never
// throws: a drawing that cannot be read shows no pictures.
std::vector<Picture> templatePictures(const Workbook &workbook, int sheetIndex);

} // namespace tannbuch
