#pragma once

namespace tannbuch {

// Where the report writes next on its sheet. Every section moves it on by
// the rows it writes.
struct SheetCursor
{
    int row = 0; // the first free row
    int sectionStart = 0; // first row after the head block of the current block
};

} // namespace tannbuch
