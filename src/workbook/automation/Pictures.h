#pragma once

#include "workbook/automation/SheetHandle.h"

#include <QString>

namespace tannbuch {

// The pictures of a sheet (Pictures.Insert).
class Pictures
{
public:
    explicit Pictures(const SheetHandle &sheet);

    int count() const;
    // Inserts the image file with its top left corner at the sheet's active
    // cell, at its own size (scaled to screen pixels by its resolution).
    // The workbook keeps the file's bytes. Returns the picture's index.
    // Throws WorkbookError naming the file when it is missing, not a regular
    // file, larger than SheetLimits::MaxPictureBytes (refused unread) or not
    // an image in a format a workbook can hold (PNG, JPEG, GIF, BMP, TIFF).
    int insert(const QString &path) const;

private:
    SheetHandle m_sheet;
};

} // namespace tannbuch
