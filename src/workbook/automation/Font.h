#pragma once

#include "workbook/automation/Range.h"

namespace tannbuch {

// The font of a range: bold and size, set on every cell, read from the top
// left cell. A small handle like Range.
class Font
{
public:
    explicit Font(const Range &range);

    // Sets bold type on every cell of the range.
    void setBold(bool bold) const;
    bool bold() const;
    // Sets the font size in points on every cell. Throws WorkbookError
    // outside 1 to 409.
    void setSize(double points) const;
    double size() const;

private:
    Range m_range;
};

} // namespace tannbuch
