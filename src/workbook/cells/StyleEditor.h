#pragma once

#include "workbook/cells/CellAddress.h"
#include "workbook/cells/CellStyle.h"

#include <functional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tannbuch {

class Workbook;
class Worksheet;

// Changes the formatting of the cells of a range: each cell's style is copied,
// changed and interned, so the template's base format and earlier changes stay
// and equal results share one style id. Each distinct old style is changed
// once per call (a cache maps old id to new id).
//
// Whole columns (K:K) and whole rows (3:8) are changed through the columns' or
// rows' own formats plus the cells that exist, so later cells inherit the
// format without a million cells being created; where a formatted row meets a
// formatted column, the cell is created, as the spreadsheet program does.
class StyleEditor
{
public:
    // Where a cell lies in the range; border changes depend on it.
    enum Position : unsigned { AtTop = 1, AtBottom = 2, AtLeft = 4, AtRight = 8 };
    using Change = std::function<void(CellStyle &style, unsigned position)>;

    StyleEditor(Workbook &book, Worksheet &sheet);

    // Applies the change to every cell of the range. With positionDependent
    // false the change gets position 0 and is cached per old style only.
    void apply(const RangeRef &range, const Change &change, bool positionDependent = false);
    // Applies the change to the given cells of a neighbouring stretch, but
    // only to cells (or row/column formats) for which `wanted` holds on their
    // current style: used to keep a shared border edge one line.
    void applyWhere(const RangeRef &range, const std::function<bool(quint32 styleId)> &wanted, const Change &change);

private:
    quint32 mapped(quint32 oldId, unsigned position);
    // Forgets the styles mapped by the last change.
    void clearCache();

    // Old style and position (old id * 16 + position) -> new id. A change
    // meets few distinct styles as a rule (a row of a section, a block of
    // rules): those are found by comparing a short list; a change over a
    // larger stretch with many formats keeps the rest in a hash. An editor
    // lives for one call, so nothing is sized by the book's whole style
    // table.
    static constexpr size_t ShortCacheSize = 16;
    std::vector<std::pair<quint64, quint32>> m_shortCache;
    std::unordered_map<quint64, quint32> m_longCache;

    Workbook &m_book;
    Worksheet &m_sheet;
    const Change *m_change = nullptr;
};

} // namespace tannbuch
