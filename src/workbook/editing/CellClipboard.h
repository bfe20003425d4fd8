#pragma once

#include "workbook/cells/CellAddress.h"
#include "workbook/cells/CellStyle.h"
#include "workbook/cells/Worksheet.h"

#include <QHash>

#include <map>
#include <vector>

namespace tannbuch {

class Workbook;

// What Copy took from a sheet, to be pasted elsewhere: the cells of the range
// (values, formulas, formats), the merges inside it, hyperlinks and pictures
// anchored in it, and for whole rows their heights and row formats (for whole
// columns their widths and formats). It is a snapshot, so pasting over the
// source itself is safe; the formats travel as styles, so a paste into
// another workbook keeps them.
class CellClipboard
{
public:
    CellClipboard() = default;

    // Takes a snapshot of the range.
    static CellClipboard copy(const Workbook &book, const Worksheet &sheet, const RangeRef &range);

    bool isEmpty() const { return !m_valid; }
    const RangeRef &source() const { return m_source; }
    bool isWholeRows() const { return m_wholeRows; }

    // Pastes with the top left corner at `at` and returns the range pasted
    // over. What the target range held is replaced; relative references of
    // formulas move with the cells. Throws WorkbookError when the clipboard
    // is empty, when the paste would reach beyond the sheet, or when whole
    // rows are to be pasted anywhere but column A.
    RangeRef paste(Workbook &book, Worksheet &sheet, const CellRef &at) const;

private:
    class PastedStyles;

    // The range a paste at `at` covers; throws WorkbookError when it may not go there.
    RangeRef targetAt(const CellRef &at) const;
    // Each returns or edits the target's part of the sheet; pasteRows returns
    // the pasted formula cells, whose results are still to be computed.
    std::vector<CellRef> pasteRows(Worksheet &sheet, const RangeRef &target, PastedStyles &styles) const;
    void pasteColumns(Worksheet &sheet, const RangeRef &target, PastedStyles &styles) const;
    void pasteMerges(Worksheet &sheet, const RangeRef &target) const;
    void pasteHyperlinks(Worksheet &sheet, const RangeRef &target) const;
    void pastePictures(Worksheet &sheet, const RangeRef &target) const;

    bool m_valid = false;
    RangeRef m_source;
    bool m_wholeRows = false;
    bool m_wholeColumns = false;
    std::map<int, RowData> m_rows; // by source row; cells of the source columns only
    std::map<int, ColumnData> m_columns;
    QHash<quint32, CellStyle> m_styles; // the styles the copied parts use, by source id
    std::vector<RangeRef> m_merges;
    std::vector<Hyperlink> m_hyperlinks;
    std::vector<Picture> m_pictures;
};

} // namespace tannbuch
