#pragma once

#include "workbook/automation/SheetHandle.h"

#include <QString>

namespace tannbuch {

// The hyperlinks of a sheet (Hyperlinks.Add).
class Hyperlinks
{
public:
    explicit Hyperlinks(const SheetHandle &sheet);

    int count() const;
    // Puts a hyperlink on the anchor's top left cell, replacing one that was
    // there; the cell shows the text to display (the address when that is
    // empty) as text. An address starting with "#" points into the
    // workbook. Throws WorkbookError when the anchor lies on another sheet
    // or the address is empty.
    void add(const Range &anchor, const QString &address, const QString &textToDisplay = QString()) const;

private:
    SheetHandle m_sheet;
};

} // namespace tannbuch
